#include "core/net/CFtpSession.h"

#include "core/net/ProtocolText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Data moves in blocks of this size; small blocks cost a system call each and slow loopback
// transfers of large files several times over.
constexpr qint64 ChunkSize = 64 * 1024;
// A data send the socket could not take at all is tried again after this pause.
constexpr std::chrono::milliseconds WouldBlockRetry(5);
// How much longer than the read time-out Quit waits for a running transfer to stop.
constexpr int TransferStopExtraSeconds = 5;
// A downloaded file that replaces none gets this mode.
constexpr mode_t NewFileMode = 0644;
// The Telnet interrupt that goes before ABOR: IAC IP as normal data, then IAC DM as urgent data.
constexpr char TelnetInterrupt[2] = { char(255), char(244) };
constexpr char TelnetDataMark[2] = { char(255), char(242) };
bool writeAll(int fd, const char* data, qint64 length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(length));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        data += n;
        length -= n;
    }
    return true;
}

QByteArray buildCommand(const QByteArray& verb, const QByteArray& argument, bool quote)
{
    QByteArray line = verb;
    if (!argument.isEmpty()) {
        line += ' ';
        const bool quoted = quote && !argument.startsWith('"') && argument.contains(' ');
        if (quoted)
            line += '"';
        line += argument;
        if (quoted)
            line += '"';
    }
    return line;
}

// Text line ends for both directions: host text arrives with CR LF and local copies keep LF only;
// text for the host keeps LF too. A CR right before LF is dropped and every other byte is kept.
// Blocks may split a CR LF pair, so a CR at the end of a block waits for the next one.
class LineEndFilter
{
public:
    // The block without its CR LF pairs; an empty block marks the end and releases a waiting CR.
    const QByteArray& Convert(const char* data, qint64 length)
    {
        m_out.resize(0);
        m_out.reserve(length + 1);
        for (qint64 i = 0; i < length; ++i) {
            const char c = data[i];
            if (m_pendingCr) {
                m_pendingCr = false;
                if (c != '\n')
                    m_out += '\r';
            }
            if (c == '\r')
                m_pendingCr = true;
            else
                m_out += c;
        }
        if (length == 0 && m_pendingCr) {
            m_out += '\r';
            m_pendingCr = false;
        }
        return m_out;
    }

private:
    QByteArray m_out;
    bool m_pendingCr = false;
};

} // namespace

CFtpSession::CFtpSession(bool nonBlocking)
    : CTimedSocket(nonBlocking)
{
}

CFtpSession::~CFtpSession()
{
    Quit();
    if (m_transferThread.joinable()) {
        InterruptAll();
        m_transferThread.join();
    }
    discardLocalFile();
}

QString CFtpSession::SessionStatusText(int status)
{
    switch (status) {
    case LoginFailed:
        return QStringLiteral("Login failed");
    case RemoteFileCommandFailed:
        return QStringLiteral("Remote file command failed");
    case ThreadCreationFailed:
        return QStringLiteral("Thread creation failed");
    case LocalFileOpenFailed:
        return QStringLiteral("Local file open failed");
    case LocalFileCreateFailed:
        return QStringLiteral("Local file create failed");
    case LocalFileReadFailed:
        return QStringLiteral("Local file read failed");
    case LocalFileWriteFailed:
        return QStringLiteral("Local file write failed");
    case DataConnectionFailed:
        return QStringLiteral("Data connection failed");
    case DataReadFailed:
        return QStringLiteral("Data read failed");
    case DataSendFailed:
        return QStringLiteral("Data send failed");
    case DataTransferFailed:
        return QStringLiteral("Data transfer failed");
    case ConnectionBusy:
        return QStringLiteral("Connection is busy");
    case EventCreationFailed:
        return QStringLiteral("Event creation failed");
    case InvalidCommandText:
        return QStringLiteral("Invalid command text");
    case TlsNotOffered:
        return QStringLiteral("The server does not offer a secure connection (TLS)");
    default:
        return SocketStatusText(status);
    }
}

QString CFtpSession::StatusText() const
{
    const int status = GetStatus();
    if ((status == TlsFailed || status == DataConnectionFailed || status == DataReadFailed
            || status == DataSendFailed)
        && !m_tlsFailure.isEmpty())
        return SessionStatusText(status) + QStringLiteral(": ") + m_tlsFailure;
    return SessionStatusText(status);
}

