#include "core/net/CTlsConnection.h"

#include "core/net/CTimedSocket.h"

#include <QDateTime>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>

namespace {

QString nameText(const X509_NAME* name)
{
    BIO* bio = BIO_new(BIO_s_mem());
    if (!bio)
        return QString();
    X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    const QString text = QString::fromUtf8(data, length);
    BIO_free(bio);
    return text;
}

QString timeText(const ASN1_TIME* time)
{
    std::tm parts {};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1)
        return QString();
    const QDateTime at(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
        QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" UTC");
}

// The newest entry of OpenSSL's error queue as text, and the queue emptied.
QString takeErrorQueue()
{
    unsigned long last = 0;
    while (const unsigned long code = ERR_get_error())
        last = code;
    if (last == 0)
        return QString();
    char text[256] = {};
    ERR_error_string_n(last, text, sizeof text);
    return QString::fromLatin1(text);
}

bool isAddress(const QByteArray& host)
{
    in_addr v4 {};
    in6_addr v6 {};
    return ::inet_pton(AF_INET, host.constData(), &v4) == 1
        || ::inet_pton(AF_INET6, host.constData(), &v6) == 1;
}

} // namespace

void CTlsSessionPool::Add(Session session)
{
    std::lock_guard guard(m_lock);
    m_sessions.push_back(std::move(session));
}

CTlsSessionPool::Session CTlsSessionPool::Take()
{
    std::lock_guard guard(m_lock);
    if (m_sessions.empty())
        return nullptr;
    Session session = m_sessions.back();
    if (SSL_SESSION_get_protocol_version(session.get()) >= TLS1_3_VERSION)
        m_sessions.pop_back();
    return session;
}

int CTlsConnection::newSession(SSL* ssl, ssl_session_st* session)
{
    auto* connection = static_cast<CTlsConnection*>(SSL_get_app_data(ssl));
    if (!connection || !connection->m_sessions)
        return 0;
    connection->m_sessions->Add(CTlsSessionPool::Session(session, SSL_SESSION_free));
    return 1; // the pool owns it now
}

CTlsConnection::CTlsConnection(int socket, int interruptFd)
    : m_socket(socket)
    , m_interruptFd(interruptFd)
{
}

CTlsConnection::~CTlsConnection()
{
    if (m_ssl)
        SSL_free(m_ssl);
    if (m_context)
        SSL_CTX_free(m_context);
}

CTlsConnection::Result CTlsConnection::fail(int sslError)
{
    m_broken = true;
    QString queued = takeErrorQueue();
    if (!queued.isEmpty())
        m_errorText = queued;
    else if (sslError == SSL_ERROR_SYSCALL && errno != 0)
        m_errorText = QString::fromLocal8Bit(std::strerror(errno));
    else
        m_errorText = QStringLiteral("the connection was closed in the middle of the secure session");
    return Failed;
}

template <typename Step> CTlsConnection::Result CTlsConnection::drive(Step step, Clock::time_point deadline)
{
    if (m_broken)
        return Failed;
    for (;;) {
        ERR_clear_error();
        errno = 0;
        const int rc = step();
        if (rc > 0)
            return Ok;
        const int error = SSL_get_error(m_ssl, rc);
        bool forReading = true;
        switch (error) {
        case SSL_ERROR_WANT_READ:
            break;
        case SSL_ERROR_WANT_WRITE:
            forReading = false;
            break;
        case SSL_ERROR_ZERO_RETURN:
            return Closed;
        default:
            return fail(error);
        }
        const int ready = SockHelpers::SockPoll(m_socket, forReading, deadline, m_interruptFd);
        if (ready == 0)
            return TimedOut;
        if (ready < 0) {
            // Whatever OpenSSL was in the middle of cannot be resumed cleanly after this.
            m_broken = true;
            if (errno == ECANCELED)
                return Canceled;
            m_errorText = QString::fromLocal8Bit(std::strerror(errno));
            return Failed;
        }
    }
}

