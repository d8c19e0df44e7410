#include "gui/trial/CTrialWorker.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace {

std::atomic<int> g_threads { 0 };

} // namespace

struct CTrialWorker::Run
{
    CTrialRun::Request request;
    std::atomic<bool> stop { false };
    Outcome outcome;
};

CTrialWorker::CTrialWorker(QObject* parent)
    : QObject(parent)
{
}

void CTrialWorker::Start(const QByteArray& recipeText, const QByteArray& message, Done done)
{
    Stop();
    auto run = std::make_shared<Run>();
    run->request.recipes = recipeText;
    run->request.message = message;
    run->request.stop = &run->stop;
    m_current = run;
    ++g_threads;
    QThread* thread = QThread::create([run] {
        run->outcome.ok = CTrialRun::Run(run->request, &run->outcome.result, &run->outcome.error);
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
    // A run still going when the program quits is stopped and waited for, so that its throwaway
    // folder goes.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, thread, [thread, run] {
            run->stop = true;
            thread->wait();
        });
    thread->start();
}

CTrialWorker::~CTrialWorker()
{
    Stop();
}

void CTrialWorker::Stop()
{
    if (m_current)
        m_current->stop = true;
    m_current.reset();
}

int CTrialWorker::ThreadsRunning()
{
    return g_threads;
}