void CFtpSession::SetTimeouts(int seconds)
{
    m_connectTimeout = m_acceptTimeout = m_readTimeout = m_sendTimeout = seconds;
}

void CFtpSession::SetTls(int mode, const QByteArray& pinned)
{
    m_tlsMode = mode;
    m_pinned = pinned;
}

bool CFtpSession::startControlTls()
{
    TlsPolicy policy;
    policy.host = m_host;
    policy.pinned = m_pinned;
    m_tlsSessions = std::make_shared<CTlsSessionPool>();
    policy.sessions = m_tlsSessions;
    if (!StartTls(policy)) {
        m_tlsFailure = TlsErrorText();
        return false;
    }
    log("Secure connection: " + TlsDescription().toUtf8());
    return true;
}

bool CFtpSession::startDataTls()
{
    TlsPolicy policy;
    policy.host = m_host;
    policy.pinned = m_pinned;
    policy.alsoAccepted = PeerCertificate().fingerprint;
    policy.sessions = m_tlsSessions;
    if (m_data.StartTls(policy))
        return true;
    const int status = m_data.GetStatus();
    m_tlsFailure = status == CertificateChanged || status == CertificateUntrusted ? SocketStatusText(status)
                                                                                  : m_data.TlsErrorText();
    if (!m_tlsFailure.isEmpty())
        log("Secure data connection failed: " + m_tlsFailure.toUtf8());
    // The server tells its side on the control connection; its reply is what the user sees.
    if (status != OperationCanceled)
        readReply(cleanupDeadline());
    return failKeeping(status == OperationCanceled ? int(OperationCanceled) : int(DataConnectionFailed));
}

bool CFtpSession::IsTransferring() const
{
    return m_transferThreadId.load() != std::thread::id();
}

bool CFtpSession::busy()
{
    const std::thread::id id = m_transferThreadId.load();
    if (id != std::thread::id() && id != std::this_thread::get_id()) {
        SetStatus(ConnectionBusy);
        return true;
    }
    return false;
}

void CFtpSession::log(const QByteArray& line)
{
    if (m_callbacks.log)
        m_callbacks.log(line);
}

QByteArray CFtpSession::LastReplyLine() const
{
    std::lock_guard guard(m_replyLock);
    return m_replyLine;
}

QList<QByteArray> CFtpSession::TakeListLines()
{
    QList<QByteArray> lines;
    lines.swap(m_listLines);
    return lines;
}

bool CFtpSession::failKeeping(int status)
{
    SetStatus(status);
    return false;
}

bool CFtpSession::closeKeepingStatus()
{
    const int status = GetStatus();
    Close();
    SetStatus(status);
    return false;
}

QByteArray CFtpSession::ParseReplyCode(const QByteArray& replyLine)
{
    QByteArray line = replyLine;
    line.replace('\r', QByteArray()).replace('\n', QByteArray());
    if (line.size() >= 4 && line[0] >= '1' && line[0] <= '5' && line[3] == ' ')
        return line.left(4);
    return QByteArray();
}

void CFtpSession::processReplyLine(const QByteArray& raw)
{
    QByteArray line = raw;
    line.replace('\r', QByteArray()).replace('\n', QByteArray());
    const QByteArray code = ParseReplyCode(line);
    if (!code.isEmpty()) {
        m_replyCode = code;
        if (code[0] == '1')
            m_preliminarySeen = true;
    }
    {
        std::lock_guard guard(m_replyLock);
        m_replyLine = line;
    }
    log(line);
}

bool CFtpSession::ReadReply()
{
    return readReply(DeadlineIn(m_readTimeout));
}

bool CFtpSession::readReply(Clock::time_point deadline)
{
    // The reply line keeps the host's last line until a new one arrives, so that a connection
    // that drops still names what the host said last.
    m_preliminarySeen = false;
    m_replyCode.clear();
    char buffer[ReplyBlockSize];
    QByteArray partial;
    QList<QByteArray> lines;
    qint64 total = 0;
    for (;;) {
        // One deadline for the whole reply: a server that trickles or never stops sending cannot
        // make a reply last longer than one time-out, nor make it bigger than the cap.
        const qint64 n = Read(buffer, sizeof buffer, deadline);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        total += n;
        lines.clear();
        ProtocolText::SplitLines(QByteArrayView(buffer, n), &partial, MaxReplyLine, &lines);
        for (const QByteArray& line : lines)
            processReplyLine(line);
        if (total > MaxReplyBytes)
            return failKeeping(ReadFailed);
        if (!m_replyCode.isEmpty()) {
            const bool more = Wait(0, true);
            if (GetStatus() != 0)
                return false;
            if (!more)
                return true;
        }
    }
}

