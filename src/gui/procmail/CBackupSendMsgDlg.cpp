#include "gui/procmail/CBackupSendMsgDlg.h"

#include "core/settings/Profile.h"
#include "gui/common/CHyperLink.h"
#include "gui/common/Help.h"
#include "gui/procmail/CManPgSendMsgDlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString HelpTopic = QStringLiteral("rBackupConfirm.html");

} // namespace

CBackupSendMsgDlg::CBackupSendMsgDlg(
    bool toDefault, const QString& receivedText, const QString& notReceivedText, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Temporary .procmailrc uploaded"));
    SetHelpTopic(this, HelpTopic);
    m_text
        = QStringLiteral(
              "Please send a mail message to yourself now (the message from your address will trigger "
              "procmail to send you a copy of each message in your 'backup' folder).  To do so, click on "
              "the underlined \"Send Mail Message\" hyperlink below.  Your default email program should pop "
              "up (if it doesn't, please click the \"Mailto Link Failed\" button).  Please verify the "
              "message is correctly addressed to your address, send it,  wait a few seconds, ")
        + (toDefault
                ? QStringLiteral("then check to see if that test message and all the messages in your backup "
                                 "folder have arrived (using your regular mail program that you use to send "
                                 "the test message).")
                : QStringLiteral("then check to see if that test message and all messages in your backup "
                                 "folder have arrived. (Since you elected not to have all backup messages "
                                 "saved to your default mailbox, you may have to check other remote "
                                 "mailboxes, depending on your recipes.)"))
        + QStringLiteral(
            "\n\nIf you receive the backup messages click on the \"I received my backup messages\" "
            "button.  If you do not received your messages within one minute or so of sending your "
            "message please click on the \"I did not receive my backup messages\" button.");
    auto* text = new QLabel(m_text, this);
    text->setWordWrap(true);
    auto* link = new CHyperLink(this);
    link->setObjectName(QStringLiteral("sendMailLink"));
    link->setText(QStringLiteral("Send Mail Message"));
    const QString address = GetSettingString(Settings::EmailAddress);
    link->SetURL(
        QStringLiteral("mailto:") + (address.isEmpty() ? QStringLiteral("Address not entered") : address));

    const auto button = [this](const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* mailtoFailed = button(QStringLiteral("Mailto Link Failed"));
    m_received = button(receivedText);
    m_notReceived = button(notReceivedText);
    QPushButton* help = button(QStringLiteral("Help"));
    m_cancel = button(QStringLiteral("Cancel"));
    connect(mailtoFailed, &QPushButton::clicked, this, &CManPgSendMsgDlg::TellMailtoFailed);
    connect(m_received, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_notReceived, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : { mailtoFailed, m_received, m_notReceived, help, m_cancel })
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(link);
    layout->addLayout(buttons);
}

QString CBackupSendMsgDlg::Text() const
{
    return m_text;
}

void CBackupSendMsgDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
