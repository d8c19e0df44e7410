#pragma once

#include "core/net/TlsCertificate.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <deque>
#include <memory>

class CFtpSession;

// One request to the FTP worker, with the parameters it needs.
struct CFtpRequest
{
    int kind = 0; // a CFtpThread::Message
    QByteArray host;
    int port = 21; // the FTP port
    QByteArray user;
    QByteArray password;
    QString localFile;
    QByteArray remoteFile;
    bool passive = false;
    bool download = false;
    bool binary = false;
    QByteArray renameFrom;
    QByteArray renameTo;
    QByteArray command;
    int tlsMode = 0; // a CFtpSession::TlsMode
    QByteArray pinned; // the fingerprint pinned for the host, or empty
};

// The worker's answer to one request.
struct CFtpResult
{
    int request = 0;
    bool ok = false;
    QByteArray lastReply; // the session's last reply line
    int status = 0;
    QString statusText;
    QList<QByteArray> lines; // a listing's lines
    TlsCertificate certificate; // the server's, once a TLS handshake got that far
};
Q_DECLARE_METATYPE(CFtpResult)

// The thread that owns one FTP session for the life of one connection. Requests are queued to it
// from any thread; results, progress and the FTP dialogue come back as signals, delivered queued
// to receivers in other threads. Downloads, uploads and listings run on the session's transfer
// thread, so an abort is taken while they run. The thread is never killed: an abort wakes every
// socket wait of the session and the thread ends by itself.
class CFtpThread : public QThread
{
    Q_OBJECT
public:
    enum Message {
        Pending = 100,
        Ok = 101,
        Failed = 102,
        Login = 103,
        Transfer = 104,
        Progress = 105,
        List = 106,
        Rename = 107,
        Command = 108,
        Quit = 109,
        Abort = 110,
        ThreadExit = 111,
    };

    explicit CFtpThread(int timeoutSeconds);
    ~CFtpThread() override;

    // Queues a request. An abort goes before everything still queued.
    void Post(const CFtpRequest& request);
    // The direct cancel: wakes every wait of the session at once. Safe from any thread.
    void InterruptSession();

signals:
    void Finished(const CFtpResult& result);
    void TransferProgress(qint64 expected, qint64 bytes);
    void LogLine(const QByteArray& line);
    void Exiting();

protected:
    void run() override;

private:
    bool handle(const CFtpRequest& request);
    void reply(int request, bool ok, const QList<QByteArray>& lines = {});

    int m_timeoutSeconds;
    QMutex m_queueLock;
    QWaitCondition m_queueSignal;
    std::deque<CFtpRequest> m_queue;
    QMutex m_sessionLock;
    std::unique_ptr<CFtpSession> m_session;
    bool m_interruptRequested = false;
    bool m_loggedIn = false;
    bool m_aborting = false;
};
