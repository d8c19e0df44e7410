#include "core/common/Clock.h"

#include <QElapsedTimer>

#include <mutex>

namespace {

std::mutex g_mutex;
std::optional<QDateTime> g_now;
std::optional<quint32> g_ticks;

} // namespace

QDateTime Clock::Now()
{
    std::lock_guard lock(g_mutex);
    return g_now ? *g_now : QDateTime::currentDateTime();
}

quint32 Clock::TickCount()
{
    {
        std::lock_guard lock(g_mutex);
        if (g_ticks)
            return *g_ticks;
    }
    static const qint64 start = QDateTime::currentMSecsSinceEpoch();
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<quint32>(static_cast<quint64>(start + timer.elapsed()));
}

void Clock::SetNow(std::optional<QDateTime> now)
{
    std::lock_guard lock(g_mutex);
    g_now = std::move(now);
}

void Clock::SetTickCount(std::optional<quint32> ticks)
{
    std::lock_guard lock(g_mutex);
    g_ticks = ticks;
}
