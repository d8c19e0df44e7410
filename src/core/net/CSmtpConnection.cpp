#include "core/net/CSmtpConnection.h"

#include "core/net/ProtocolText.h"

#include <QFile>
#include <QSysInfo>

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace {

// Turns the bytes of the message into what goes between DATA and the final point: every lone CR
// or LF becomes CR LF, and a line that begins with a point gets one more in front. Chunks may end
// anywhere, so the state carries over from one to the next.
class DataEncoder
{
public:
    void Encode(const char* data, qint64 length, QByteArray* out)
    {
        out->reserve(out->size() + length + length / 16 + 4);
        for (qint64 i = 0; i < length; ++i)
            put(data[i], out);
    }
    // A CR at the very end still needs its LF.
    void Finish(QByteArray* out)
    {
        if (m_pendingCr) {
            m_pendingCr = false;
            out->append("\r\n");
        }
    }

private:
    void put(char c, QByteArray* out)
    {
        if (m_pendingCr) {
            m_pendingCr = false;
            out->append("\r\n");
            m_lineStart = true;
            if (c == '\n')
                return;
        }
        if (c == '\r') {
            m_pendingCr = true;
            return;
        }
        if (c == '\n') {
            out->append("\r\n");
            m_lineStart = true;
            return;
        }
        if (m_lineStart && c == '.')
            out->append('.');
        m_lineStart = false;
        out->append(c);
    }

    bool m_lineStart = true;
    bool m_pendingCr = false;
};

// A command may not hold what would end it early or cut it.
bool isSafeCommand(const QByteArray& line)
{
    return !line.contains('\r') && !line.contains('\n') && !line.contains('\0');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

CSmtpConnection::~CSmtpConnection()
{
    Disconnect();
}

QByteArray CSmtpConnection::CramMd5Response(
    const QByteArray& user, const QByteArray& password, const QByteArray& challenge)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_md5(), password.constData(), static_cast<int>(password.size()),
        reinterpret_cast<const unsigned char*>(challenge.constData()), static_cast<size_t>(challenge.size()),
        digest, &length);
    const QByteArray hex
        = QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex();
    return (user + ' ' + hex).toBase64();
}

QByteArray CSmtpConnection::PlainResponse(const QByteArray& user, const QByteArray& password)
{
    return (QByteArray(1, '\0') + user + QByteArray(1, '\0') + password).toBase64();
}

QString CSmtpConnection::LastResponse() const
{
    return QString::fromUtf8(ProtocolText::Printable(m_lastResponse));
}

void CSmtpConnection::log(const QByteArray& line, bool fromServer) const
{
    if (m_log)
        m_log(line, fromServer);
}

bool CSmtpConnection::readReply(int expected)
{
    // One deadline and one byte budget for the whole reply, however it trickles in.
    const auto deadline = CLineConnection::DeadlineInMs(m_timeoutMs);
    qsizetype budget = MaxReplyBytes;
    QList<QByteArray> lines;
    m_replyCode = 0;
    m_finalLine.clear();
    for (;;) {
        QByteArray line;
        if (!m_connection.ReadLine(deadline, &budget, &line)) {
            // What came so far is what the server said last.
            QByteArray unfinished = m_connection.Unfinished();
            if (unfinished.endsWith('\r'))
                unfinished.chop(1);
            if (!unfinished.isEmpty())
                lines.append(unfinished);
            if (!lines.isEmpty())
                m_lastResponse = lines.join('\n').left(MaxResponseBytes);
            return false;
        }
        log(line, true);
        lines.append(line);
        // "250-..." continues the reply; any other line ends it, so a server that sends no code
        // at all is answered at once instead of after the time-out.
        const bool continued
            = line.size() >= 4 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]) && line[3] == '-';
        if (!continued) {
            m_finalLine = line;
            break;
        }
    }
    m_lastResponse = lines.join('\n').left(MaxResponseBytes);
    const bool hasCode = m_finalLine.size() >= 3 && isDigit(m_finalLine[0]) && isDigit(m_finalLine[1])
        && isDigit(m_finalLine[2]) && (m_finalLine.size() == 3 || m_finalLine[3] == ' ');
    m_replyCode = hasCode ? m_finalLine.left(3).toInt() : -1;
    if (m_replyCode != expected)
        return m_connection.SetError(CLineConnection::UnexpectedReply);
    return true;
}

bool CSmtpConnection::send(const QByteArray& line, const QByteArray& shown)
{
    if (!isSafeCommand(line))
        return m_connection.SetError(CLineConnection::BadCommand);
    log(shown.isEmpty() ? line : shown, false);
    return m_connection.Send(line + "\r\n", CLineConnection::DeadlineInMs(m_timeoutMs));
}

bool CSmtpConnection::command(const QByteArray& line, int expected, const QByteArray& shown)
{
    if (!send(line, shown))
        return false;
    if (readReply(expected))
        return true;
    // A reply other than the expected one is a refused command.
    if (m_connection.Error() == CLineConnection::UnexpectedReply)
        m_connection.SetError(CLineConnection::BadCommand);
    return false;
}

