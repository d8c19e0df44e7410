#pragma once

#include "core/net/CFtpThread.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

// What a remote operation shows while it waits: a progress window with a Cancel button and the
// FTP dialogue. The desktop program supplies a dialog; without one nothing is shown and only
// RequestCancel stops an operation.
class CFtpProgressUi
{
public:
    virtual ~CFtpProgressUi() = default;
    // Creates the window anew; `withDetails` false when the log goes elsewhere.
    virtual bool Create(bool withDetails) = 0;
    virtual void Destroy() = 0;
    virtual bool Exists() const = 0;
    virtual void SetTitle(const QString& title) = 0;
    virtual void SetMessage(const QString& message) = 0;
    virtual void SetPos(int percent) = 0;
    // True when the user pressed Cancel or closed the window.
    virtual bool CheckCancel() = 0;
    virtual void AppendLog(const QString& line) = 0;
};

// Remote operations with explicit arguments. Each call blocks its caller until the FTP worker
// answers, keeping the caller's event loop alive every 100 ms; it leaves a result text and caption
// for ShowMessage / ShowResult. Cancel ends the whole connection.
class CFtpClient : public QObject
{
    Q_OBJECT
public:
    CFtpClient();
    ~CFtpClient() override;

    bool ConnectTo(const QString& host, const QString& user, const QString& password, int port);
    virtual bool Transfer(
        const QString& local, const QString& remote, bool download, bool binary, bool passive);
    virtual void Disconnect();
    void Abort();
    bool Command(const QString& text);
    bool Rename(const QString& from, const QString& to);
    bool DeleteFile(const QString& name);
    bool MakeDir(const QString& name);
    bool RemoveDir(const QString& name);
    bool Chmod(const QString& name, int permissions);
    QString CurrentDir();
    bool ListDir(QList<QByteArray>* target);
    bool RawList(QByteArray* text);

    // Before ConnectTo: the TLS mode (a CFtpSession::TlsMode) and the host's pinned fingerprint.
    void SetTls(int mode, const QByteArray& pinned)
    {
        m_tlsMode = mode;
        m_pinned = pinned;
    }
    // The server's certificate as the last connect saw it, and the status its login ended with
    // (CTimedSocket::CertificateUntrusted or CertificateChanged tell that trust was missing).
    TlsCertificate PeerCertificate() const { return m_certificate; }
    int LoginStatus() const { return m_loginStatus; }

    bool IsConnected() const { return m_connected; }
    bool WasCanceled() const { return m_canceled; }
    // The host's last reply line after a failure, or "Unknown error.".
    QString LastResponse() const;
    QString ResultText() const { return m_resultText; }
    QString ResultCaption() const { return m_resultCaption; }
    void ShowMessage() const;
    void ShowResult() const;
    void CloseProgress();
    // Sends the FTP dialogue to `sink` instead of the progress window's details.
    void SetLogOutput(std::function<void(const QString&)> sink);
    void SetLogFile(const QString& path);
    // Stops the running operation as the Cancel button does. Safe from the caller's thread only.
    void RequestCancel() { m_cancelRequested = true; }
    // The passive flag of listings until the next transfer sets it (the setting at connect).
    void SetPassive(bool passive) { m_request.passive = passive; }
    // Seconds each connect, read, send and accept may take; DefaultTimeoutSeconds unless changed.
    static constexpr int DefaultTimeoutSeconds = 20;
    void SetTimeout(int seconds) { m_timeoutSeconds = seconds; }
    // Every line of the FTP dialogue of the current connection.
    QList<QByteArray> Log() const { return m_log; }

    // The permission text: "Default" for -1, else three "rwx" triplets.
    static QString PermissionText(int permissions);
    // Three octal digits 000-777 written as a decimal number.
    static bool IsValidPermissions(int permissions);

    using ProgressUiFactory = std::function<std::unique_ptr<CFtpProgressUi>()>;
    static void SetProgressUiFactory(ProgressUiFactory factory);

signals:
    void resultArrived();

protected:
    // A command whose outcome must not replace the result of the operation that sent it.
    void sendQuietly(const QString& text);
    void setResult(const QString& text, const QString& caption);
    QString errorDetail() const;
    bool notConnected();

private:
    bool createProgress();
    // Opens an operation on the connection with `message` in the progress window; false with the
    // result set when there is no connection or no window.
    bool beginOperation(const QString& message);
    // The progress window after an operation succeeded.
    void showDone(const QString& title);
    // "VERB name"; the texts take the name as %1 and the failure text the error detail as %2.
    bool pathCommand(const QString& verb, const QString& name, const QString& doneText,
        const QString& doneCaption, const QString& failedText, const QString& failedCaption);
    bool waitFor(const CFtpRequest& request);
    bool runCommand(const QString& text);
    void stopWorker(bool abort);
    void copyLogLines();
    void updateTransferProgress();
    void openLogFile();
    void closeLogFile();
    void onFinished(const CFtpResult& result);
    void onExiting();

    QString m_resultText;
    QString m_resultCaption;
    CFtpRequest m_request;
    QByteArray m_errorText;
    QByteArray m_lastReply;
    QString m_loginStatusText;
    int m_loginStatus = 0;
    int m_tlsMode = 0;
    QByteArray m_pinned;
    TlsCertificate m_certificate;
    QList<QByteArray> m_listLines;
    QList<QByteArray> m_log;
    qsizetype m_linesShown = 0;
    bool m_loggingOn = false;
    QString m_logFilePath;
    QFile m_logFile;
    bool m_closing = false;
    bool m_threadActive = false;
    bool m_canceled = false;
    bool m_cancelRequested = false;
    bool m_connected = false;
    int m_pendingRequest = 0;
    int m_pendingResult = CFtpThread::Pending;
    qint64 m_transferSize = 0;
    qint64 m_transferBytes = 0;
    int m_lastPercent = -1;
    qint64 m_lastByteCount = -1;
    bool m_transferring = false;
    bool m_download = false;
    int m_timeoutSeconds = DefaultTimeoutSeconds;
    CFtpThread* m_worker = nullptr;
    std::unique_ptr<CFtpProgressUi> m_progress;
    std::function<void(const QString&)> m_logOutput;
};
