#include "core/net/CTimedSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A peer that closes while we send must fail the send, never end the process.
void ignoreSigpipe()
{
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

using Clock = std::chrono::steady_clock;

// How often a waiting Connect looks for a cancel that could not wake it (a cancel wakes it at once).
constexpr std::chrono::milliseconds ConnectPollInterval(100);
// How long closing a TLS connection waits for the peer to close its side after the close
// notification: a live peer does so within a round trip.
constexpr std::chrono::milliseconds TlsCloseLinger(1000);
// The longest local address text kept.
constexpr qsizetype MaxAddressText = 31;

// The end of a helper's time-out in milliseconds (null: none).
Clock::time_point deadlineFrom(const int* timeoutMs)
{
    if (!timeoutMs)
        return Clock::time_point::max();
    return Clock::now() + std::chrono::milliseconds(std::max(0, *timeoutMs));
}

// Waits until `socket` shows `events`, the deadline passes or the interrupt fd fires. 1 ready,
// 0 time-out, -1 failure (errno ECANCELED when interrupted).
int waitFor(int socket, short events, Clock::time_point deadline, int interruptFd)
{
    pollfd fds[2];
    fds[0] = { socket, events, 0 };
    fds[1] = { interruptFd, POLLIN, 0 };
    const nfds_t count = interruptFd >= 0 ? 2 : 1;
    for (;;) {
        int left = -1;
        if (deadline != Clock::time_point::max()) {
            const auto remaining
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            left = static_cast<int>(std::clamp<qint64>(remaining, 0, std::numeric_limits<int>::max()));
        }
        const int n = ::poll(fds, count, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (count == 2 && (fds[1].revents & POLLIN)) {
            errno = ECANCELED;
            return -1;
        }
        if (n == 0)
            return 0;
        if (fds[0].revents & (events | POLLERR | POLLHUP | POLLNVAL))
            return 1;
    }
}

} // namespace

namespace SockHelpers {

quint32 SockResolve(const QByteArray& host)
{
    bool numeric = !host.isEmpty();
    for (char c : host) {
        if (!((c >= '0' && c <= '9') || c == '.'))
            numeric = false;
    }
    if (numeric) {
        in_addr address {};
        if (::inet_pton(AF_INET, host.constData(), &address) == 1)
            return address.s_addr;
        return InvalidAddress;
    }
    if (host.isEmpty() || host.contains('\0'))
        return InvalidAddress;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(host.constData(), nullptr, &hints, &result) != 0 || !result)
        return InvalidAddress;
    const quint32 address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(result);
    return address;
}

int SockSetNonBlocking(int socket, bool flag)
{
    const int flags = ::fcntl(socket, F_GETFL, 0);
    if (flags < 0)
        return -1;
    const int wanted = flag ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(socket, F_SETFL, wanted) < 0 ? -1 : 0;
}

int SockConnect(const QByteArray& host, int port, int* timeoutMs, int interruptFd)
{
    ignoreSigpipe();
    const Clock::time_point deadline = deadlineFrom(timeoutMs);
    const quint32 address = SockResolve(host);
    if (address == InvalidAddress) {
        errno = EHOSTUNREACH;
        return -1;
    }
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<quint16>(port & 0xFFFF));
    to.sin_addr.s_addr = address;
    // Always connect non-blocking so that the wait can be interrupted; without a time-out the wait
    // has no limit.
    if (SockSetNonBlocking(s, true) != 0) {
        const int e = errno;
        ::close(s);
        errno = e;
        return -1;
    }
    int rc = ::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (rc != 0 && errno != EINPROGRESS) {
        const int e = errno;
        ::close(s);
        errno = e;
        return -1;
    }
    if (rc != 0) {
        const int ready = waitFor(s, POLLOUT, deadline, interruptFd);
        int soError = 0;
        socklen_t length = sizeof soError;
        if (ready == 1 && ::getsockopt(s, SOL_SOCKET, SO_ERROR, &soError, &length) == 0 && soError == 0) {
            // connected
        } else {
            const int e = ready == 1 ? (soError ? soError : errno) : (ready == 0 ? ETIMEDOUT : errno);
            ::close(s);
            if (ready == 0 && timeoutMs)
                *timeoutMs = -1;
            errno = e;
            return -1;
        }
    }
    SockSetNonBlocking(s, false);
    const int one = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return s;
}

