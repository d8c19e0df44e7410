#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// The saved copies in the host's backup folder, read from the server's long listing (the lines of
// "ls -l"): plain files whose name begins with MSGPREFIX, each with a short date text.
namespace BackupListing {

struct Entry
{
    QString name;
    QString date; // "unknown" when the listing gives none
    bool operator==(const Entry&) const = default;
};

// `dateFormat` 0 month/day/year, 1 day/month/year, 2 year/month/day (others count as 0); the
// first character of `separator` replaces each "/"; `today` decides the year of entries that show
// a time instead of a year.
QList<Entry> Parse(const QList<QByteArray>& lines, const QString& prefix, int dateFormat,
    const QString& separator, const QDate& today);

// The date text of one listing line, or an empty text.
QString DateText(const QByteArray& line, int dateFormat, const QString& separator, const QDate& today);

// A key that sorts date texts in time order: four-digit year (90-99 are 19xx), month, day, hours
// and minutes. A text of up to 13 characters is its own key.
QString DateSortKey(const QString& date, int dateFormat);

} // namespace BackupListing
