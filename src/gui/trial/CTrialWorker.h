#pragma once

#include "core/trial/CTrialRun.h"

#include <QObject>

#include <functional>
#include <memory>

// Runs one dry run on a thread of its own, so that the window stays usable while procmail works.
// Stop forgets the run at once and tells it to stop: its thread ends within a fraction of a second,
// with whatever procmail started, and then removes its throwaway folder. A worker destroyed
// during a run stops it the same way.
class CTrialWorker : public QObject
{
    Q_OBJECT

public:
    struct Outcome
    {
        bool ok = false;
        CTrialRun::Result result;
        QString error;
    };
    using Done = std::function<void(const Outcome& outcome)>;

    explicit CTrialWorker(QObject* parent = nullptr);
    ~CTrialWorker() override;

    // Starts a run; a run still going is stopped first. `done` is called on this object's
    // thread, unless the run was stopped.
    void Start(const QByteArray& recipeText, const QByteArray& message, Done done);
    void Stop();
    bool IsRunning() const { return static_cast<bool>(m_current); }
    // Runs not yet ended, forgotten ones included.
    static int ThreadsRunning();

private:
    struct Run;
    std::shared_ptr<Run> m_current;
};