int SockListen(const QByteArray& address, int port, int backlog)
{
    ignoreSigpipe();
    quint32 ip = htonl(INADDR_ANY);
    if (!address.isEmpty()) {
        ip = SockResolve(address);
        if (ip == InvalidAddress) {
            errno = EADDRNOTAVAIL;
            return -1;
        }
    }
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    const int one = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in at {};
    at.sin_family = AF_INET;
    at.sin_port = htons(static_cast<quint16>(port & 0xFFFF));
    at.sin_addr.s_addr = ip;
    if (::bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(s, backlog) != 0) {
        const int e = errno;
        ::close(s);
        errno = e;
        return -1;
    }
    return s;
}

int SockAccept(int listener, int* timeoutMs, int interruptFd)
{
    const int ready = waitFor(listener, POLLIN, deadlineFrom(timeoutMs), interruptFd);
    if (ready == 0) {
        if (timeoutMs)
            *timeoutMs = -1;
        return -1;
    }
    if (ready < 0)
        return -1;
    const int s = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (s >= 0) {
        const int one = 1;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    return s;
}

qint64 SockRecv(int socket, char* buffer, qint64 size, int* timeoutMs, int interruptFd)
{
    const Clock::time_point deadline = deadlineFrom(timeoutMs);
    for (;;) {
        const int ready = waitFor(socket, POLLIN, deadline, interruptFd);
        if (ready == 0) {
            if (timeoutMs)
                *timeoutMs = -1;
            return -1;
        }
        if (ready < 0)
            return -1;
        const ssize_t n = ::recv(socket, buffer, static_cast<size_t>(size), MSG_DONTWAIT);
        if (n >= 0)
            return n;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return -1;
    }
}

qint64 SockSend(
    int socket, const char* data, qint64 length, int* timeoutMs, bool nonBlocking, int interruptFd)
{
    const Clock::time_point deadline = deadlineFrom(timeoutMs);
    qint64 sent = 0;
    while (sent < length) {
        const int ready = waitFor(socket, POLLOUT, deadline, interruptFd);
        if (ready == 0) {
            if (timeoutMs)
                *timeoutMs = -1;
            return -1;
        }
        if (ready < 0)
            return -1;
        const ssize_t n
            = ::send(socket, data + sent, static_cast<size_t>(length - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (nonBlocking && sent == 0)
                    return WouldBlock;
                continue;
            }
            return -1;
        }
        if (n == 0)
            break;
        sent += n;
    }
    return sent;
}

int SockPoll(int socket, bool forReading, Clock::time_point deadline, int interruptFd)
{
    return waitFor(socket, forReading ? POLLIN : POLLOUT, deadline, interruptFd);
}

int SockWait(int socket, int seconds, bool forReading, int interruptFd)
{
    const Clock::time_point deadline
        = seconds <= 0 ? Clock::now() : Clock::now() + std::chrono::seconds(seconds);
    return waitFor(socket, forReading ? POLLIN : POLLOUT, deadline, interruptFd);
}

namespace {

    // The dotted address of one end of a connection: `whichEnd` is getsockname or getpeername.
    QByteArray endAddress(int socket, int (*whichEnd)(int, sockaddr*, socklen_t*))
    {
        sockaddr_in at {};
        socklen_t length = sizeof at;
        if (whichEnd(socket, reinterpret_cast<sockaddr*>(&at), &length) != 0)
            return QByteArray();
        char text[INET_ADDRSTRLEN] = {};
        if (!::inet_ntop(AF_INET, &at.sin_addr, text, sizeof text))
            return QByteArray();
        return QByteArray(text);
    }

} // namespace

QByteArray SockLocalAddress(int socket)
{
    return endAddress(socket, ::getsockname);
}

QByteArray SockPeerAddress(int socket)
{
    return endAddress(socket, ::getpeername);
}

int SockLocalPort(int socket)
{
    sockaddr_in at {};
    socklen_t length = sizeof at;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&at), &length) != 0)
        return -1;
    return ntohs(at.sin_port);
}

int SockClose(int socket)
{
    return ::close(socket);
}

} // namespace SockHelpers

