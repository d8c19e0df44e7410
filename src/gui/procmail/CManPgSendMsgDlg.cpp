#include "gui/procmail/CManPgSendMsgDlg.h"

#include "core/common/Prompt.h"
#include "core/procmail/CTempRecipeTask.h"
#include "core/settings/Profile.h"
#include "gui/common/CHyperLink.h"
#include "gui/common/Help.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

const QString HelpTopic = QStringLiteral("manPgTestMsg.html");

} // namespace

CManPgSendMsgDlg::CManPgSendMsgDlg(CTempRecipeTask& task, QStringList downloads, QWidget* parent)
    : QDialog(parent)
    , m_task(task)
    , m_downloads(std::move(downloads))
{
    setWindowTitle(QStringLiteral("Man Page Send Message Dialog"));
    SetHelpTopic(this, HelpTopic);
    auto* text = new QLabel(
        QStringLiteral(
            "Please send a mail message to yourself now (the message from your address will trigger the "
            "creation "
            "of the appropriate files).  To do so, click on the underlined \"Send Mail Message\" hyperlink "
            "below.  "
            "Your default email program should pop up (if it doesn't, please click the \"Mailto Link "
            "Failed\" "
            "button).  Please verify the message is correctly addressed to your address, send it, then check "
            "to "
            "see if the message has arrived (using your regular mail program that you use to send the test "
            "message).  Then minimize your mail program and ZEPH will again be the active program.\n\nIf you "
            "receive the message you send to yourself click on the \"I received my mail message\" button.  "
            "If you "
            "do not receive your message within one minute or so please click on the \"I did not receive my "
            "mail "
            "message\" button."),
        this);
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
    m_mailtoFailed = button(QStringLiteral("Mailto Link Failed"));
    m_received = button(QStringLiteral("I received my mail message"));
    m_notReceived = button(QStringLiteral("I did not receive my mail message"));
    QPushButton* help = button(QStringLiteral("Help"));
    m_cancel = button(QStringLiteral("Cancel"));

    connect(m_mailtoFailed, &QPushButton::clicked, this, &CManPgSendMsgDlg::TellMailtoFailed);
    connect(
        m_received, &QPushButton::clicked, this, [this] { finishWith(m_task.MailReceived(m_downloads)); });
    connect(m_notReceived, &QPushButton::clicked, this,
        [this] { finishWith(m_task.MailNotReceived(m_downloads)); });
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });
    connect(m_cancel, &QPushButton::clicked, this, &CManPgSendMsgDlg::reject);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : { m_mailtoFailed, m_received, m_notReceived, help, m_cancel })
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(link);
    layout->addLayout(buttons);
}

void CManPgSendMsgDlg::TellMailtoFailed()
{
    // There is no Start menu to open here; the text still says what to do by hand.
    Prompt::Tell(
        QStringLiteral(
            "If you have clicked on the underlined \"Send Mail Message\" hyperlink and your regular mail "
            "program did not pop up, it means your computer doesn't have that program registered with "
            "windows "
            "for sending mail.  You'll have to do a little more work.\n\nAfter you close this messagebox "
            "the "
            "'Start' Menu will appear.  Please use that to start up your regular mail program.  Then "
            "send a "
            "test message to yourself and see if it's delivered to you within about a minute.  When "
            "you're "
            "finished, minimize your mail program and ZEPH will again be the active program."),
        QStringLiteral("Mailto error"), Prompt::Information);
}

void CManPgSendMsgDlg::finishWith(bool received)
{
    if (received)
        accept();
    else
        QDialog::reject();
}

void CManPgSendMsgDlg::reject()
{
    // Esc and the close box ask like Cancel: files the recipe made may be waiting on the host.
    if (m_task.CancelAsked(m_downloads))
        QDialog::reject();
}

void CManPgSendMsgDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
