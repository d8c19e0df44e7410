#include "core/net/CTestMailJob.h"

#include "core/common/AtomicFile.h"
#include "core/workspace/Workspace.h"

#include <QFile>

CTestMailJob::CTestMailJob(const TestMail::Account& account, const TestMail::Message& message)
    : m_account(account)
    , m_message(message)
{
    m_pop.SetTimeout(account.popTimeoutMs);
    m_smtp.SetTimeout(account.smtpTimeoutMs);
    m_smtp.SetHelloName(account.helloName.toUtf8());
    m_pop.SetTls(account.popTls, account.popPin);
    m_smtp.SetTls(account.smtpTls, account.smtpPin);
}

CTestMailJob::~CTestMailJob()
{
    // The message file never outlives its send.
    if (!m_messageFile.isEmpty())
        QFile::remove(m_messageFile);
}

void CTestMailJob::SetLog(std::function<void(const QByteArray& line, bool fromServer)> log)
{
    m_pop.SetLog(log);
    m_smtp.SetLog(std::move(log));
}

QString CTestMailJob::Status() const
{
    std::lock_guard guard(m_statusLock);
    return m_status;
}

void CTestMailJob::setStatus(const QString& status)
{
    std::lock_guard guard(m_statusLock);
    m_status = status;
}

void CTestMailJob::Cancel()
{
    m_canceled = true;
    m_pop.Cancel();
    m_smtp.Cancel();
}

const CTestMailJob::Result& CTestMailJob::finish(
    Result::Outcome outcome, const QString& text, const QString& caption)
{
    m_result.outcome = outcome;
    m_result.text = text;
    m_result.caption = caption;
    m_result.icon = outcome == Result::Refused ? Prompt::Warning : Prompt::Information;
    if (outcome != Result::Sent)
        setStatus(outcome == Result::Canceled ? text : QString());
    m_done = true;
    return m_result;
}

const CTestMailJob::Result& CTestMailJob::canceled(bool messageEnded)
{
    // After the final point the server may have taken the message without saying so.
    return finish(Result::Canceled,
        messageEnded
            ? QStringLiteral("Canceled before the server confirmed the message: it may have been delivered.")
            : QStringLiteral("Canceled: the message was not sent."),
        QStringLiteral("Sending canceled"));
}

const CTestMailJob::Result* CTestMailJob::tlsFailure(const QString& server, int code,
    const TlsCertificate& certificate, const QByteArray& pinned, const QString& pinKey, const QString& reason)
{
    switch (code) {
    case CLineConnection::CertificateUntrusted:
    case CLineConnection::CertificateChanged: {
        QString caption;
        const QByteArray broken = code == CLineConnection::CertificateChanged ? pinned : QByteArray();
        const QString text = certificate.RefusalText(server, broken, &caption);
        finish(Result::Failed, text, caption);
        m_result.icon = Prompt::Warning;
        m_result.certificate = certificate;
        m_result.pinKey = pinKey;
        m_result.pinned = broken;
        return &m_result;
    }
    case CLineConnection::TlsFailed:
        return &finish(Result::Failed,
            QStringLiteral("The secure connection (TLS) with %1 failed: %2.").arg(server, reason),
            QStringLiteral("Secure connection failed"));
    case CLineConnection::TlsNotOffered:
        return &finish(Result::Failed,
            QStringLiteral(
                "%1 does not offer a secure connection (TLS); neither the password nor the message "
                "was sent.")
                .arg(server),
            QStringLiteral("No secure connection"));
    default:
        return nullptr;
    }
}

bool CTestMailJob::Prepare(const QDateTime& now)
{
    if (TestMail::Check(m_account, m_message, &m_result.problem)) {
        finish(Result::Refused, m_result.problem.text, m_result.problem.caption);
        return false;
    }
    const QString path = Workspace::MakeTempFile();
    QString error;
    if (path.isEmpty() || !SaveFileAtomically(path, TestMail::Compose(m_message, now), &error)) {
        if (!path.isEmpty())
            QFile::remove(path);
        finish(Result::Failed,
            QStringLiteral(
                "Error sending message.  The message could not be written to a temporary file:\n\n%1.")
                .arg(error),
            QStringLiteral("Error sending message"));
        return false;
    }
    m_messageFile = path;
    return true;
}

