#include "core/net/CFtpClient.h"

#include "core/common/Prompt.h"
#include "core/settings/Profile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

namespace {

CFtpClient::ProgressUiFactory& progressUiFactory()
{
    static CFtpClient::ProgressUiFactory factory;
    return factory;
}

// Without a window: nothing to show, and only RequestCancel stops an operation.
class HeadlessProgress : public CFtpProgressUi
{
public:
    bool Create(bool) override
    {
        m_exists = true;
        return true;
    }
    void Destroy() override { m_exists = false; }
    bool Exists() const override { return m_exists; }
    void SetTitle(const QString&) override { }
    void SetMessage(const QString&) override { }
    void SetPos(int) override { }
    bool CheckCancel() override { return false; }
    void AppendLog(const QString&) override { }

private:
    bool m_exists = false;
};

QString hostText(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

// How long Disconnect waits for the worker before it leaves it to end alone.
constexpr int WorkerExitWaitMs = 30000;
// How often a waiting operation looks at Cancel, the log and the progress.
constexpr int PollIntervalMs = 100;

} // namespace

void CFtpClient::SetProgressUiFactory(ProgressUiFactory factory)
{
    progressUiFactory() = std::move(factory);
}

CFtpClient::CFtpClient()
{
    if (progressUiFactory())
        m_progress = progressUiFactory()();
    if (!m_progress)
        m_progress = std::make_unique<HeadlessProgress>();
}

CFtpClient::~CFtpClient()
{
    stopWorker(true);
    m_progress->Destroy();
}

QString CFtpClient::PermissionText(int permissions)
{
    if (permissions == -1)
        return QStringLiteral("Default");
    static const char* const triplets[8] = { "---", "--x", "-w-", "-wx", "r--", "r-x", "rw-", "rwx" };
    QString digits = QString::number(permissions);
    while (digits.size() < 3)
        digits.prepend(QLatin1Char('0'));
    QString text;
    for (QChar c : digits) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('7'))
            text += QLatin1String(triplets[c.unicode() - '0']);
    }
    return text;
}

bool CFtpClient::IsValidPermissions(int permissions)
{
    if (permissions < 0 || permissions > 777)
        return false;
    for (int value = permissions; value > 0; value /= 10) {
        if (value % 10 > 7)
            return false;
    }
    return true;
}

void CFtpClient::setResult(const QString& text, const QString& caption)
{
    m_resultText = text;
    m_resultCaption = caption;
}

QString CFtpClient::LastResponse() const
{
    return m_errorText.isEmpty() ? QStringLiteral("Unknown error.") : hostText(m_errorText);
}

QString CFtpClient::errorDetail() const
{
    QString detail;
    QString status = m_loginStatusText;
    if (status == QLatin1String("No error"))
        status.clear();
    if (!status.isEmpty())
        detail = QStringLiteral("\nError: ") + status + QStringLiteral(".\n");
    const QString response = LastResponse();
    if (response != QLatin1String("Unknown error.") || detail.isEmpty())
        detail += QStringLiteral("The last remote host response was:\n\n") + response;
    return detail;
}

bool CFtpClient::notConnected()
{
    setResult(QStringLiteral("Not connected to the remote host."), QStringLiteral("Not connected"));
    return false;
}

void CFtpClient::ShowMessage() const
{
    Prompt::Tell(m_resultText, m_resultCaption, Prompt::Information);
}

void CFtpClient::ShowResult() const
{
    if (m_canceled)
        Prompt::Tell(
            QStringLiteral("Operation canceled."), QStringLiteral("Operation canceled"), Prompt::Information);
    else
        Prompt::Tell(m_resultText, m_resultCaption, Prompt::Warning);
}

void CFtpClient::CloseProgress()
{
    m_progress->Destroy();
}

void CFtpClient::SetLogOutput(std::function<void(const QString&)> sink)
{
    m_logOutput = std::move(sink);
}

void CFtpClient::SetLogFile(const QString& path)
{
    if (path.isEmpty()) {
        m_loggingOn = false;
        closeLogFile();
        return;
    }
    m_loggingOn = true;
    m_logFilePath = path;
}

void CFtpClient::openLogFile()
{
    closeLogFile();
    if (!m_loggingOn)
        return;
    m_logFile.setFileName(m_logFilePath);
    if (m_logFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_logFile.write(
            QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat).toUtf8() + '\n');
        m_logFile.flush();
    }
}

