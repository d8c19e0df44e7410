#include "gui/trial/CTrialWorker.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace {

std::atomic<int> g_threads { 0 };

} // namespace

struct CTrialWorker::Run
{
    QByteArray recipeText;
    QByteArray message;
    Outcome outcome;
};

CTrialWorker::CTrialWorker(QObject* parent)
    : QObject(parent)
{
}

void CTrialWorker::Start(const QByteArray& recipeText, const QByteArray& message, Done done)
{
    auto run = std::make_shared<Run>();
    run->recipeText = recipeText;
    run->message = message;
    m_current = run;
    ++g_threads;
    QThread* thread = QThread::create([run] {
        run->outcome.ok
            = CTrialRun::Run(run->recipeText, run->message, &run->outcome.result, &run->outcome.error);
        --g_threads;
    });
    // Connected with this object as context: a worker that is gone gets no call, and the thread
    // still deletes itself.
    connect(thread, &QThread::finished, this, [this, run, done = std::move(done)] {
        if (m_current != run)
            return;
        m_current.reset();
        done(run->outcome);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    // A run still going when the program quits is waited for, so that its throwaway folder goes.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, thread, [thread] { thread->wait(); });
    thread->start();
}

void CTrialWorker::Stop()
{
    m_current.reset();
}

int CTrialWorker::ThreadsRunning()
{
    return g_threads;
}
