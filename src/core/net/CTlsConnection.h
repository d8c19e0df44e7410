#pragma once

#include "core/net/TlsCertificate.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>
#include <mutex>
#include <openssl/types.h>
#include <vector>

struct ssl_session_st;

// The sessions servers offered for resumption, shared by the connections of one FTP session: its
// data connections must resume the control connection's session. A TLS 1.3 ticket is good for one
// resumption only, so each is taken once (servers send new ones on every connection); a TLS 1.2
// session may be resumed again and again and stays.
class CTlsSessionPool
{
public:
    using Session = std::shared_ptr<ssl_session_st>;
    void Add(Session session);
    // The newest session, or null.
    Session Take();

private:
    std::mutex m_lock;
    std::vector<Session> m_sessions;
};

// The client side of TLS over one connected socket that the caller owns. The socket is switched to
// non-blocking, and every step that OpenSSL cannot finish at once waits on the socket for what it
// wants (reading or writing) until the deadline, or until `interruptFd` becomes readable: so a
// handshake, a read or a write is bounded by the same time-outs and the same Cancel as plain
// traffic.
class CTlsConnection
{
public:
    using Clock = std::chrono::steady_clock;
    enum Result { Ok, Failed, TimedOut, Canceled, Closed };

    CTlsConnection(int socket, int interruptFd);
    ~CTlsConnection();
    CTlsConnection(const CTlsConnection&) = delete;
    CTlsConnection& operator=(const CTlsConnection&) = delete;

    // The handshake for `host`, whose name (or address) the certificate is verified against.
    // Verification never stops the handshake: its outcome is in PeerCertificate() for the caller
    // to decide on. With a pool, a session from it is offered and the server's new ones go into it.
    Result Handshake(
        const QByteArray& host, const std::shared_ptr<CTlsSessionPool>& sessions, Clock::time_point deadline);
    // Bytes read into `buffer`; Closed when the peer ended the session properly.
    Result Read(char* buffer, qint64 size, qint64* got, Clock::time_point deadline);
    Result Write(const char* data, qint64 length, Clock::time_point deadline);
    // Whether application data can be read without waiting past `deadline`; records that carry
    // none (a session ticket) are taken on the way. A failure counts as readable, so that the
    // next Read reports it.
    Result WaitReadable(Clock::time_point deadline, bool* readable);
    // Takes what already arrived (session tickets a server sent after the handshake of a
    // connection we only wrote to), sends the close notification and waits until the deadline for
    // the peer to close its side.
    void Shutdown(Clock::time_point deadline);

    TlsCertificate PeerCertificate() const { return m_peer; }
    // "TLSv1.3, TLS_AES_256_GCM_SHA384".
    QString Description() const;
    QString ErrorText() const { return m_errorText; }

private:
    // Runs `step` until it succeeds, waiting between tries for what OpenSSL asks for.
    template <typename Step> Result drive(Step step, Clock::time_point deadline);
    Result fail(int sslError);
    void readPeerCertificate();
    static int newSession(SSL* ssl, ssl_session_st* session);

    SSL_CTX* m_context = nullptr;
    SSL* m_ssl = nullptr;
    int m_socket;
    int m_interruptFd;
    bool m_broken = false; // after a fatal error OpenSSL must not be asked to shut down
    std::shared_ptr<CTlsSessionPool> m_sessions;
    TlsCertificate m_peer;
    QString m_errorText;
};