void CFtpClient::closeLogFile()
{
    if (!m_logFile.isOpen())
        return;
    m_logFile.write(
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat).toUtf8() + '\n');
    m_logFile.close();
}

void CFtpClient::copyLogLines()
{
    while (m_linesShown < m_log.size()) {
        const QByteArray& line = m_log.at(m_linesShown++);
        if (m_logOutput)
            m_logOutput(hostText(line));
        else
            m_progress->AppendLog(hostText(line));
        if (m_logFile.isOpen()) {
            // A log that cannot be written must not stop the transfer.
            m_logFile.write(line + '\n');
            m_logFile.flush();
        }
    }
}

bool CFtpClient::beginOperation(const QString& message)
{
    if (!m_connected)
        return notConnected();
    if (!m_progress->Exists() && !createProgress())
        return false;
    m_progress->SetTitle(QStringLiteral("Connected to remote host"));
    m_progress->SetMessage(message);
    m_progress->SetPos(0);
    return true;
}

void CFtpClient::showDone(const QString& title)
{
    m_progress->SetTitle(title);
    m_progress->SetPos(100);
}

bool CFtpClient::createProgress()
{
    m_progress->Destroy();
    m_canceled = false;
    m_cancelRequested = false;
    m_log.clear();
    m_linesShown = 0;
    if (!m_progress->Create(!m_logOutput)) {
        setResult(
            QStringLiteral("Unexpected error creating Progress dialog"), QStringLiteral("Unexpected error"));
        return false;
    }
    return true;
}

void CFtpClient::onFinished(const CFtpResult& result)
{
    if (sender() != m_worker)
        return;
    m_lastReply = result.lastReply;
    m_loginStatusText = result.statusText;
    if (result.request == CFtpThread::Login) {
        m_loginStatus = result.status;
        m_certificate = result.certificate;
    }
    if (!result.ok || result.request == CFtpThread::Quit || result.request == CFtpThread::Abort)
        m_errorText = result.lastReply;
    if (result.request == m_pendingRequest && m_pendingResult == CFtpThread::Pending) {
        if (result.request == CFtpThread::List)
            m_listLines = result.lines;
        m_pendingResult = result.ok ? CFtpThread::Ok : CFtpThread::Failed;
    }
    emit resultArrived();
}

void CFtpClient::onExiting()
{
    if (sender() != m_worker)
        return;
    m_threadActive = false;
    m_connected = false;
    CFtpThread* worker = m_worker;
    m_worker = nullptr;
    worker->disconnect(this);
    // The thread has left its loop; it is gone as soon as run() returns.
    worker->wait();
    delete worker;
    emit resultArrived();
}

void CFtpClient::updateTransferProgress()
{
    if (!m_transferring)
        return;
    const QString remote = hostText(m_request.remoteFile);
    if (m_download) {
        if (m_transferSize <= 0) {
            if (m_transferBytes != m_lastByteCount) {
                m_lastByteCount = m_transferBytes;
                m_progress->SetMessage(QStringLiteral("Attempting to download %1.\n\n%2 bytes downloaded.")
                                           .arg(remote)
                                           .arg(m_transferBytes));
                m_progress->SetTitle(QStringLiteral("Downloading..."));
            }
            return;
        }
        const int percent = static_cast<int>(std::min<qint64>(100, m_transferBytes * 100 / m_transferSize));
        if (percent != m_lastPercent) {
            m_lastPercent = percent;
            m_progress->SetMessage(
                QStringLiteral("Attempting to download %1.\n\n%2 of %3 bytes.  %4 Percent.")
                    .arg(remote)
                    .arg(m_transferBytes)
                    .arg(m_transferSize)
                    .arg(percent));
            m_progress->SetPos(percent);
        }
        return;
    }
    const qint64 size = m_transferSize < 1 ? 1 : m_transferSize;
    const int percent = static_cast<int>(std::min<qint64>(100, m_transferBytes * 100 / size));
    if (percent != m_lastPercent) {
        m_lastPercent = percent;
        m_progress->SetMessage(QStringLiteral("Attempting to upload %1\n\n%2 of %3 bytes.  %4 Percent.")
                                   .arg(m_request.localFile)
                                   .arg(m_transferBytes)
                                   .arg(size)
                                   .arg(percent));
        m_progress->SetPos(percent);
    }
}

