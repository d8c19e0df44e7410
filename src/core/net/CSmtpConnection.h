#pragma once

#include "core/net/CLineConnection.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// The SMTP client of the test mail: greeting, HELO or EHLO with one of three logins, one message
// to a list of envelope recipients, QUIT. Each reply is read whole (every "250-" line up to the
// final "250 " line) within one deadline and judged by its final line. The message is sent with
// CR LF line ends and a second point before every line that begins with one, so that no line of
// it can end the DATA early. After a failure LastResponse() is what the server said last and
// ErrorCode() says what went wrong (CLineConnection::Error).
class CSmtpConnection
{
public:
    enum Method { NoAuth = 0, CramMd5 = 1, AuthLogin = 2, LoginPlain = 3 };
    // Plain text, STARTTLS after the greeting (port 587), or TLS from the first byte (port 465).
    enum TlsMode { NoTls = 0, StartTls = 1, ImplicitTls = 2 };

    static constexpr int DefaultTimeoutMs = 60000;
    // The QUIT that ends a session waits no longer than this: the outcome is known by then.
    static constexpr int QuitTimeoutMs = 5000;
    // One reply may bring at most this many bytes (an EHLO reply is a few hundred).
    static constexpr qsizetype MaxReplyBytes = 64 * 1024;
    // The last response keeps at most this much of a reply: enough for any real one, and a
    // message box stays readable when a server floods.
    static constexpr qsizetype MaxResponseBytes = 2048;
    static constexpr qint64 DefaultChunkSize = 4096;

    // After each chunk of the message: bytes of the file sent so far and its size. Returning
    // false stops the send.
    using Progress = std::function<bool(qint64 sent, qint64 total)>;
    // Every line of the dialogue; what the client sends as credentials is shown as "****".
    using Log = std::function<void(const QByteArray& line, bool fromServer)>;

    CSmtpConnection() = default;
    ~CSmtpConnection();

    // "auto" (the default) sends the local host name.
    void SetHelloName(const QByteArray& name) { m_helloName = name; }
    void SetTimeout(int ms) { m_timeoutMs = ms; }
    void SetLog(Log log) { m_log = std::move(log); }
    // Before Connect: the TLS mode and the fingerprint pinned for the host (empty for none).
    void SetTls(int mode, const QByteArray& pinned)
    {
        m_tlsMode = mode;
        m_pinned = pinned;
    }

    bool Connect(
        const QByteArray& host, int method, const QByteArray& user, const QByteArray& password, int port);
    // MAIL FROM, one RCPT TO for each recipient, DATA, the file, the final point.
    bool SendMessageFile(const QString& path, const QByteArray& sender, const QList<QByteArray>& recipients,
        qint64 chunkSize = DefaultChunkSize, const Progress& progress = {});
    // QUIT when a greeting was read; true when it got its 221. The socket is closed in any case.
    bool Disconnect();

    // The last reply, its lines joined by "\n", with control characters escaped for display.
    QString LastResponse() const;
    QByteArray LastResponseBytes() const { return m_lastResponse; }
    int ErrorCode() const { return m_connection.Error(); }
    int ReplyCode() const { return m_replyCode; }
    // Whether the final point of a message went out: from then on the server may have taken it,
    // even when its reply never came.
    bool MessageEnded() const { return m_messageEnded; }

    // Stops every wait at once, from any thread; the running call fails with Canceled.
    void Cancel() { m_connection.Cancel(); }
    bool WasCanceled() const { return m_connection.WasCanceled(); }

    TlsCertificate PeerCertificate() const { return m_connection.PeerCertificate(); }
    QString TlsDescription() const { return m_connection.TlsDescription(); }
    QString TlsErrorText() const { return m_connection.TlsErrorText(); }

    // The CRAM-MD5 answer to `challenge` (decoded): user, a blank and the HMAC-MD5 of the
    // challenge keyed with the password in lower-case hexadecimal, in Base64.
    static QByteArray CramMd5Response(
        const QByteArray& user, const QByteArray& password, const QByteArray& challenge);
    // The SASL PLAIN initial response: Base64 of NUL, user, NUL, password.
    static QByteArray PlainResponse(const QByteArray& user, const QByteArray& password);

private:
    bool readReply(int expected);
    // Sends `line` and CR LF; `shown` is what the log gets instead when it is not empty.
    bool send(const QByteArray& line, const QByteArray& shown = QByteArray());
    bool command(const QByteArray& line, int expected, const QByteArray& shown = QByteArray());
    // STARTTLS and the handshake; a refusal is TlsNotOffered.
    bool startTls(const QByteArray& host);
    bool login(int method, const QByteArray& user, const QByteArray& password);
    void log(const QByteArray& line, bool fromServer) const;

    CLineConnection m_connection;
    QByteArray m_helloName = "auto";
    int m_tlsMode = NoTls;
    QByteArray m_pinned;
    int m_timeoutMs = DefaultTimeoutMs;
    Log m_log;
    bool m_connected = false;
    bool m_messageEnded = false;
    int m_replyCode = 0;
    QByteArray m_lastResponse;
    QByteArray m_finalLine; // the final line of the last reply
};
