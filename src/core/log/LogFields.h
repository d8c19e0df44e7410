#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// The fields of one log entry as slices of the log's bytes, as the parser finds them. Nothing is
// copied: the fields stay valid as long as the bytes do.
struct LogFields
{
    QByteArrayView recipe, from, subject, to, sender, folder, size;
    // The date as written in the envelope line; `month` is 1 to 12, 0 when the name is not one.
    QByteArrayView day, time, year;
    int month = 0;
    bool dateKnown = false;
    bool centuryNineteen = false;

    // The subject without one leading "Re:" (any case) and the blanks after it.
    QByteArrayView SubjectSortKey() const;
    // The size as a number: digits only, saturating; 0 when the size is not a number.
    quint64 SizeValue() const;

    // "unknown", or the date in format 0 (month day year), 1 (day month year) or 2 (year month
    // day) with the time; `separator` replaces each '/' (an empty one leaves the '/'). The text
    // comes as pieces that run together; the count is returned.
    static constexpr int MaxDateTextPieces = 8;
    int DateTextPieces(QByteArrayView pieces[MaxDateTextPieces], int format, QByteArrayView separator) const;
    void AppendDateText(QByteArray* out, int format, QByteArrayView separator) const;
    // "unknown", or four-digit year, month, day and hours:minutes run together, as pieces.
    static constexpr int MaxDateKeyPieces = 6;
    int DateSortKeyPieces(QByteArrayView pieces[MaxDateKeyPieces]) const;
};