bool CFtpSession::ReplyIs(const char* prefix) const
{
    const QByteArray wanted(prefix);
    if (wanted.startsWith('1') && m_preliminarySeen)
        return true;
    if (m_replyCode.isEmpty() || wanted.isEmpty())
        return false;
    return m_replyCode.startsWith(wanted.left(3));
}

CFtpSession::Clock::time_point CFtpSession::cleanupDeadline() const
{
    const int seconds
        = m_readTimeout > 0 ? std::min(m_readTimeout, CleanupGraceSeconds) : CleanupGraceSeconds;
    return DeadlineIn(seconds);
}

bool CFtpSession::SendCommand(const QByteArray& text, bool waitForReply)
{
    return sendCommand(text, waitForReply, NoDeadline);
}

bool CFtpSession::sendCommand(const QByteArray& text, bool waitForReply, Clock::time_point deadline)
{
    if (busy())
        return false;
    // A cut command would run a different command than asked.
    if (!ProtocolText::IsCommandText(text, MaxCommandLength))
        return failKeeping(InvalidCommandText);
    // What is already waiting is read briefly: it must not hold up the command.
    if (Wait(0, true))
        readReply(std::min(deadline, cleanupDeadline()));
    else if (GetStatus() != 0)
        return false;
    const QByteArray line = text + "\r\n";
    if (text.left(5).toUpper() == "PASS ")
        log(text.left(5) + QByteArray(text.size() - 5, '*'));
    else if (!text.isEmpty())
        log(text);
    const qint64 sent = Send(line.constData(), line.size(), deadline);
    if (sent == line.size())
        return waitForReply ? readReply(deadline != NoDeadline ? deadline : DeadlineIn(m_readTimeout)) : true;
    if (sent < 0)
        return false;
    return failKeeping(SendFailed);
}

bool CFtpSession::Login(const QByteArray& host, const QByteArray& user, const QByteArray& password, int port)
{
    if (busy())
        return false;
    m_replyCode.clear();
    {
        std::lock_guard guard(m_replyLock);
        m_replyLine.clear();
    }
    m_binary = false;
    m_host = host;
    m_tlsFailure.clear();
    if (!Connect(host, port))
        return false;
    if (m_tlsMode == ImplicitTls && !startControlTls())
        return false;
    if (!ReadReply())
        return closeKeepingStatus();
    if (!ReplyIs("2")) {
        Close();
        return failKeeping(LoginFailed);
    }
    // Asked for TLS, the session never goes on in plain text: not for the password, not for data.
    if (m_tlsMode == ExplicitTls) {
        if (!SendCommand("AUTH TLS", true))
            return closeKeepingStatus();
        if (!ReplyIs("234")) {
            Close();
            return failKeeping(TlsNotOffered);
        }
        if (!startControlTls())
            return false;
    }
    if (!SendCommand("USER " + user, true))
        return closeKeepingStatus();
    if (ReplyIs("331") && !SendCommand("PASS " + password, true))
        return closeKeepingStatus();
    if (!ReplyIs("2")) {
        Close();
        return failKeeping(LoginFailed);
    }
    if (m_tlsMode != NoTls) {
        for (const char* command : { "PBSZ 0", "PROT P" }) {
            if (!SendCommand(command, true))
                return closeKeepingStatus();
            if (!ReplyIs("2")) {
                Close();
                return failKeeping(TlsNotOffered);
            }
        }
    }
    return SetStatus(NoError);
}

bool CFtpSession::SetType(bool binary)
{
    if (busy())
        return false;
    if (binary == m_binary)
        return SetStatus(NoError);
    if (!SendCommand(binary ? "TYPE I" : "TYPE A", true))
        return false;
    m_binary = binary;
    return SetStatus(NoError);
}

qint64 CFtpSession::ParseExpectedSize(const QByteArray& replyLine)
{
    const QByteArray text = replyLine.mid(4).toLower();
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf('(', from);
        if (open < 0)
            return 0;
        qsizetype i = open + 1;
        qint64 value = 0;
        bool digits = false;
        bool overflow = false;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (value > (std::numeric_limits<qint64>::max() - 9) / 10)
                overflow = true;
            else
                value = value * 10 + (text[i] - '0');
            digits = true;
            ++i;
        }
        if (digits && text.mid(i, 7) == " bytes)")
            return overflow ? 0 : value;
        from = open + 1;
    }
}

