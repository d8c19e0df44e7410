#pragma once

#include <QDateTime>

#include <optional>

// Wall time and the millisecond tick count, in one place so tests can set both.
class Clock
{
public:
    static QDateTime Now();
    // Milliseconds since an arbitrary start, wrapping like a 32-bit tick counter.
    static quint32 TickCount();

    // Test seams: a fixed wall time (and ticks); reset with std::nullopt.
    static void SetNow(std::optional<QDateTime> now);
    static void SetTickCount(std::optional<quint32> ticks);
};
