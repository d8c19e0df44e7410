#pragma once

#include "core/net/CTimedSocket.h"

#include <QByteArray>
#include <QByteArrayView>

#include <atomic>

// One TCP connection of a line-based client (SMTP, POP3, HTTP) on the interruptible socket: every
// wait ends at a deadline or when Cancel is called from another thread, and every failure leaves
// an error code of the kind the mail dialogs show ("Error code: %d").
class CLineConnection
{
public:
    using Clock = CTimedSocket::Clock;

    // The codes a failure leaves. The values are the system's socket error numbers that users
    // of the program know from its messages.
    enum Error : int {
        NoError = 0,
        BadCommand = 22, // a reply other than the one expected
        Canceled = 10004,
        UnknownHost = 10022,
        ReplyTooLong = 10040,
        UnexpectedReply = 10043,
        ConnectionClosed = 10054,
        TimedOut = 10060,
        ConnectFailed = 10061,
        // TLS: the handshake failed, the certificate is unknown or not the pinned one, the server
        // does not offer TLS where it was asked for.
        TlsFailed = 20001,
        CertificateUntrusted = 20002,
        CertificateChanged = 20003,
        TlsNotOffered = 20004,
    };

    CLineConnection() = default;
    CLineConnection(const CLineConnection&) = delete;
    CLineConnection& operator=(const CLineConnection&) = delete;

    // Resolves and connects within `timeoutMs`. A name that does not resolve is UnknownHost.
    bool Open(const QByteArray& host, int port, int timeoutMs);
    void Close();
    bool IsOpen() const { return m_socket.IsOpen(); }

    // The next line without its LF (a CR before the LF is dropped too). Every byte received
    // counts against *budget; a reply that goes past it fails with ReplyTooLong, so a server that
    // sends without end cannot make the client hold more. On failure the unfinished line stays
    // in Unfinished().
    bool ReadLine(Clock::time_point deadline, qsizetype* budget, QByteArray* line);
    // Everything the peer sends until it closes the connection (or, with `expected` 0 or more,
    // until that many bytes came), appended to *out; false when more than `maxBytes` come or the
    // wait fails.
    bool ReadToEnd(Clock::time_point deadline, qsizetype maxBytes, QByteArray* out, qint64 expected = -1);
    bool Send(QByteArrayView bytes, Clock::time_point deadline);

    // TLS from here on, for a server named `host` whose certificate verifies for it or has the
    // fingerprint `pinned`. Bytes the server sent before the handshake are refused: they would
    // pass for protected text.
    bool StartTls(const QByteArray& host, const QByteArray& pinned, Clock::time_point deadline);
    TlsCertificate PeerCertificate() const { return m_socket.PeerCertificate(); }
    // Protocol version and cipher, empty without TLS; OpenSSL's reason for a failed handshake.
    QString TlsDescription() const { return m_socket.TlsDescription(); }
    QString TlsErrorText() const { return m_socket.TlsErrorText(); }

    QByteArray Unfinished() const { return m_buffer; }
    int Error() const { return m_error; }
    bool SetError(int code);

    // Wakes every wait at once, from any thread; from then on every step fails with Canceled.
    void Cancel();
    bool WasCanceled() const { return m_canceled.load(); }

    // The deadline `ms` milliseconds from now.
    static Clock::time_point DeadlineInMs(int ms);

private:
    // The error of a failed socket step, from the socket's status.
    bool failFromSocket();

    CTimedSocket m_socket { false };
    QByteArray m_buffer; // received and not yet taken
    int m_error = NoError;
    std::atomic<bool> m_canceled { false };
};
