#include "core/net/CFtpThread.h"

#include "core/net/CFtpSession.h"

#include <openssl/crypto.h>

namespace {

// How long an abort waits for a running transfer to stop before the session quits.
constexpr int AbortWaitSeconds = 5;

} // namespace

CFtpThread::CFtpThread(int timeoutSeconds)
    : m_timeoutSeconds(timeoutSeconds)
{
    qRegisterMetaType<CFtpResult>();
}

CFtpThread::~CFtpThread()
{
    InterruptSession();
    wait();
}

void CFtpThread::Post(const CFtpRequest& request)
{
    QMutexLocker guard(&m_queueLock);
    if (request.kind == Abort)
        m_queue.push_front(request);
    else
        m_queue.push_back(request);
    m_queueSignal.wakeAll();
}

void CFtpThread::InterruptSession()
{
    QMutexLocker guard(&m_sessionLock);
    m_interruptRequested = true;
    if (m_session)
        m_session->InterruptAll();
}

void CFtpThread::reply(int request, bool ok, const QList<QByteArray>& lines)
{
    CFtpResult result;
    result.request = request;
    result.ok = ok;
    result.lines = lines;
    if (m_session) {
        result.lastReply = m_session->LastReplyLine();
        result.status = m_session->GetStatus();
        result.statusText = m_session->StatusText();
        result.certificate = m_session->PeerCertificate();
    }
    emit Finished(result);
}

void CFtpThread::run()
{
    for (;;) {
        CFtpRequest request;
        {
            QMutexLocker guard(&m_queueLock);
            while (m_queue.empty())
                m_queueSignal.wait(&m_queueLock);
            request = m_queue.front();
            m_queue.pop_front();
        }
        if (!handle(request))
            break;
    }
    emit Exiting();
    {
        QMutexLocker guard(&m_sessionLock);
        m_session.reset();
    }
    // OpenSSL frees what it keeps per thread only when the thread is gone, which can be after
    // whoever waits for this thread has gone on (and the program ended); freed here, it never lingers.
    OPENSSL_thread_stop();
}

bool CFtpThread::handle(const CFtpRequest& request)
{
    switch (request.kind) {
    case Login: {
        if (m_loggedIn) {
            reply(Login, true);
            return true;
        }
        m_aborting = false;
        {
            QMutexLocker guard(&m_sessionLock);
            m_session = std::make_unique<CFtpSession>(true);
            if (m_interruptRequested)
                m_session->InterruptAll();
        }
        CFtpSession* session = m_session.get();
        session->SetTimeouts(m_timeoutSeconds);
        CFtpSession::Callbacks callbacks;
        callbacks.log = [this](const QByteArray& line) { emit LogLine(line); };
        callbacks.progress
            = [this](qint64 expected, qint64 bytes) { emit TransferProgress(expected, bytes); };
        callbacks.transferDone = [this, session](CFtpSession::TransferKind kind, bool ok) {
            CFtpResult result;
            result.request = kind == CFtpSession::Listing ? List : Transfer;
            result.ok = ok;
            result.lastReply = session->LastReplyLine();
            result.status = session->GetStatus();
            result.statusText = session->StatusText();
            if (kind == CFtpSession::Listing)
                result.lines = session->TakeListLines();
            emit Finished(result);
        };
        session->SetCallbacks(callbacks);
        session->SetTls(request.tlsMode, request.pinned);
        const bool ok = session->Login(request.host, request.user, request.password, request.port);
        m_loggedIn = ok;
        reply(Login, ok);
        return true;
    }
    case Transfer:
    case List: {
        if (!m_session || !m_loggedIn) {
            reply(request.kind, false);
            return true;
        }
        bool started = false;
        if (request.kind == List)
            started = m_session->List(QByteArray(), false, request.passive);
        else if (request.download)
            started
                = m_session->Retrieve(request.remoteFile, request.localFile, request.binary, request.passive);
        else
            started
                = m_session->Store(request.remoteFile, request.localFile, request.binary, request.passive);
        if (!started)
            reply(request.kind, false);
        return true;
    }
    case Rename:
        if (!m_session || !m_loggedIn)
            reply(Rename, false);
        else
            reply(Rename, m_session->Rename(request.renameFrom, request.renameTo));
        return true;
    case Command:
        if (!m_session || !m_loggedIn)
            reply(Command, false);
        else
            reply(Command, m_session->Command(request.command));
        return true;
    case Quit:
        if (m_session && m_loggedIn) {
            m_session->Quit();
            m_loggedIn = false;
            reply(Quit, true);
        }
        return false;
    case Abort:
        if (m_aborting)
            return true;
        m_aborting = true;
        if (m_session) {
            m_session->Cancel(AbortWaitSeconds);
            reply(Abort, true);
        }
        m_loggedIn = false;
        return false;
    default:
        return true;
    }
}