bool CFtpClient::waitFor(const CFtpRequest& request)
{
    if (!m_worker)
        return false;
    if (m_cancelRequested || !m_progress->Exists() || m_progress->CheckCancel()) {
        m_canceled = true;
        Abort();
        return false;
    }
    m_pendingRequest = request.kind;
    m_pendingResult = CFtpThread::Pending;
    m_worker->Post(request);
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(PollIntervalMs);
    connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &CFtpClient::resultArrived, &loop, &QEventLoop::quit);
    tick.start();
    while (m_pendingResult == CFtpThread::Pending && m_threadActive) {
        if (m_cancelRequested || !m_progress->Exists() || m_progress->CheckCancel()) {
            m_canceled = true;
            Abort();
            return false;
        }
        copyLogLines();
        updateTransferProgress();
        if (m_pendingResult != CFtpThread::Pending || !m_threadActive)
            break;
        loop.exec();
    }
    copyLogLines();
    updateTransferProgress();
    return m_pendingResult == CFtpThread::Ok;
}

bool CFtpClient::ConnectTo(const QString& host, const QString& user, const QString& password, int port)
{
    setResult(QStringLiteral("Connect failed, network error."), QStringLiteral("Network Error"));
    if (m_connected && m_threadActive)
        return true;
    if (m_threadActive) {
        m_errorText = "A thread is currently active.  If you canceled an operation please wait a few seconds "
                      "for the thread to clean up properly and try again.  Otherwise this is an unexpected "
                      "error, close and re-open the program and try again.";
        return false;
    }
    m_closing = false;
    m_request = CFtpRequest();
    m_request.host = host.toUtf8();
    m_request.port = port;
    m_request.user = user.toUtf8();
    m_request.password = password.toUtf8();
    m_request.passive = GetSetting(Settings::PasvMode) != 0;
    m_request.tlsMode = m_tlsMode;
    m_request.pinned = m_pinned;
    m_errorText.clear();
    m_loginStatusText.clear();
    m_loginStatus = 0;
    m_certificate = TlsCertificate();
    if (!createProgress())
        return false;
    m_progress->SetMessage(
        QStringLiteral("Attempting to establish connection with remote host.  Please wait..."));
    m_progress->SetTitle(QStringLiteral("Attempting to connect"));
    m_progress->SetPos(0);
    openLogFile();
    m_log.append(QStringLiteral("Attempting to connect to %1.").arg(host).toUtf8());

    m_worker = new CFtpThread(m_timeoutSeconds);
    connect(m_worker, &CFtpThread::Finished, this, &CFtpClient::onFinished, Qt::QueuedConnection);
    connect(m_worker, &CFtpThread::Exiting, this, &CFtpClient::onExiting, Qt::QueuedConnection);
    connect(
        m_worker, &CFtpThread::LogLine, this, [this](const QByteArray& line) { m_log.append(line); },
        Qt::QueuedConnection);
    connect(
        m_worker, &CFtpThread::TransferProgress, this,
        [this](qint64 size, qint64 bytes) {
            m_transferSize = size;
            m_transferBytes = bytes;
        },
        Qt::QueuedConnection);
    m_threadActive = true;
    m_worker->start();

    CFtpRequest request = m_request;
    request.kind = CFtpThread::Login;
    if (waitFor(request)) {
        m_progress->SetTitle(QStringLiteral("Connected to remote host"));
        m_connected = true;
        setResult(QStringLiteral("Connected to %1.").arg(host), QStringLiteral("Connected"));
        return true;
    }
    const QString detail = errorDetail();
    Abort();
    setResult(
        QStringLiteral("Unable to connect to %1.  %2").arg(host, detail), QStringLiteral("Connect Failed"));
    return false;
}

bool CFtpClient::Transfer(
    const QString& local, const QString& remote, bool download, bool binary, bool passive)
{
    m_request.localFile = local;
    m_request.remoteFile = remote.toUtf8();
    m_request.download = download;
    m_request.binary = binary;
    m_request.passive = passive;
    if (!download) {
        const QFileInfo info(local);
        if (!info.exists() || info.isDir()) {
            setResult(QStringLiteral("The file %1 does not exist.").arg(local),
                QStringLiteral("Upload file does not exist"));
            return false;
        }
    }
    if (!beginOperation(download ? QStringLiteral("Attempting to download %1").arg(remote)
                                 : QStringLiteral("Attempting to upload %1").arg(local)))
        return false;
    m_lastPercent = -1;
    m_lastByteCount = -1;
    m_transferSize = 0;
    m_transferBytes = 0;
    m_download = download;
    CFtpRequest request = m_request;
    request.kind = CFtpThread::Transfer;
    m_transferring = true;
    const bool ok = waitFor(request);
    m_transferring = false;
    if (ok) {
        showDone(QStringLiteral("File transferred"));
        if (download)
            setResult(QStringLiteral("%1 was successfully downloaded as %2").arg(remote, local),
                QStringLiteral("File Download Successful"));
        else
            setResult(QStringLiteral("%1 was successfully uploaded as %2").arg(local, remote),
                QStringLiteral("File Upload Successful"));
        return true;
    }
    if (download)
        setResult(
            QStringLiteral("Error while trying to download remote file %1.  %2").arg(remote, errorDetail()),
            QStringLiteral("Download Failed"));
    else
        setResult(QStringLiteral("Error while trying to upload local file %1.  %2").arg(local, errorDetail()),
            QStringLiteral("Upload Failed"));
    return false;
}