bool CFtpSession::ParsePasvReply(const QByteArray& replyLine, QByteArray* address, int* port)
{
    const qsizetype open = replyLine.indexOf('(');
    if (open < 0)
        return false;
    const QByteArray rest = replyLine.mid(open + 1);
    const QList<QByteArray> parts = rest.split(',');
    if (parts.size() != 6)
        return false;
    const qsizetype close = parts[5].indexOf(')');
    if (close < 0)
        return false;
    int numbers[6];
    for (int i = 0; i < 6; ++i) {
        const QByteArray text = i == 5 ? parts[5].left(close) : parts[i];
        if (text.isEmpty() || text.size() > 3)
            return false;
        for (char c : text) {
            if (c < '0' || c > '9')
                return false;
        }
        numbers[i] = text.toInt();
        if (numbers[i] > 255)
            return false;
    }
    *address = QByteArray::number(numbers[0]) + '.' + QByteArray::number(numbers[1]) + '.'
        + QByteArray::number(numbers[2]) + '.' + QByteArray::number(numbers[3]);
    *port = numbers[4] * 256 + numbers[5];
    return *port > 0;
}

bool CFtpSession::openDataConnection(
    const QByteArray& verb, const QByteArray& argument, bool quote, bool passive)
{
    if (busy())
        return false;
    if (!m_listener.Close() || !m_data.Close())
        return failKeeping(DataConnectionFailed);
    m_bytesMoved = 0;
    m_abort = false;
    m_savedStatus = 0;
    m_tlsFailure.clear();
    m_data.SetNonBlocking(IsNonBlocking());
    m_data.m_connectTimeout = m_connectTimeout;
    m_data.m_acceptTimeout = m_acceptTimeout;
    m_data.m_readTimeout = m_readTimeout;
    m_data.m_sendTimeout = m_sendTimeout;
    m_listener.m_acceptTimeout = m_acceptTimeout;
    // Checked before PASV or PORT, so that a refused command leaves no data connection behind.
    const QByteArray command = buildCommand(verb, argument, quote);
    if (!ProtocolText::IsCommandText(command, MaxCommandLength))
        return failKeeping(InvalidCommandText);

    auto dataFailed = [this] {
        return failKeeping(
            GetStatus() == OperationCanceled ? int(OperationCanceled) : int(DataConnectionFailed));
    };
    if (passive) {
        if (!SendCommand("PASV", true) || !ReplyIs("2"))
            return dataFailed();
        QByteArray address;
        int port = 0;
        if (!ParsePasvReply(LastReplyLine(), &address, &port))
            return failKeeping(DataConnectionFailed);
        // The data connection always goes to the host we are talking to: a reply naming another
        // address would send our data, or our connection, somewhere else.
        const QByteArray peer = GetPeerAddress();
        if (peer.isEmpty())
            return failKeeping(DataConnectionFailed);
        if (address != peer) {
            log("PASV address " + address + " replaced by " + peer);
            address = peer;
        }
        if (!SendCommand(command, false))
            return false;
        if (!m_data.Connect(address, port))
            return failKeeping(
                m_data.GetStatus() == OperationCanceled ? int(OperationCanceled) : int(DataConnectionFailed));
        if (!ReadReply())
            return false;
        if (!ReplyIs("1"))
            return failKeeping(RemoteFileCommandFailed);
    } else {
        const QByteArray local = GetLocalAddress();
        if (local.isEmpty() || !m_listener.Listen(local, 0, 1))
            return failKeeping(DataConnectionFailed);
        const int port = m_listener.GetLocalPort();
        if (port <= 0)
            return failKeeping(DataConnectionFailed);
        QByteArray portCommand = "PORT " + QByteArray(local).replace('.', ',') + ','
            + QByteArray::number(port / 256) + ',' + QByteArray::number(port % 256);
        if (!SendCommand(portCommand, true) || !ReplyIs("2"))
            return dataFailed();
        if (!SendCommand(command, true))
            return false;
        if (!ReplyIs("1"))
            return failKeeping(RemoteFileCommandFailed);
        if (!acceptFromServer())
            return failKeeping(
                m_data.GetStatus() == OperationCanceled ? int(OperationCanceled) : int(DataConnectionFailed));
    }
    if (m_tlsMode != NoTls && !startDataTls())
        return false;
    {
        std::lock_guard guard(m_idleLock);
        m_idle = false;
    }
    return SetStatus(NoError);
}