CTlsConnection::Result CTlsConnection::Handshake(
    const QByteArray& host, const std::shared_ptr<CTlsSessionPool>& sessions, Clock::time_point deadline)
{
    m_sessions = sessions;
    m_context = SSL_CTX_new(TLS_client_method());
    if (!m_context) {
        m_errorText = takeErrorQueue();
        return Failed;
    }
    SSL_CTX_set_min_proto_version(m_context, TLS1_2_VERSION);
    // Verification is judged after the handshake (CA store, then the identity's pin), so that an
    // unknown certificate can be shown to the user rather than only refused. SSL_CERT_FILE and
    // SSL_CERT_DIR name another store.
    SSL_CTX_set_verify(m_context, SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_default_verify_paths(m_context);
    SSL_CTX_set_mode(m_context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    SSL_CTX_set_session_cache_mode(m_context, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(m_context, &CTlsConnection::newSession);
    m_ssl = SSL_new(m_context);
    if (!m_ssl || SockHelpers::SockSetNonBlocking(m_socket, true) != 0 || SSL_set_fd(m_ssl, m_socket) != 1) {
        m_errorText = takeErrorQueue();
        m_broken = true;
        return Failed;
    }
    if (isAddress(host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), host.constData());
    } else {
        // SSL_set_tlsext_host_name without its C cast: the name the server picks its certificate by.
        SSL_ctrl(m_ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
            const_cast<char*>(host.constData()));
        SSL_set1_host(m_ssl, host.constData());
    }
    SSL_set_app_data(m_ssl, this);
    if (m_sessions) {
        if (const CTlsSessionPool::Session resume = m_sessions->Take())
            SSL_set_session(m_ssl, resume.get());
    }
    const Result result = drive([this] { return SSL_connect(m_ssl); }, deadline);
    if (result == Closed) {
        m_broken = true;
        m_errorText = QStringLiteral("the server closed the connection during the TLS handshake");
        return Failed;
    }
    if (result == Ok)
        readPeerCertificate();
    return result;
}

void CTlsConnection::readPeerCertificate()
{
    m_peer = TlsCertificate();
    X509* certificate = SSL_get1_peer_certificate(m_ssl);
    if (!certificate)
        return;
    m_peer.subject = nameText(X509_get_subject_name(certificate));
    m_peer.issuer = nameText(X509_get_issuer_name(certificate));
    m_peer.notBefore = timeText(X509_get0_notBefore(certificate));
    m_peer.notAfter = timeText(X509_get0_notAfter(certificate));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha256(), digest, &length) == 1)
        m_peer.fingerprint = QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex();
    X509_free(certificate);
    const long verified = SSL_get_verify_result(m_ssl);
    m_peer.caValid = verified == X509_V_OK;
    if (!m_peer.caValid)
        m_peer.verifyError = QString::fromLatin1(X509_verify_cert_error_string(verified));
}

CTlsConnection::Result CTlsConnection::Read(
    char* buffer, qint64 size, qint64* got, Clock::time_point deadline)
{
    size_t n = 0;
    const Result result
        = drive([&] { return SSL_read_ex(m_ssl, buffer, static_cast<size_t>(size), &n); }, deadline);
    *got = result == Ok ? qint64(n) : 0;
    return result;
}

CTlsConnection::Result CTlsConnection::Write(const char* data, qint64 length, Clock::time_point deadline)
{
    qint64 sent = 0;
    while (sent < length) {
        size_t n = 0;
        const Result result
            = drive([&] { return SSL_write_ex(m_ssl, data + sent, static_cast<size_t>(length - sent), &n); },
                deadline);
        if (result == Closed)
            return fail(SSL_ERROR_ZERO_RETURN);
        if (result != Ok)
            return result;
        sent += qint64(n);
    }
    return Ok;
}

CTlsConnection::Result CTlsConnection::WaitReadable(Clock::time_point deadline, bool* readable)
{
    *readable = true;
    if (m_broken || SSL_pending(m_ssl) > 0)
        return Ok;
    for (;;) {
        const int ready = SockHelpers::SockPoll(m_socket, true, deadline, m_interruptFd);
        if (ready == 0) {
            *readable = false;
            return Ok;
        }
        if (ready < 0)
            return errno == ECANCELED ? Canceled : Failed;
        // Bytes on the socket may be a record without application data: peek to find out.
        char byte = 0;
        size_t n = 0;
        ERR_clear_error();
        const int rc = SSL_peek_ex(m_ssl, &byte, 1, &n);
        if (rc > 0 || SSL_get_error(m_ssl, rc) != SSL_ERROR_WANT_READ) {
            // A failure is left in OpenSSL for the Read that follows.
            ERR_clear_error();
            return Ok;
        }
        if (Clock::now() >= deadline) {
            *readable = false;
            return Ok;
        }
    }
}

void CTlsConnection::Shutdown(Clock::time_point deadline)
{
    if (m_ssl && !m_broken && SSL_is_init_finished(m_ssl)) {
        // Tickets come right after the handshake; a peer still sending data (an aborted download)
        // is not read to its end.
        char scratch[4096];
        size_t n = 0;
        ERR_clear_error();
        for (int reads = 0; reads < 16 && SSL_read_ex(m_ssl, scratch, sizeof scratch, &n) == 1; ++reads) { }
        ERR_clear_error();
        SSL_shutdown(m_ssl);
        ERR_clear_error();
        // The peer answers the close notification with its own. Closing before that arrives would
        // answer it with a reset, and a server may count the upload it just took as failed: so the
        // close waits, until the deadline, for the peer to close its side.
        ::shutdown(m_socket, SHUT_WR);
        while (SockHelpers::SockPoll(m_socket, true, deadline, m_interruptFd) == 1
            && ::recv(m_socket, scratch, sizeof scratch, MSG_DONTWAIT) > 0) { }
    }
    m_broken = true;
}

QString CTlsConnection::Description() const
{
    if (!m_ssl)
        return QString();
    return QStringLiteral("%1, %2").arg(
        QString::fromLatin1(SSL_get_version(m_ssl)), QString::fromLatin1(SSL_get_cipher_name(m_ssl)));
}