bool CFtpClient::runCommand(const QString& text)
{
    if (!beginOperation(QStringLiteral("Attempting to execute command %1").arg(text)))
        return false;
    m_request.command = text.toUtf8();
    CFtpRequest request = m_request;
    request.kind = CFtpThread::Command;
    if (waitFor(request)) {
        showDone(QStringLiteral("Command successful"));
        setResult(
            QStringLiteral("The command %1 was successfully executed.").arg(text), QStringLiteral("Success"));
        return true;
    }
    setResult(QStringLiteral("The command %1 was not successfully executed.  %2").arg(text, errorDetail()),
        QStringLiteral("Command Failed"));
    return false;
}

void CFtpClient::sendQuietly(const QString& text)
{
    if (!m_connected || m_canceled)
        return;
    const QString resultText = m_resultText;
    const QString resultCaption = m_resultCaption;
    const QByteArray errorText = m_errorText;
    const QString statusText = m_loginStatusText;
    runCommand(text);
    if (m_canceled)
        return;
    m_resultText = resultText;
    m_resultCaption = resultCaption;
    m_errorText = errorText;
    m_loginStatusText = statusText;
}

bool CFtpClient::Command(const QString& text)
{
    return runCommand(text);
}

bool CFtpClient::Rename(const QString& from, const QString& to)
{
    if (!beginOperation(QStringLiteral("Attempting to rename %1 to %2").arg(from, to)))
        return false;
    m_request.renameFrom = from.toUtf8();
    m_request.renameTo = to.toUtf8();
    CFtpRequest request = m_request;
    request.kind = CFtpThread::Rename;
    if (waitFor(request)) {
        showDone(QStringLiteral("File rename successful"));
        setResult(QStringLiteral("The name on the remote host was successfully changed from %1 to %2.")
                      .arg(from, to),
            QStringLiteral("File Renamed"));
        return true;
    }
    setResult(QStringLiteral("Unable to rename remote file %1.  %2").arg(from, errorDetail()),
        QStringLiteral("File Renamed Failed"));
    return false;
}

bool CFtpClient::pathCommand(const QString& verb, const QString& name, const QString& doneText,
    const QString& doneCaption, const QString& failedText, const QString& failedCaption)
{
    if (runCommand(verb + QLatin1Char(' ') + name)) {
        setResult(doneText.arg(name), doneCaption);
        return true;
    }
    // Without a connection the result already says so.
    if (m_connected || m_canceled)
        setResult(failedText.arg(name, errorDetail()), failedCaption);
    return false;
}

bool CFtpClient::DeleteFile(const QString& name)
{
    return pathCommand(QStringLiteral("DELE"), name,
        QStringLiteral("The file %1 on the remote host was successfully deleted."),
        QStringLiteral("File Deleted"), QStringLiteral("Error trying to delete remote file %1.  %2"),
        QStringLiteral("File Not Deleted"));
}

bool CFtpClient::MakeDir(const QString& name)
{
    return pathCommand(QStringLiteral("MKD"), name,
        QStringLiteral("The directory %1 on the remote host was successfully created."),
        QStringLiteral("Directory Created"), QStringLiteral("Error trying to create directory %1.  %2"),
        QStringLiteral("Directory Not Created"));
}

bool CFtpClient::RemoveDir(const QString& name)
{
    return pathCommand(QStringLiteral("RMD"), name,
        QStringLiteral("The directory %1 on the remote host was successfully deleted."),
        QStringLiteral("Directory Deleted"), QStringLiteral("Error trying to delete directory %1.  %2"),
        QStringLiteral("Directory Not Deleted"));
}