bool CFtpSession::acceptFromServer()
{
    // Whoever reaches the port first would otherwise feed us a listing or a file, or take an
    // upload. As in passive mode, the data connection must be with the host we talk to; anyone
    // else is closed and logged, and the wait goes on until the one accept time-out ends.
    const QByteArray server = GetPeerAddress();
    if (server.isEmpty())
        return false;
    const Clock::time_point deadline = DeadlineIn(m_acceptTimeout);
    for (;;) {
        if (!m_data.Accept(m_listener, deadline))
            return false;
        const QByteArray from = m_data.GetPeerAddress();
        if (from == server)
            return true;
        log("Data connection from " + from + " closed: not the server's address " + server);
        m_data.Close();
    }
}

void CFtpSession::discardLocalFile()
{
    if (m_localFd >= 0) {
        ::close(m_localFd);
        m_localFd = -1;
    }
    if (!m_localTemp.isEmpty()) {
        ::unlink(m_localTemp.constData());
        m_localTemp.clear();
    }
}

bool CFtpSession::Retrieve(const QByteArray& remote, const QString& localName, bool binary, bool passive)
{
    if (busy() || !SetType(binary))
        return false;
    QString local = localName;
    if (local.isEmpty()) {
        const qsizetype cut = std::max(remote.lastIndexOf('/'), remote.lastIndexOf('\\'));
        local = QString::fromUtf8(remote.mid(cut + 1));
    }
    // The download goes into a new file beside the target and replaces it only once complete, so
    // a failed download leaves the old file as it was.
    discardLocalFile();
    const QFileInfo target(local);
    QByteArray pattern = QFile::encodeName(target.absolutePath() + QLatin1Char('/') + QLatin1Char('.')
        + target.fileName() + QStringLiteral(".part-XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0 || target.fileName().isEmpty() || target.isDir()) {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(pattern.constData());
        }
        return failKeeping(LocalFileCreateFailed);
    }
    struct stat old
    {
    };
    ::fchmod(fd,
        ::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &old) == 0 ? (old.st_mode & 07777)
                                                                                    : NewFileMode);
    m_localFd = fd;
    m_localTemp = pattern;
    m_localTarget = target.absoluteFilePath();
    m_transferBinary = binary;
    if (!openDataConnection("RETR", remote, false, passive)) {
        discardLocalFile();
        return false;
    }
    m_expectedSize = ParseExpectedSize(LastReplyLine());
    return startTransfer(Download);
}

bool CFtpSession::Store(const QByteArray& remoteName, const QString& local, bool binary, bool passive)
{
    if (busy() || !SetType(binary))
        return false;
    discardLocalFile();
    const int fd = ::open(QFile::encodeName(local).constData(), O_RDONLY | O_CLOEXEC);
    struct stat info
    {
    };
    if (fd < 0 || ::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return failKeeping(LocalFileOpenFailed);
    }
    m_localFd = fd;
    QByteArray remote = remoteName;
    if (remote.isEmpty()) {
        const QByteArray path = QFile::encodeName(local);
        const qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf(':'));
        remote = path.mid(cut + 1);
    }
    m_transferBinary = binary;
    if (!openDataConnection("STOR", remote, false, passive)) {
        discardLocalFile();
        return false;
    }
    m_expectedSize = info.st_size;
    return startTransfer(Upload);
}

bool CFtpSession::List(const QByteArray& path, bool namesOnly, bool passive)
{
    if (busy())
        return false;
    m_listLines.clear();
    if (!openDataConnection(namesOnly ? "NLST" : "LIST", path, true, passive))
        return false;
    m_expectedSize = 0;
    return startTransfer(Listing);
}

bool CFtpSession::startTransfer(TransferKind kind)
{
    if (m_transferThread.joinable())
        m_transferThread.join();
    try {
        // The thread waits until its id is published, so that it cannot clear it first.
        std::unique_lock hold(m_startLock);
        m_transferThread = std::thread([this, kind] {
            {
                std::lock_guard wait(m_startLock);
            }
            transferMain(kind);
        });
        m_transferThreadId = m_transferThread.get_id();
    } catch (...) {
        finishTransfer();
        discardLocalFile();
        return failKeeping(ThreadCreationFailed);
    }
    return SetStatus(NoError);
}