using namespace SockHelpers;

// Shared between Connect and its helper thread. When Connect gives up (cancel), the helper keeps
// the state alive, finishes alone and closes the socket it made: it never touches the object.
struct CTimedSocket::ConnectState
{
    std::mutex lock;
    std::condition_variable doneSignal;
    bool done = false;
    bool abandoned = false;
    int socket = -1;
    int wakeFd = -1;

    ConnectState() { wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }
    ~ConnectState()
    {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }
    void Wake()
    {
        const quint64 one = 1;
        if (wakeFd >= 0) [[maybe_unused]]
            auto n = ::write(wakeFd, &one, sizeof one);
    }
};

CTimedSocket::CTimedSocket(bool nonBlocking)
    : m_nonBlocking(nonBlocking)
{
    ignoreSigpipe();
    m_interruptFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

CTimedSocket::~CTimedSocket()
{
    Close();
    if (m_interruptFd >= 0)
        ::close(m_interruptFd);
}

QString CTimedSocket::SocketStatusText(int status)
{
    switch (status) {
    case NoError:
        return QStringLiteral("No error");
    case InvalidSocket:
        return QStringLiteral("Invalid Socket");
    case ValidSocket:
        return QStringLiteral("Valid Socket");
    case ConnectFailed:
        return QStringLiteral("Connect failed");
    case ListenFailed:
        return QStringLiteral("Listen failed");
    case AcceptFailed:
        return QStringLiteral("Accept failed");
    case ReadFailed:
        return QStringLiteral("Read failed");
    case SendFailed:
        return QStringLiteral("Send failed");
    case WaitFailed:
        return QStringLiteral("Wait failed");
    case TimedOut:
        return QStringLiteral("Timed Out");
    case GetInfoFailed:
        return QStringLiteral("Get info failed");
    case SetModeFailed:
        return QStringLiteral("Set mode failed");
    case CloseFailed:
        return QStringLiteral("Close failed");
    case OperationCanceled:
        return QStringLiteral("Operation canceled");
    case TlsFailed:
        return QStringLiteral("Secure connection (TLS) failed");
    case CertificateUntrusted:
        return QStringLiteral("The server's certificate is not trusted");
    case CertificateChanged:
        return QStringLiteral("The server's certificate has changed");
    default:
        return QStringLiteral("Unknown Error");
    }
}

CTimedSocket::Clock::time_point CTimedSocket::DeadlineIn(int seconds)
{
    return seconds > 0 ? Clock::now() + std::chrono::seconds(seconds) : NoDeadline;
}

// The milliseconds a wait may take: the own time-out (seconds, 0 or less for none) or what is left
// until the deadline, whichever is shorter; -1 for no limit.
static int waitBudget(int seconds, CTimedSocket::Clock::time_point deadline)
{
    qint64 budget = seconds > 0 ? qint64(seconds) * 1000 : -1;
    if (deadline != CTimedSocket::NoDeadline) {
        const qint64 left = std::max<qint64>(0,
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - CTimedSocket::Clock::now())
                .count());
        budget = budget < 0 ? left : std::min(budget, left);
    }
    return static_cast<int>(std::min<qint64>(budget, std::numeric_limits<int>::max()));
}

// The deadline of a wait budget from waitBudget.
static CTimedSocket::Clock::time_point budgetDeadline(int budgetMs)
{
    return budgetMs < 0 ? CTimedSocket::NoDeadline
                        : CTimedSocket::Clock::now() + std::chrono::milliseconds(budgetMs);
}

QString CTimedSocket::StatusText() const
{
    return SocketStatusText(GetStatus());
}

int CTimedSocket::GetStatus() const
{
    std::lock_guard guard(m_statusLock);
    return m_status;
}

bool CTimedSocket::SetStatus(int code)
{
    std::lock_guard guard(m_statusLock);
    m_status = code;
    return code == 0;
}

bool CTimedSocket::applyMode()
{
    // OpenSSL reads and writes the descriptor itself and must never block in it.
    if (SockSetNonBlocking(m_socket, m_nonBlocking || m_tls) != 0)
        return SetStatus(SetModeFailed);
    return SetStatus(NoError);
}

