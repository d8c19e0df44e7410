#include "gui/mail/WorkerWait.h"

#include "gui/common/CWorkingDlg.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int PollIntervalMs = 100;

void waitOneInterval()
{
    QEventLoop loop;
    QTimer::singleShot(PollIntervalMs, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

bool WaitForWorker(CWorkingDlg& dialog, const std::function<bool()>& busy,
    const std::function<void()>& cancel, const std::function<void()>& tick, int graceMs)
{
    bool canceled = false;
    QElapsedTimer sinceCancel;
    while (busy()) {
        if (!canceled && dialog.CheckCancel()) {
            canceled = true;
            cancel();
            sinceCancel.start();
        }
        if (canceled && sinceCancel.elapsed() >= graceMs)
            break;
        if (tick)
            tick();
        waitOneInterval();
    }
    return canceled;
}
