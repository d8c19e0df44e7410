#include "core/net/CLineConnection.h"

#include <cstring>

namespace {

constexpr qint64 BlockSize = 4096;

} // namespace

CLineConnection::Clock::time_point CLineConnection::DeadlineInMs(int ms)
{
    return Clock::now() + std::chrono::milliseconds(std::max(0, ms));
}

bool CLineConnection::SetError(int code)
{
    m_error = code;
    return code == NoError;
}

bool CLineConnection::failFromSocket()
{
    if (m_canceled.load())
        return SetError(Canceled);
    switch (m_socket.GetStatus()) {
    case CTimedSocket::TimedOut:
        return SetError(TimedOut);
    case CTimedSocket::OperationCanceled:
        return SetError(Canceled);
    case CTimedSocket::TlsFailed:
        return SetError(TlsFailed);
    case CTimedSocket::CertificateUntrusted:
        return SetError(CertificateUntrusted);
    case CTimedSocket::CertificateChanged:
        return SetError(CertificateChanged);
    default:
        return SetError(ConnectionClosed);
    }
}

bool CLineConnection::Open(const QByteArray& host, int port, int timeoutMs)
{
    m_buffer.clear();
    if (m_canceled.load())
        return SetError(Canceled);
    if (SockHelpers::SockResolve(host) == SockHelpers::InvalidAddress)
        return SetError(UnknownHost);
    // The socket counts whole seconds; a part of one still waits.
    m_socket.m_connectTimeout = std::max(1, (timeoutMs + 999) / 1000);
    if (m_socket.Connect(host, port))
        return SetError(NoError);
    if (m_socket.GetStatus() == CTimedSocket::ConnectFailed)
        return SetError(ConnectFailed);
    return failFromSocket();
}

void CLineConnection::Close()
{
    m_socket.Close();
    m_buffer.clear();
}

void CLineConnection::Cancel()
{
    m_canceled = true;
    m_socket.Interrupt();
}

bool CLineConnection::ReadLine(Clock::time_point deadline, qsizetype* budget, QByteArray* line)
{
    qsizetype searched = 0;
    for (;;) {
        const char* start = m_buffer.constData();
        const void* found
            = std::memchr(start + searched, '\n', static_cast<size_t>(m_buffer.size() - searched));
        if (found) {
            const qsizetype end = static_cast<const char*>(found) - start;
            *line = m_buffer.left(end > 0 && m_buffer[end - 1] == '\r' ? end - 1 : end);
            m_buffer.remove(0, end + 1);
            return SetError(NoError);
        }
        searched = m_buffer.size();
        if (!IsOpen())
            return SetError(ConnectionClosed);
        char block[BlockSize];
        const qint64 n = m_socket.Read(
            block, std::min<qint64>(BlockSize, std::max<qsizetype>(*budget, 0) + 1), deadline);
        if (n < 0)
            return failFromSocket();
        if (n == 0)
            return SetError(ConnectionClosed);
        *budget -= n;
        m_buffer.append(block, n);
        if (*budget < 0)
            return SetError(ReplyTooLong);
    }
}

bool CLineConnection::ReadToEnd(
    Clock::time_point deadline, qsizetype maxBytes, QByteArray* out, qint64 expected)
{
    const qsizetype start = out->size();
    out->append(m_buffer);
    m_buffer.clear();
    if (out->size() - start > maxBytes)
        return SetError(ReplyTooLong);
    char block[BlockSize];
    for (;;) {
        if (expected >= 0 && out->size() - start >= expected)
            return SetError(NoError);
        const qint64 n = m_socket.Read(block, BlockSize, deadline);
        if (n < 0)
            return failFromSocket();
        if (n == 0)
            return SetError(NoError);
        out->append(block, n);
        if (out->size() - start > maxBytes)
            return SetError(ReplyTooLong);
    }
}

bool CLineConnection::Send(QByteArrayView bytes, Clock::time_point deadline)
{
    if (!IsOpen())
        return SetError(ConnectionClosed);
    const qint64 sent = m_socket.Send(bytes.data(), bytes.size(), deadline);
    if (sent == bytes.size())
        return SetError(NoError);
    return failFromSocket();
}

bool CLineConnection::StartTls(const QByteArray& host, const QByteArray& pinned, Clock::time_point deadline)
{
    if (!IsOpen())
        return SetError(ConnectionClosed);
    if (!m_buffer.isEmpty()) {
        Close();
        return SetError(TlsFailed);
    }
    CTimedSocket::TlsPolicy policy;
    policy.host = host;
    policy.pinned = pinned;
    if (m_socket.StartTls(policy, deadline))
        return SetError(NoError);
    return failFromSocket(); // the socket closed itself
}
