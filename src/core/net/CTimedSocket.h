#pragma once

#include "core/net/CTlsConnection.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

// Plain socket helpers under CTimedSocket. Time-outs are milliseconds passed by pointer: null means
// no limit, 0 only takes what is ready now. One time-out bounds the whole call, however often its
// waits wake up; when it runs out the helper writes -1 into it. Every wait also watches
// `interruptFd` (an eventfd, or -1): when it becomes readable the helper fails with errno ECANCELED.
namespace SockHelpers {

constexpr int WouldBlock = 10035;
// What SockResolve gives for a host it cannot resolve.
constexpr quint32 InvalidAddress = 0xFFFFFFFFu;

quint32 SockResolve(const QByteArray& host); // network byte order
int SockConnect(const QByteArray& host, int port, int* timeoutMs, int interruptFd = -1);
int SockListen(const QByteArray& address, int port, int backlog);
int SockAccept(int listener, int* timeoutMs, int interruptFd = -1);
qint64 SockRecv(int socket, char* buffer, qint64 size, int* timeoutMs, int interruptFd = -1);
qint64 SockSend(
    int socket, const char* data, qint64 length, int* timeoutMs, bool nonBlocking, int interruptFd = -1);
int SockWait(int socket, int seconds, bool forReading, int interruptFd = -1);
// Waits for the socket until `deadline` (time_point::max() for none): 1 ready, 0 time-out, -1
// failure (errno ECANCELED when `interruptFd` fired).
int SockPoll(int socket, bool forReading, std::chrono::steady_clock::time_point deadline, int interruptFd);
int SockSetNonBlocking(int socket, bool flag);
QByteArray SockLocalAddress(int socket);
QByteArray SockPeerAddress(int socket);
int SockLocalPort(int socket);
int SockClose(int socket);

} // namespace SockHelpers

// One IPv4 TCP socket whose every blocking step has a time-out and can be interrupted from another
// thread. Each public operation stores a status code (StatusText gives its text) and runs under
// the operation lock; CancelConnect, Interrupt, SetStatus and the getters do not take it.
//
// Read, Send and Accept also take a deadline: the wait ends at the deadline or at the end of the
// object's own time-out, whichever comes first, and either way the status is "Timed Out". A caller
// gives several calls one deadline when together they are one step (all the reads of one reply).
class CTimedSocket
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::time_point NoDeadline = Clock::time_point::max();
    // The deadline `seconds` from now; NoDeadline for 0 or less (no limit).
    static Clock::time_point DeadlineIn(int seconds);

    enum Status {
        NoError = 0,
        InvalidSocket = 1,
        ValidSocket = 2,
        ConnectFailed = 3,
        ListenFailed = 4,
        AcceptFailed = 5,
        ReadFailed = 6,
        SendFailed = 7,
        WaitFailed = 8,
        TimedOut = 9,
        GetInfoFailed = 10,
        SetModeFailed = 11,
        CloseFailed = 12,
        OperationCanceled = 13,
        TlsFailed = 14,
        CertificateUntrusted = 15,
        CertificateChanged = 16,
    };

    // How StartTls judges the server's certificate: one that verifies against the trusted
    // authorities for `host` is accepted, else only one whose fingerprint is `pinned` or
    // `alsoAccepted`. Without a match the status says whether a pin was there to be broken.
    struct TlsPolicy
    {
        QByteArray host;
        QByteArray pinned;
        QByteArray alsoAccepted;
        // Where sessions for resumption come from and go to; null for none.
        std::shared_ptr<CTlsSessionPool> sessions;
    };

    explicit CTimedSocket(bool nonBlocking);
    virtual ~CTimedSocket();
    CTimedSocket(const CTimedSocket&) = delete;
    CTimedSocket& operator=(const CTimedSocket&) = delete;

    virtual QString StatusText() const;
    static QString SocketStatusText(int status);

    bool Connect(const QByteArray& host, int port);
    bool Listen(const QByteArray& address, int port, int backlog);
    bool Accept(CTimedSocket& listener, Clock::time_point deadline = NoDeadline);
    bool Close();
    // Bytes received; 0 when the peer closed; -1 on failure.
    qint64 Read(char* buffer, qint64 size, Clock::time_point deadline = NoDeadline);
    // Bytes sent; -1 on failure; WouldBlock when non-blocking and nothing could be sent.
    qint64 Send(const char* data, qint64 length, Clock::time_point deadline = NoDeadline);
    // Sends the bytes as urgent (out-of-band) data.
    bool SendUrgent(const char* data, qint64 length);
    bool Wait(int seconds, bool forReading);

    // Runs the TLS handshake on the open connection and judges the certificate; from then on
    // Read, Send and Wait go through TLS. A refused certificate closes the connection before
    // anything is sent; PeerCertificate() still tells what it was. Bounded by the read time-out
    // and `deadline`.
    bool StartTls(const TlsPolicy& policy, Clock::time_point deadline = NoDeadline);
    TlsCertificate PeerCertificate() const;
    // Protocol version and cipher of the session, empty without TLS.
    QString TlsDescription() const;
    // OpenSSL's reason for the last TLS failure.
    QString TlsErrorText() const;

    bool SetNonBlocking(bool flag);
    QByteArray GetLocalAddress();
    QByteArray GetPeerAddress();
    int GetLocalPort();

    bool IsOpen() const { return m_socket.load() != -1; }
    bool IsNonBlocking() const { return m_nonBlocking; }
    int GetStatus() const;
    bool SetStatus(int code);

    // A cancel belongs to the connect request it was raised for. ConnectRequest() names the
    // request whose Connect runs now or, when none runs, comes next; every Connect ends its
    // request, whatever the outcome. CancelConnect(request) stops that request's Connect with
    // "Operation canceled" from any thread, at once also when it arrives before Connect begins,
    // and a cancel for a request that is over never reaches a later one. Without a request named
    // it cancels the current one.
    using Request = quint64;
    Request ConnectRequest() const { return m_connectRequest.load(); }
    void CancelConnect(Request request);
    void CancelConnect() { CancelConnect(ConnectRequest()); }
    // Wakes every wait of this object at once and makes the following ones fail with
    // "Operation canceled" until ClearInterrupt. Safe from any thread.
    void Interrupt();
    void ClearInterrupt();
    bool IsInterrupted() const { return m_interrupted.load(); }

    int m_acceptTimeout = 0;
    int m_connectTimeout = 0;
    int m_readTimeout = 0;
    int m_sendTimeout = 0;

private:
    struct ConnectState;
    bool applyMode();

    // The status of a TLS step that did not succeed; the reason is kept for TlsErrorText.
    void tlsStatus(CTlsConnection::Result result, int failedStatus);

    std::atomic<int> m_socket { -1 };
    std::unique_ptr<CTlsConnection> m_tls;
    TlsCertificate m_peer;
    QString m_tlsError;
    mutable std::recursive_mutex m_operationLock;
    mutable std::mutex m_statusLock;
    bool m_nonBlocking = false;
    int m_status = 0;
    int m_interruptFd = -1;
    std::atomic<bool> m_interrupted { false };
    std::atomic<Request> m_connectRequest { 1 };
    std::atomic<Request> m_canceledRequest { 0 }; // the newest request cancelled, 0 for none
    std::shared_ptr<ConnectState> m_pendingConnect;
    std::mutex m_connectLock;
};