bool CTimedSocket::Connect(const QByteArray& host, int port)
{
    std::lock_guard guard(m_operationLock);
    const Request request = m_connectRequest.load();
    // This request is over when Connect returns: a cancel raised for it later reaches nothing.
    struct EndRequest
    {
        std::atomic<Request>& current;
        Request request;
        ~EndRequest() { current.store(request + 1); }
    } endRequest { m_connectRequest, request };
    auto isCanceled = [this, request] { return m_canceledRequest.load() == request || m_interrupted.load(); };
    if (IsOpen())
        return SetStatus(ValidSocket);
    // A cancel that came before Connect began: no connect is started at all.
    if (isCanceled())
        return SetStatus(OperationCanceled);
    auto state = std::make_shared<ConnectState>();
    {
        std::lock_guard connectGuard(m_connectLock);
        m_pendingConnect = state;
    }
    const int timeoutMs = waitBudget(m_connectTimeout, NoDeadline);
    try {
        std::thread([state, host, port, timeoutMs] {
            int budget = timeoutMs;
            const int s = SockConnect(host, port, timeoutMs >= 0 ? &budget : nullptr, state->wakeFd);
            std::lock_guard stateGuard(state->lock);
            state->socket = s;
            state->done = true;
            if (state->abandoned && s >= 0) {
                ::close(s);
                state->socket = -1;
            }
            state->doneSignal.notify_all();
        }).detach();
    } catch (...) {
        std::lock_guard connectGuard(m_connectLock);
        m_pendingConnect.reset();
        return SetStatus(ConnectFailed);
    }
    bool canceled = false;
    int socket = -1;
    {
        std::unique_lock stateLock(state->lock);
        while (!state->done) {
            if (isCanceled()) {
                canceled = true;
                state->abandoned = true;
                state->Wake();
                break;
            }
            state->doneSignal.wait_for(stateLock, ConnectPollInterval);
        }
        if (!canceled)
            socket = state->socket;
    }
    {
        std::lock_guard connectGuard(m_connectLock);
        m_pendingConnect.reset();
    }
    if (canceled)
        return SetStatus(OperationCanceled);
    if (socket < 0)
        return SetStatus(ConnectFailed);
    m_socket = socket;
    return applyMode();
}

void CTimedSocket::CancelConnect(Request request)
{
    // Requests only grow: a cancel for an older request must not replace one for a newer.
    Request canceled = m_canceledRequest.load();
    while (canceled < request && !m_canceledRequest.compare_exchange_weak(canceled, request)) { }
    std::lock_guard connectGuard(m_connectLock);
    if (m_pendingConnect) {
        std::lock_guard stateGuard(m_pendingConnect->lock);
        m_pendingConnect->doneSignal.notify_all();
    }
}

void CTimedSocket::Interrupt()
{
    m_interrupted = true;
    const quint64 one = 1;
    if (m_interruptFd >= 0) [[maybe_unused]]
        auto n = ::write(m_interruptFd, &one, sizeof one);
    CancelConnect();
}

void CTimedSocket::ClearInterrupt()
{
    quint64 value = 0;
    if (m_interruptFd >= 0) [[maybe_unused]]
        auto n = ::read(m_interruptFd, &value, sizeof value);
    m_interrupted = false;
    m_canceledRequest = 0;
}

bool CTimedSocket::Listen(const QByteArray& address, int port, int backlog)
{
    std::lock_guard guard(m_operationLock);
    if (IsOpen())
        return SetStatus(ValidSocket);
    const int s = SockListen(address, port, backlog);
    if (s < 0)
        return SetStatus(ListenFailed);
    m_socket = s;
    return applyMode();
}

bool CTimedSocket::Accept(CTimedSocket& listener, Clock::time_point deadline)
{
    std::lock_guard guard(m_operationLock);
    if (IsOpen())
        return SetStatus(ValidSocket);
    if (!listener.IsOpen())
        return SetStatus(InvalidSocket);
    int timeout = waitBudget(m_acceptTimeout, deadline);
    const bool limited = timeout >= 0;
    const int s = SockAccept(listener.m_socket, limited ? &timeout : nullptr, m_interruptFd);
    if (s < 0) {
        if (m_interrupted)
            return SetStatus(OperationCanceled);
        return SetStatus(limited && timeout == -1 ? TimedOut : AcceptFailed);
    }
    m_socket = s;
    return applyMode();
}

