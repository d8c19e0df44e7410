#pragma once

#include "core/net/CLineConnection.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The POP3 login of "POP before send": greeting, USER, PASS, and QUIT when asked. Every reply is
// one line that must begin with "+OK" (any letter case); anything else fails the step and becomes
// the last response.
class CPop3Connection
{
public:
    // A failed login is answered late on purpose by some servers, and a cold one answers a good
    // login slowly too: two seconds were not enough.
    static constexpr int DefaultTimeoutMs = 20000;
    static constexpr qsizetype MaxReplyBytes = 8 * 1024;

    // Every line of the dialogue; the password is shown as "****".
    using Log = std::function<void(const QByteArray& line, bool fromServer)>;

    CPop3Connection() = default;
    ~CPop3Connection();

    void SetTimeout(int ms) { m_timeoutMs = ms; }
    void SetLog(Log log) { m_log = std::move(log); }
    // Before Connect: plain (0), STLS after the greeting (1) or TLS from the first byte (2, port
    // 995), and the fingerprint pinned for the host (empty for none).
    void SetTls(int mode, const QByteArray& pinned)
    {
        m_tlsMode = mode;
        m_pinned = pinned;
    }

    // Connects and logs in; on failure the connection is closed.
    bool Connect(const QByteArray& host, const QByteArray& user, const QByteArray& password, int port);
    // QUIT and its reply; true for "+OK". The socket is closed in any case.
    bool Disconnect();

    // The last reply line, with control characters escaped for display.
    QString LastResponse() const;
    int ErrorCode() const { return m_connection.Error(); }

    void Cancel() { m_connection.Cancel(); }
    bool WasCanceled() const { return m_connection.WasCanceled(); }

    TlsCertificate PeerCertificate() const { return m_connection.PeerCertificate(); }
    QString TlsDescription() const { return m_connection.TlsDescription(); }
    QString TlsErrorText() const { return m_connection.TlsErrorText(); }

private:
    bool readReply();
    bool command(const QByteArray& line, const QByteArray& shown = QByteArray());

    CLineConnection m_connection;
    int m_timeoutMs = DefaultTimeoutMs;
    int m_tlsMode = 0;
    QByteArray m_pinned;
    Log m_log;
    QByteArray m_lastResponse;
};
