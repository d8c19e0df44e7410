#pragma once

#include <QDateTime>

// A date-time as the data files store it: a status and the days since 30 December 1899, the
// fraction being the local time of day.
struct COleDateTime
{
    enum Status : quint32 { Valid = 0, Invalid = 1, Null = 2 };

    Status status = Null;
    double days = 0.0;

    static COleDateTime FromDateTime(const QDateTime& time);
    QDateTime ToDateTime() const; // invalid unless the status is Valid

    bool operator==(const COleDateTime&) const = default;
};