bool CTimedSocket::Close()
{
    std::lock_guard guard(m_operationLock);
    const int s = m_socket;
    if (s == -1)
        return SetStatus(NoError);
    if (m_tls) {
        // The close notification tells the peer that the data ended here and was not cut off.
        if (!m_interrupted)
            m_tls->Shutdown(Clock::now() + TlsCloseLinger);
        m_tls.reset();
    }
    if (SockClose(s) != 0 && errno != EINTR)
        return SetStatus(CloseFailed);
    m_socket = -1;
    return SetStatus(NoError);
}

qint64 CTimedSocket::Read(char* buffer, qint64 size, Clock::time_point deadline)
{
    std::lock_guard guard(m_operationLock);
    if (!IsOpen()) {
        SetStatus(InvalidSocket);
        return -1;
    }
    if (size == 0) {
        SetStatus(NoError);
        return 0;
    }
    int timeout = waitBudget(m_readTimeout, deadline);
    const bool limited = timeout >= 0;
    if (m_tls) {
        qint64 n = 0;
        const CTlsConnection::Result result = m_tls->Read(buffer, size, &n, budgetDeadline(timeout));
        if (result == CTlsConnection::Ok || result == CTlsConnection::Closed) {
            SetStatus(NoError);
            return n;
        }
        tlsStatus(result, ReadFailed);
        return -1;
    }
    const qint64 n = SockRecv(m_socket, buffer, size, limited ? &timeout : nullptr, m_interruptFd);
    if (n >= 0) {
        SetStatus(NoError);
        return n;
    }
    SetStatus(m_interrupted ? OperationCanceled : limited && timeout == -1 ? TimedOut : ReadFailed);
    return -1;
}

qint64 CTimedSocket::Send(const char* data, qint64 length, Clock::time_point deadline)
{
    std::lock_guard guard(m_operationLock);
    if (!IsOpen()) {
        SetStatus(InvalidSocket);
        return -1;
    }
    if (length == 0) {
        SetStatus(NoError);
        return 0;
    }
    int timeout = waitBudget(m_sendTimeout, deadline);
    const bool limited = timeout >= 0;
    if (m_tls) {
        // Under TLS a write that could not finish must be repeated with the same bytes, so there
        // is no "would block" answer: the send waits like a blocking one, within its time-out.
        const CTlsConnection::Result result = m_tls->Write(data, length, budgetDeadline(timeout));
        if (result == CTlsConnection::Ok) {
            SetStatus(NoError);
            return length;
        }
        tlsStatus(result, SendFailed);
        return -1;
    }
    const qint64 n
        = SockSend(m_socket, data, length, limited ? &timeout : nullptr, m_nonBlocking, m_interruptFd);
    if (n == length && n != WouldBlock)
        SetStatus(NoError);
    else if (m_interrupted)
        SetStatus(OperationCanceled);
    else
        SetStatus(limited && timeout == -1 ? TimedOut : SendFailed);
    return n;
}

bool CTimedSocket::SendUrgent(const char* data, qint64 length)
{
    std::lock_guard guard(m_operationLock);
    if (!IsOpen())
        return SetStatus(InvalidSocket);
    // Bytes sent beside TLS would break its stream; the peer gets them in order instead.
    if (m_tls)
        return Send(data, length, DeadlineIn(1)) == length;
    const ssize_t n
        = ::send(m_socket, data, static_cast<size_t>(length), MSG_OOB | MSG_NOSIGNAL | MSG_DONTWAIT);
    return SetStatus(n == length ? NoError : SendFailed);
}

bool CTimedSocket::Wait(int seconds, bool forReading)
{
    std::lock_guard guard(m_operationLock);
    if (!IsOpen())
        return SetStatus(InvalidSocket);
    if (m_tls && forReading) {
        bool readable = false;
        const CTlsConnection::Result result = m_tls->WaitReadable(
            seconds <= 0 ? Clock::now() : Clock::now() + std::chrono::seconds(seconds), &readable);
        if (result != CTlsConnection::Ok) {
            tlsStatus(result, WaitFailed);
            return false;
        }
        SetStatus(NoError);
        return readable;
    }
    const int ready = SockWait(m_socket, seconds, forReading, m_interruptFd);
    if (ready < 0) {
        SetStatus(m_interrupted ? OperationCanceled : WaitFailed);
        return false;
    }
    SetStatus(NoError);
    return ready == 1;
}