bool CFtpClient::Chmod(const QString& name, int permissions)
{
    if (!m_connected)
        return notConnected();
    // Hosts answer 200 to modes like 999 or -1 and then set 000.
    if (permissions != -1 && !IsValidPermissions(permissions)) {
        setResult(
            QStringLiteral("The permissions value %1 is not valid.  Use three octal digits from 000 to 777.")
                .arg(permissions),
            QStringLiteral("Command Failed"));
        return false;
    }
    // "Default": the host keeps the mode it gave.
    bool ok = permissions == -1 || runCommand(QStringLiteral("SITE chmod %1 %2").arg(permissions).arg(name));
    if (!ok && m_connected && !m_canceled) {
        const QByteArray last = m_errorText;
        if (last.startsWith('5') && !last.startsWith("502") && !last.startsWith("550"))
            ok = runCommand(QStringLiteral("QUOTE chmod %1 %2").arg(permissions).arg(name));
    }
    if (ok)
        setResult(QStringLiteral("The permissions for %1 were successfully changed to %2.")
                      .arg(name, PermissionText(permissions)),
            QStringLiteral("Permissions Updated"));
    return ok;
}

QString CFtpClient::CurrentDir()
{
    if (!runCommand(QStringLiteral("PWD")))
        return QString();
    const QByteArray line = m_lastReply;
    const qsizetype quote = line.lastIndexOf('"');
    if (quote > 5)
        return hostText(line.mid(5, quote - 5));
    return QString();
}

bool CFtpClient::ListDir(QList<QByteArray>* target)
{
    target->clear();
    if (!beginOperation(QStringLiteral("Obtaining directory list")))
        return false;
    m_listLines.clear();
    CFtpRequest request = m_request;
    request.kind = CFtpThread::List;
    if (waitFor(request)) {
        *target = m_listLines;
        showDone(QStringLiteral("Directory list received"));
        setResult(QStringLiteral("Directory list received."), QStringLiteral("Directory Received"));
        return true;
    }
    setResult(QStringLiteral("Error trying to retrieve directory list.  %1").arg(errorDetail()),
        QStringLiteral("Directory List Failed"));
    return false;
}

bool CFtpClient::RawList(QByteArray* text)
{
    QList<QByteArray> lines;
    if (!ListDir(&lines))
        return false;
    qsizetype size = 0;
    for (const QByteArray& line : lines)
        size += line.size() + 1;
    text->reserve(text->size() + size);
    for (const QByteArray& line : lines)
        *text += line + '\n';
    return true;
}

void CFtpClient::Disconnect()
{
    stopWorker(false);
}

void CFtpClient::Abort()
{
    stopWorker(true);
}

void CFtpClient::stopWorker(bool abort)
{
    if (!m_threadActive) {
        m_progress->Destroy();
        return;
    }
    if (m_closing)
        return;
    m_closing = true;
    if (!m_progress->Exists())
        m_progress->Create(!m_logOutput);
    m_progress->SetTitle(QStringLiteral("Closing connection, please wait...."));
    m_progress->SetMessage(QStringLiteral("Closing connection, please wait...."));
    CFtpRequest request;
    if (abort) {
        m_worker->InterruptSession();
        request.kind = CFtpThread::Abort;
    } else {
        request.kind = CFtpThread::Quit;
    }
    m_worker->Post(request);
    QElapsedTimer waited;
    waited.start();
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(PollIntervalMs);
    connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &CFtpClient::resultArrived, &loop, &QEventLoop::quit);
    tick.start();
    while (m_threadActive) {
        copyLogLines();
        if (waited.elapsed() > WorkerExitWaitMs) {
            // The worker is left to end alone; it owns its session and reports to no one.
            CFtpThread* worker = m_worker;
            m_worker = nullptr;
            worker->disconnect(this);
            connect(worker, &QThread::finished, worker, &QObject::deleteLater);
            worker->InterruptSession();
            m_threadActive = false;
            m_connected = false;
            m_progress->Destroy();
            Prompt::Tell(QStringLiteral("The host is not responding, you may have to close and restart ZEPH "
                                        "before trying to connect to the remote host again."),
                QStringLiteral("No response"), Prompt::Information);
            closeLogFile();
            return;
        }
        loop.exec();
    }
    copyLogLines();
    m_log.append("Disconnected from remote host");
    copyLogLines();
    closeLogFile();
    m_progress->Destroy();
}