void CFtpSession::reportProgress()
{
    // Every block is reported: a report held back would leave a stalled transfer showing less
    // than it received.
    if (m_callbacks.progress)
        m_callbacks.progress(m_expectedSize.load(), m_bytesMoved.load());
}

int CFtpSession::readDataBlock(QByteArray& buffer, qint64* length)
{
    if (m_abort)
        return OperationCanceled;
    *length = m_data.Read(buffer.data(), buffer.size());
    if (*length >= 0)
        return 0;
    if (m_data.GetStatus() == OperationCanceled)
        return OperationCanceled;
    m_tlsFailure = m_data.TlsErrorText();
    return DataReadFailed;
}

int CFtpSession::receiveLoop()
{
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    LineEndFilter filter;
    for (;;) {
        qint64 n = 0;
        if (const int status = readDataBlock(buffer, &n))
            return status;
        if (n == 0)
            break;
        const char* data = buffer.constData();
        qint64 length = n;
        if (!m_transferBinary) {
            const QByteArray& text = filter.Convert(data, n);
            data = text.constData();
            length = text.size();
        }
        if (!writeAll(m_localFd, data, length))
            return LocalFileWriteFailed;
        m_bytesMoved += n;
        reportProgress();
    }
    const QByteArray& rest = filter.Convert(nullptr, 0);
    if (!writeAll(m_localFd, rest.constData(), rest.size()))
        return LocalFileWriteFailed;
    reportProgress();
    return 0;
}