bool CSmtpConnection::Connect(
    const QByteArray& host, int method, const QByteArray& user, const QByteArray& password, int port)
{
    Disconnect();
    m_lastResponse.clear();
    m_messageEnded = false;
    if (!m_connection.Open(host, port, m_timeoutMs))
        return false;
    if (m_tlsMode == ImplicitTls
        && !m_connection.StartTls(host, m_pinned, CLineConnection::DeadlineInMs(m_timeoutMs)))
        return false;
    if (!readReply(220)) {
        if (m_connection.Error() == CLineConnection::UnexpectedReply)
            m_connection.SetError(CLineConnection::BadCommand);
        // A server that greets with anything but 220 will not take a QUIT either.
        m_connection.Close();
        return false;
    }
    m_connected = true;
    QByteArray hello = m_helloName;
    if (hello == "auto") {
        hello = QSysInfo::machineHostName().toUtf8();
        if (hello.isEmpty())
            hello = "localhost";
    }
    // With STARTTLS nothing but EHLO goes out before the handshake: no login, no message.
    if (m_tlsMode == StartTls && !(command("EHLO " + hello, 250) && startTls(host)))
        return false;
    if (method == NoAuth)
        return command((m_tlsMode == NoTls ? "HELO " : "EHLO ") + hello, 250);
    return command("EHLO " + hello, 250) && login(method, user, password);
}

bool CSmtpConnection::startTls(const QByteArray& host)
{
    if (!send("STARTTLS"))
        return false;
    if (!readReply(220)) {
        if (m_connection.Error() == CLineConnection::UnexpectedReply)
            m_connection.SetError(CLineConnection::TlsNotOffered);
        return false;
    }
    return m_connection.StartTls(host, m_pinned, CLineConnection::DeadlineInMs(m_timeoutMs));
}

bool CSmtpConnection::login(int method, const QByteArray& user, const QByteArray& password)
{
    switch (method) {
    case AuthLogin:
        // The prompts differ between servers ("Username:", "User Name\0"); the order does not.
        return command("AUTH LOGIN", 334) && command(user.toBase64(), 334, "****")
            && command(password.toBase64(), 235, "****");
    case LoginPlain:
        return command("AUTH PLAIN " + PlainResponse(user, password), 235, "AUTH PLAIN ****");
    case CramMd5: {
        if (!command("AUTH CRAM-MD5", 334))
            return false;
        const auto decoded = QByteArray::fromBase64Encoding(
            m_finalLine.mid(4).trimmed(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return m_connection.SetError(CLineConnection::UnexpectedReply);
        return command(CramMd5Response(user, password, *decoded), 235, "****");
    }
    default:
        return true;
    }
}

bool CSmtpConnection::SendMessageFile(const QString& path, const QByteArray& sender,
    const QList<QByteArray>& recipients, qint64 chunkSize, const Progress& progress)
{
    m_messageEnded = false;
    if (!m_connected)
        return m_connection.SetError(CLineConnection::ConnectionClosed);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastResponse
            = "The message file " + path.toUtf8() + " could not be read: " + file.errorString().toUtf8();
        return m_connection.SetError(CLineConnection::BadCommand);
    }
    if (!command("MAIL FROM:<" + sender + '>', 250))
        return false;
    for (const QByteArray& recipient : recipients) {
        if (!command("RCPT TO:<" + recipient + '>', 250))
            return false;
    }
    if (!command("DATA", 354))
        return false;
    const qint64 total = file.size();
    qint64 done = 0;
    DataEncoder encoder;
    QByteArray chunk(std::max<qint64>(chunkSize, 1), Qt::Uninitialized);
    QByteArray out;
    for (;;) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n < 0) {
            m_lastResponse
                = "The message file " + path.toUtf8() + " could not be read: " + file.errorString().toUtf8();
            return m_connection.SetError(CLineConnection::BadCommand);
        }
        out.clear();
        if (n == 0)
            encoder.Finish(&out);
        else
            encoder.Encode(chunk.constData(), n, &out);
        if (!m_connection.Send(out, CLineConnection::DeadlineInMs(m_timeoutMs)))
            return false;
        if (n == 0)
            break;
        done += n;
        if (progress && !progress(done, total))
            return m_connection.SetError(CLineConnection::Canceled);
    }
    log("(message: " + QByteArray::number(total) + " bytes)", false);
    log(".", false);
    if (!m_connection.Send("\r\n.\r\n", CLineConnection::DeadlineInMs(m_timeoutMs)))
        return false;
    m_messageEnded = true;
    if (readReply(250))
        return true;
    if (m_connection.Error() == CLineConnection::UnexpectedReply)
        m_connection.SetError(CLineConnection::BadCommand);
    return false;
}

bool CSmtpConnection::Disconnect()
{
    bool ok = false;
    if (m_connected && m_connection.IsOpen() && !m_connection.WasCanceled()) {
        const int timeout = m_timeoutMs;
        m_timeoutMs = std::min(timeout, QuitTimeoutMs);
        ok = send("QUIT") && readReply(221);
        m_timeoutMs = timeout;
    }
    m_connected = false;
    m_connection.Close();
    return ok;
}
