#include "gui/procmail/CBackupRetrieveDlg.h"

#include "core/common/Prompt.h"
#include "core/procmail/BackupTask.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"
#include "gui/procmail/CBackupSendMsgDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString HelpTopic = QStringLiteral("rBackupRetrieve.html");

} // namespace

CBackupRetrieveDlg::CBackupRetrieveDlg(QWidget* parent)
    : QDialog(parent)
    , m_task(m_host)
{
    setWindowTitle(QStringLiteral("Retrieving backup mail"));
    SetHelpTopic(this, HelpTopic);
    m_text = QStringLiteral(
        "To retrieve the backup mail from the remote host the following steps will be taken:\n\n1.  When you "
        "hit the 'Connect' button, ZEPH will add a temporary recipe to your .procmailrc file, upload the "
        "modified .procmailrc file, and then prompt you to send a message to yourself.  (When triggered by a "
        "message from your address, the new temporary recipe will resend a copy of each message in the "
        "'backup' folder to you.)\n\n2.  When prompted, you should send a message (blank or otherwise) to "
        "yourself.\n\n3.  After your message is received, ZEPH will upload your previous .procmailrc file, "
        "(without the temporary recipe we added in step one).\n\nThe temporary recipe added in step one will "
        "only trigger on mail from your address.  For that reason, it's important that you specify the "
        "correct 'From:' address below.\n\nPlease make sure the address in the box below is the 'From:' "
        "address you will use when you send a message to yourself, then hit the 'Connect' button.");
    auto* text = new QLabel(m_text, this);
    text->setWordWrap(true);
    auto* prompt = new QLabel(QStringLiteral("Your 'From:' Address:"), this);
    m_address = new QLineEdit(GetSettingString(Settings::EmailAddress), this);
    prompt->setBuddy(m_address);
    m_toDefault = new QCheckBox(QStringLiteral("Save all backup mail to my normal (default) mailbox"), this);
    m_toDefault->setChecked(true);
    m_connect = new QPushButton(QStringLiteral("Connect"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    for (QPushButton* b : { m_connect, cancel, help })
        b->setAutoDefault(false);
    connect(m_connect, &QPushButton::clicked, this, &CBackupRetrieveDlg::onConnect);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });
    connect(m_toDefault, &QCheckBox::clicked, this, &CBackupRetrieveDlg::onDefaultMailboxClicked);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_connect);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(prompt);
    layout->addWidget(m_address);
    layout->addWidget(m_toDefault);
    layout->addLayout(buttons);
}

QString CBackupRetrieveDlg::Text() const
{
    return m_text;
}

void CBackupRetrieveDlg::onDefaultMailboxClicked(bool checked)
{
    if (checked)
        return;
    const Prompt::Button answer = Prompt::Ask(
        QStringLiteral(
            "It's strongly recommended that you leave this selection checked.  If you are restoring your "
            "backup mail because of a problem with a recipe and you haven't modified that problem recipe, "
            "you "
            "may not receive the backup messages unless you leave this item checked.  If this item is not "
            "checked your backup mail will be filtered by procmail like any other incoming mail.  Unless you "
            "are an advanced user and are aware of the possible consequences, hit 'Yes' now.\n\nDo you want "
            "all backup messages immediately sent to your default mailbox?"),
        QStringLiteral("Save to default mailbox?"), Prompt::Question,
        Prompt::Yes | Prompt::No | Prompt::Cancel);
    if (answer != Prompt::No)
        m_toDefault->setChecked(true);
}

void CBackupRetrieveDlg::onConnect()
{
    const QByteArray address = m_address->text().toUtf8();
    const bool toDefault = m_toDefault->isChecked();
    const bool received
        = BackupTask::Retrieve(m_task, address, toDefault, [this, toDefault](const QStringList&) {
              CBackupSendMsgDlg dialog(toDefault, QStringLiteral("I received my backup messages"),
                  QStringLiteral("I did not receive my backup messages"), this);
              return dialog.exec() == QDialog::Accepted;
          });
    if (received) {
        accept();
        return;
    }
    if (address.isEmpty())
        m_address->setFocus();
}

void CBackupRetrieveDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