int CFtpSession::sendLoop()
{
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    LineEndFilter filter;
    for (;;) {
        if (m_abort)
            return OperationCanceled;
        const ssize_t n = ::read(m_localFd, buffer.data(), static_cast<size_t>(buffer.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return LocalFileReadFailed;
        }
        const char* data = buffer.constData();
        qint64 length = n;
        if (!m_transferBinary) {
            const QByteArray& text = filter.Convert(data, n);
            data = text.constData();
            length = text.size();
        }
        if (n == 0 && length == 0)
            break;
        qint64 sent = m_data.Send(data, length);
        while (sent == SockHelpers::WouldBlock && !m_abort) {
            std::this_thread::sleep_for(WouldBlockRetry);
            sent = m_data.Send(data, length);
        }
        if (m_data.GetStatus() == OperationCanceled || m_abort)
            return OperationCanceled;
        if (sent != length) {
            m_tlsFailure = m_data.TlsErrorText();
            return DataSendFailed;
        }
        m_bytesMoved += n;
        reportProgress();
        if (n == 0)
            break;
    }
    reportProgress();
    return 0;
}

int CFtpSession::listLoop()
{
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    QByteArray partial;
    qint64 held = 0;
    for (;;) {
        qint64 n = 0;
        if (const int status = readDataBlock(buffer, &n))
            return status;
        if (n == 0)
            break;
        const qsizetype linesBefore = m_listLines.size();
        ProtocolText::SplitLines(QByteArrayView(buffer.constData(), n), &partial, MaxReplyLine, &m_listLines);
        held += n + (m_listLines.size() - linesBefore) * ListingLineCost;
        if (held > MaxListingBytes)
            return DataTransferFailed;
        m_bytesMoved += n;
    }
    // The last line counts even without its line end.
    if (!partial.isEmpty())
        m_listLines.append(partial);
    return 0;
}

void CFtpSession::transferMain(TransferKind kind)
{
    int loopStatus = 0;
    switch (kind) {
    case Download:
        loopStatus = receiveLoop();
        break;
    case Upload:
        loopStatus = sendLoop();
        break;
    case Listing:
        loopStatus = listLoop();
        break;
    }
    m_savedStatus = loopStatus;
    if (loopStatus != 0)
        SetStatus(loopStatus);
    const bool aborted = m_abort.load();
    // The closing reply is judged with the loop's status cleared, so that a failed loop still
    // reads the host's answer; the loop's status wins afterwards.
    SetStatus(NoError);
    bool ok = finishTransfer() && !aborted && loopStatus == 0;
    if (ok && kind == Download && m_transferBinary && m_expectedSize > 0 && m_bytesMoved != m_expectedSize) {
        // Fewer (or more) bytes than the host announced: the copy is not the file.
        SetStatus(DataTransferFailed);
        ok = false;
    }
    // A failed loop names the cause better than whatever the closing exchange ran into after it.
    if (!ok && loopStatus != 0)
        SetStatus(loopStatus);
    else if (!ok && GetStatus() == 0)
        SetStatus(aborted ? int(OperationCanceled) : int(DataTransferFailed));
    // A failed listing gives no lines, and its memory goes at once.
    if (kind == Listing && !ok)
        QList<QByteArray>().swap(m_listLines);
    if (kind == Download) {
        if (ok) {
            const bool synced = ::fsync(m_localFd) == 0;
            const bool closed = ::close(m_localFd) == 0;
            m_localFd = -1;
            if (!synced || !closed
                || ::rename(m_localTemp.constData(), QFile::encodeName(m_localTarget).constData()) != 0) {
                SetStatus(LocalFileWriteFailed);
                ok = false;
            } else {
                m_localTemp.clear();
            }
        }
        if (!ok)
            discardLocalFile();
    } else {
        discardLocalFile();
    }
    m_transferThreadId = std::thread::id();
    signalIdle();
    if (m_callbacks.transferDone)
        m_callbacks.transferDone(kind, ok);
}

void CFtpSession::signalIdle()
{
    std::lock_guard guard(m_idleLock);
    m_idle = true;
    m_idleSignal.notify_all();
}

bool CFtpSession::finishTransfer()
{
    if (busy())
        return false;
    if (m_data.IsOpen()) {
        if (m_abort) {
            const Clock::time_point deadline = cleanupDeadline();
            if (Send(TelnetInterrupt, sizeof TelnetInterrupt, deadline) == sizeof TelnetInterrupt
                && SendUrgent(TelnetDataMark, sizeof TelnetDataMark))
                sendCommand("ABOR", true, deadline);
        }
        m_data.Close();
        m_listener.Close();
        if (!m_abort && !ReplyIs("2"))
            ReadReply();
        if (GetStatus() == 0) {
            if (ReplyIs("2")) {
                if (m_savedStatus != 0)
                    SetStatus(m_savedStatus);
            } else {
                SetStatus(DataTransferFailed);
            }
        }
    } else {
        m_listener.Close();
    }
    return GetStatus() == 0;
}

bool CFtpSession::WaitTransfer(int seconds)
{
    const std::thread::id id = m_transferThreadId.load();
    if (id == std::thread::id() || id == std::this_thread::get_id())
        return true;
    m_abort = true;
    std::unique_lock guard(m_idleLock);
    if (seconds < 0)
        m_idleSignal.wait(guard, [this] { return m_idle; });
    else
        m_idleSignal.wait_for(guard, std::chrono::seconds(seconds), [this] { return m_idle; });
    return m_idle;
}

void CFtpSession::InterruptAll()
{
    m_abort = true;
    m_data.Interrupt();
    m_listener.Interrupt();
    Interrupt();
}

bool CFtpSession::Cancel(int seconds)
{
    CancelConnect();
    m_abort = true;
    m_data.Interrupt();
    m_listener.Interrupt();
    WaitTransfer(seconds);
    return Quit();
}

bool CFtpSession::Quit()
{
    if (!IsOpen())
        return SetStatus(NoError);
    if (WaitTransfer(m_readTimeout + TransferStopExtraSeconds)) {
        if (m_transferThread.joinable() && m_transferThread.get_id() != std::this_thread::get_id())
            m_transferThread.join();
        if (!IsInterrupted())
            sendCommand("QUIT", !m_abort, cleanupDeadline());
    } else {
        // The transfer did not stop in time: wake it for good, then close without QUIT.
        InterruptAll();
    }
    return Close();
}

bool CFtpSession::Rename(const QByteArray& from, const QByteArray& to)
{
    if (busy())
        return false;
    if (!SendCommand("RNFR " + from, true))
        return false;
    // A refusal by the host is told by its reply line, not by a status.
    if (!ReplyIs("3"))
        return false;
    if (!SendCommand("RNTO " + to, true))
        return false;
    return ReplyIs("2");
}

bool CFtpSession::Command(const QByteArray& text)
{
    if (busy())
        return false;
    if (!SendCommand(text, true))
        return false;
    return ReplyIs("2") || ReplyIs("3") || ReplyIs("1");
}
