#include "MailLoop.h"

#include "NetTestFixture.h"
#include "core/net/CSmtpConnection.h"
#include "core/net/FtpPassword.h"
#include "core/settings/Profile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QThread>

#include <pwd.h>

namespace {

// Whether a process of that user still runs (looked up in /proc, never signalled).
bool hasProcessOf(uid_t uid)
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        entry.toInt(&number);
        if (number && QFileInfo(QStringLiteral("/proc/") + entry).ownerId() == uid)
            return true;
    }
    return false;
}

} // namespace

MailLoop::MailLoop() = default;

MailLoop::~MailLoop()
{
    // The servers go before the user whose home they serve.
    m_smtp.reset();
    m_ftp.reset();
    if (!m_sandbox.UserName().isEmpty())
        QFile::remove(MailboxPath());
}

QString MailLoop::MailboxPath() const
{
    return QStringLiteral("/var/mail/") + m_sandbox.UserName();
}

QList<QByteArray> MailLoop::Inbox() const
{
    QFile mailbox(MailboxPath());
    return mailbox.open(QIODevice::ReadOnly) ? ProcmailSandbox::SplitMbox(mailbox.readAll())
                                             : QList<QByteArray>();
}

void MailLoop::ClearOutputs()
{
    m_sandbox.ClearOutputs();
    QFile::remove(MailboxPath());
}

bool MailLoop::Start()
{
    m_password = QStringLiteral("pw%1").arg(QRandomGenerator::global()->bounded(100000, 999999));
    ProcmailSandbox::Options options;
    options.loginPassword = m_password;
    if (!m_sandbox.Start(options)) {
        m_error = m_sandbox.Error();
        return false;
    }
    m_address = m_sandbox.UserName().toUtf8() + "@zeph.test";

    m_ftp = std::make_unique<TestFtpServer>(TestFtpServer::Vsftpd);
    m_ftp->UseAccount(m_sandbox.UserName(), m_password, m_sandbox.Home());
    if (!m_ftp->Start(&m_error))
        return false;

    m_smtp = std::make_unique<TestSmtpServer>();
    m_smtp->DeliverLocally(QString::fromUtf8(m_address), m_sandbox.UserName(), m_sandbox.SendmailStubPath());
    if (!m_smtp->Start(&m_error))
        return false;

    // The stub feeds mail for the user back in through the server's socket.
    const QByteArray stub = "#!/bin/sh\nexec /usr/bin/python3 " ZEPH_SOURCE_DIR
                            "/tests/support/sendmail_stub.py '"
        + m_sandbox.SentFolder().toUtf8() + "' '" + QFile::encodeName(m_smtp->LocalSocket()) + "' '"
        + m_address + "' \"$@\"\n";
    if (!m_sandbox.SetSendmailStub(stub)) {
        m_error = m_sandbox.Error();
        return false;
    }
    return true;
}

bool MailLoop::UseSettings()
{
    UseServerSettings(*m_ftp, true);
    SetSetting(Settings::EmailAddress, QString::fromUtf8(m_address));
    return FtpPassword::Save(m_password);
}

bool MailLoop::MailYourself(const QByteArray& subject, const QByteArray& body)
{
    return Send(m_address, { m_address }, ProcmailSandbox::Message(m_address, m_address, subject, body))
        && WaitUntilQuiet();
}

bool MailLoop::WaitUntilQuiet()
{
    const passwd* account = getpwnam(m_sandbox.UserName().toUtf8().constData());
    if (!account) {
        m_error = QStringLiteral("the user %1 is gone").arg(m_sandbox.UserName());
        return false;
    }
    const uid_t uid = account->pw_uid;
    QDeadlineTimer deadline(60000);
    // Quiet twice in a row: a clone may be between its fork and its first step.
    int quiet = 0;
    while (!deadline.hasExpired()) {
        if (m_smtp->DeliveriesRunning() == 0 && !hasProcessOf(uid)) {
            if (++quiet == 2)
                return true;
        } else {
            quiet = 0;
        }
        QThread::msleep(100);
    }
    m_error = QStringLiteral("the host was still delivering mail after a minute");
    return false;
}

bool MailLoop::Send(const QByteArray& from, const QList<QByteArray>& to, const QByteArray& message)
{
    QTemporaryFile file;
    if (!file.open() || file.write(message) != message.size() || !file.flush()) {
        m_error = QStringLiteral("cannot write the message to send");
        return false;
    }
    CSmtpConnection smtp;
    smtp.SetHelloName("client.zeph.test");
    const bool sent = smtp.Connect("127.0.0.1", CSmtpConnection::NoAuth, {}, {}, m_smtp->Port())
        && smtp.SendMessageFile(file.fileName(), from, to);
    if (!sent)
        m_error = QStringLiteral("the SMTP server did not take the message: %1").arg(smtp.LastResponse());
    smtp.Disconnect();
    return sent;
}