bool CTimedSocket::SetNonBlocking(bool flag)
{
    std::lock_guard guard(m_operationLock);
    m_nonBlocking = flag;
    if (!IsOpen())
        return SetStatus(NoError);
    return applyMode();
}

QByteArray CTimedSocket::GetLocalAddress()
{
    std::lock_guard guard(m_operationLock);
    if (!IsOpen()) {
        SetStatus(InvalidSocket);
        return QByteArray();
    }
    QByteArray text = SockLocalAddress(m_socket).left(MaxAddressText);
    SetStatus(text.isEmpty() ? GetInfoFailed : NoError);
    return text;
}

QByteArray CTimedSocket::GetPeerAddress()
{
    std::lock_guard guard(m_operationLock);
    if (!IsOpen()) {
        SetStatus(InvalidSocket);
        return QByteArray();
    }
    QByteArray text = SockPeerAddress(m_socket);
    SetStatus(text.isEmpty() ? GetInfoFailed : NoError);
    return text;
}

int CTimedSocket::GetLocalPort()
{
    std::lock_guard guard(m_operationLock);
    if (!IsOpen()) {
        SetStatus(InvalidSocket);
        return -1;
    }
    const int port = SockLocalPort(m_socket);
    if (port < 0) {
        SetStatus(GetInfoFailed);
        return 0;
    }
    SetStatus(NoError);
    return port;
}

void CTimedSocket::tlsStatus(CTlsConnection::Result result, int failedStatus)
{
    if (m_interrupted || result == CTlsConnection::Canceled) {
        SetStatus(OperationCanceled);
        return;
    }
    if (result == CTlsConnection::TimedOut) {
        SetStatus(TimedOut);
        return;
    }
    {
        std::lock_guard guard(m_statusLock);
        m_tlsError = m_tls ? m_tls->ErrorText() : QString();
    }
    SetStatus(failedStatus);
}

bool CTimedSocket::StartTls(const TlsPolicy& policy, Clock::time_point deadline)
{
    std::lock_guard guard(m_operationLock);
    {
        std::lock_guard statusGuard(m_statusLock);
        m_peer = TlsCertificate();
        m_tlsError.clear();
    }
    if (!IsOpen())
        return SetStatus(InvalidSocket);
    if (m_tls)
        return SetStatus(TlsFailed);
    m_tls = std::make_unique<CTlsConnection>(m_socket, m_interruptFd);
    const int timeout = waitBudget(m_readTimeout, deadline);
    const CTlsConnection::Result result
        = m_tls->Handshake(policy.host, policy.sessions, budgetDeadline(timeout));
    if (result != CTlsConnection::Ok) {
        tlsStatus(result, TlsFailed);
        const int status = GetStatus();
        Close();
        return SetStatus(status);
    }
    const TlsCertificate peer = m_tls->PeerCertificate();
    {
        std::lock_guard statusGuard(m_statusLock);
        m_peer = peer;
    }
    int verdict = NoError;
    if (peer.IsNull())
        verdict = CertificateUntrusted;
    else if (!peer.caValid && peer.fingerprint != policy.pinned && peer.fingerprint != policy.alsoAccepted)
        verdict = policy.pinned.isEmpty() ? CertificateUntrusted : CertificateChanged;
    if (verdict != NoError) {
        // Nothing may reach a server we do not trust, not even the close notification.
        m_tls.reset();
        SockClose(m_socket);
        m_socket = -1;
        return SetStatus(verdict);
    }
    return SetStatus(NoError);
}

TlsCertificate CTimedSocket::PeerCertificate() const
{
    std::lock_guard guard(m_statusLock);
    return m_peer;
}

QString CTimedSocket::TlsErrorText() const
{
    std::lock_guard guard(m_statusLock);
    return m_tlsError;
}

QString CTimedSocket::TlsDescription() const
{
    std::lock_guard guard(m_operationLock);
    return m_tls ? m_tls->Description() : QString();
}
