#pragma once

#include "core/net/CPop3Connection.h"
#include "core/net/CSmtpConnection.h"
#include "core/net/TestMail.h"

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>

// One send of the test mail, the same for the dialog and the command line. Prepare runs on the
// caller's thread (checks, message file); Run may run on a worker thread while the caller shows
// Status() and Percent() and offers Cancel, which stops every wait at once. Nothing of it is
// shared with another send.
class CTestMailJob
{
public:
    struct Result
    {
        enum Outcome { NotRun, Sent, Refused, Failed, Canceled };
        Outcome outcome = NotRun;
        QString text; // the message box text (Refused, Failed) or the status line (Sent, Canceled)
        QString caption;
        Prompt::Icon icon = Prompt::Information;
        TestMail::Problem problem; // what to focus when Refused
        // A server certificate that was not trusted: what it was, the settings key its pin would
        // go under, and the pin it did not match (empty when the host had none). The dialog may
        // ask the user and send again.
        TlsCertificate certificate;
        QString pinKey;
        QByteArray pinned;
        // Protocol version and cipher of the SMTP session, empty without TLS.
        QString smtpSecurity;
    };

    CTestMailJob(const TestMail::Account& account, const TestMail::Message& message);
    ~CTestMailJob();
    CTestMailJob(const CTestMailJob&) = delete;
    CTestMailJob& operator=(const CTestMailJob&) = delete;

    // Every line of the POP and SMTP dialogues, on the thread that runs.
    void SetLog(std::function<void(const QByteArray& line, bool fromServer)> log);

    // Checks the entries and writes the message, composed at `now`, to its file. False with the result set
    // (Refused, or Failed when the file cannot be written).
    bool Prepare(const QDateTime& now);
    // The POP login when asked, then the SMTP send. Returns the outcome.
    const Result& Run();
    // From any thread.
    void Cancel();
    bool Done() const { return m_done.load(); }
    const Result& GetResult() const { return m_result; }

    // What the status line shows meanwhile, and how much of the message went out (0-100).
    QString Status() const;
    int Percent() const { return m_percent.load(); }

    // The message file while the job lives (empty before Prepare).
    QString MessageFile() const { return m_messageFile; }

    static constexpr const char* ConnectedToPopHost = "Connected to Pop Host";
    static constexpr const char* SentStatus = "Message successfully sent!";

private:
    void setStatus(const QString& status);
    const Result& finish(Result::Outcome outcome, const QString& text, const QString& caption);
    const Result& canceled(bool messageEnded);
    // The result of a connection that failed on TLS; null when `code` is no TLS failure.
    const Result* tlsFailure(const QString& server, int code, const TlsCertificate& certificate,
        const QByteArray& pinned, const QString& pinKey, const QString& reason);

    TestMail::Account m_account;
    TestMail::Message m_message;
    QString m_messageFile;
    CPop3Connection m_pop;
    CSmtpConnection m_smtp;
    std::atomic<bool> m_canceled { false };
    std::atomic<bool> m_done { false };
    std::atomic<int> m_percent { 0 };
    mutable std::mutex m_statusLock;
    QString m_status;
    Result m_result;
};
