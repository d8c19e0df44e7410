#include "gui/procmail/CManPgConnect.h"

#include "core/settings/Profile.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CManPgConnect::CManPgConnect(QWidget* parent)
    : QWidget(parent)
{
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    auto* prompt = new QLabel(QStringLiteral("Your 'From:' Address:"), this);
    m_address = new QLineEdit(GetSettingString(Settings::EmailAddress), this);
    m_address->setObjectName(QStringLiteral("fromAddress"));
    prompt->setBuddy(m_address);
    m_connect = new QPushButton(QStringLiteral("Connect"), this);
    m_connect->setObjectName(QStringLiteral("connect"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(prompt);
    layout->addWidget(m_address);
    layout->addWidget(m_connect, 0, Qt::AlignLeft);
}

QString CManPgConnect::TabText(bool versionMode, int fileCount)
{
    if (versionMode)
        return QStringLiteral("Getting procmail version information");
    return fileCount > 1 ? QStringLiteral("Retrieving Man Pages") : QStringLiteral("Retrieving Man Page");
}

void CManPgConnect::SetTexts(bool versionMode, int fileCount)
{
    const QString what
        = versionMode ? QStringLiteral("procmail version information") : QStringLiteral("information");
    const QString files = fileCount > 1 ? QStringLiteral("files") : QStringLiteral("file");
    m_text->setText(QStringLiteral(
        "To retrieve the %1 from the remote host, the following steps will be taken:\n\n1.  When you hit the "
        "'Connect' button, ZEPH will add a temporary recipe to your .procmailrc file, upload the modified "
        ".procmailrc file, and then prompt you to send a message to yourself.  (When triggered by a message "
        "from your address, the new temporary recipe will create the appropriate temporary %2 on the remote "
        "host.)\n\n2.  When prompted, you should send a message (blank or otherwise) to yourself.\n\n3.  "
        "After "
        "your message is received, ZEPH will download the newly created %3 from your ISP, delete the %4 from "
        "your ISP, then upload your previous .procmailrc file, (without the temporary recipe we added in "
        "step "
        "one).\n\nThe temporary recipe added in step one that will create the %5 will only trigger on mail "
        "from your address.  For that reason, it's important that you specify the correct 'From:' address "
        "below.  (Although it wouldn't be disastrous if the recipe was triggered multiple times, it would be "
        "inefficient.)\n\nPlease make sure the address in the box below is the 'From:' address you will use "
        "when you send a message to yourself, then hit the 'Connect' button.")
                        .arg(what, files, files, files, files));
}