const CTestMailJob::Result& CTestMailJob::Run()
{
    if (m_messageFile.isEmpty())
        return m_result;
    if (m_account.authMethod == TestMail::AuthPopBeforeSend) {
        const QByteArray host = m_account.popHost.toUtf8();
        if (!m_pop.Connect(host, m_account.user.toUtf8(), m_account.password.toUtf8(), m_account.popPort)) {
            if (m_canceled)
                return canceled(false);
            if (const Result* result = tlsFailure(QStringLiteral("Pop host \"%1\"").arg(m_account.popHost),
                    m_pop.ErrorCode(), m_pop.PeerCertificate(), m_account.popPin,
                    TlsPinKey(QStringLiteral("pop"), m_account.popHost), m_pop.TlsErrorText()))
                return *result;
            return finish(Result::Failed,
                QStringLiteral("Unable to connect to Pop host \"%1\".  The last response was:\n\n%2")
                    .arg(m_account.popHost, m_pop.LastResponse()),
                QStringLiteral("Unable to connect to Pop host"));
        }
        if (!m_pop.Disconnect()) {
            if (m_canceled)
                return canceled(false);
            return finish(Result::Failed,
                QStringLiteral("Error disconnecting from Pop host \"%1\".  The last response was:\n\n%2")
                    .arg(m_account.popHost, m_pop.LastResponse()),
                QStringLiteral("Error disconnecting from Pop host"));
        }
        setStatus(QLatin1String(ConnectedToPopHost));
    }

    int method = CSmtpConnection::NoAuth;
    switch (m_account.authMethod) {
    case TestMail::AuthLogin:
        method = CSmtpConnection::AuthLogin;
        break;
    case TestMail::AuthPlain:
        method = CSmtpConnection::LoginPlain;
        break;
    case TestMail::AuthCramMd5:
        method = CSmtpConnection::CramMd5;
        break;
    default:
        break;
    }
    if (!m_smtp.Connect(m_account.smtpHost.toUtf8(), method, m_account.user.toUtf8(),
            m_account.password.toUtf8(), m_account.smtpPort)) {
        const QString response = m_smtp.LastResponse();
        const int code = m_smtp.ErrorCode();
        m_smtp.Disconnect();
        if (m_canceled)
            return canceled(false);
        if (const Result* result = tlsFailure(QStringLiteral("SMTP host \"%1\"").arg(m_account.smtpHost),
                code, m_smtp.PeerCertificate(), m_account.smtpPin,
                TlsPinKey(QStringLiteral("smtp"), m_account.smtpHost), m_smtp.TlsErrorText()))
            return *result;
        return finish(Result::Failed,
            QStringLiteral(
                "Unable to connect to SMTP host \"%1\".  The last response was:\n%2.\n\nError code: %3")
                .arg(m_account.smtpHost, response)
                .arg(code),
            QStringLiteral("Unable to connect"));
    }
    m_result.smtpSecurity = m_smtp.TlsDescription();
    if (!m_result.smtpSecurity.isEmpty())
        setStatus(QStringLiteral("Connected to SMTP host over %1").arg(m_result.smtpSecurity));
    const bool sent = m_smtp.SendMessageFile(m_messageFile, m_message.envelopeFrom.toUtf8(),
        { m_message.envelopeTo.toUtf8() }, CSmtpConnection::DefaultChunkSize,
        [this](qint64 done, qint64 total) {
            m_percent = total > 0 ? int(done * 100 / total) : 100;
            return !m_canceled.load();
        });
    const QString response = m_smtp.LastResponse();
    const bool messageEnded = m_smtp.MessageEnded();
    m_smtp.Disconnect();
    if (sent) {
        // A protected send says so where the user looks when it is over.
        const QString status = m_result.smtpSecurity.isEmpty()
            ? QLatin1String(SentStatus)
            : QStringLiteral("%1 (%2)").arg(QLatin1String(SentStatus), m_result.smtpSecurity);
        setStatus(status);
        return finish(Result::Sent, status, QString());
    }
    if (m_canceled)
        return canceled(messageEnded);
    return finish(Result::Failed,
        QStringLiteral("Error sending message.  The last response was:\n\n%1.").arg(response),
        QStringLiteral("Error sending message"));
}
