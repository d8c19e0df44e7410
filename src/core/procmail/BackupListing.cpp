#include "core/procmail/BackupListing.h"

#include <QStringList>

namespace {

const char* const Months[12]
    = { "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC" };

int clampFormat(int format)
{
    return format >= 0 && format <= 2 ? format : 0;
}

// Removes the first column (after trimming leading blanks) and returns it; false when no blank
// follows it.
bool takeColumn(QByteArray* rest, QByteArray* column)
{
    qsizetype start = 0;
    while (start < rest->size() && rest->at(start) == ' ')
        ++start;
    const qsizetype blank = rest->indexOf(' ', start);
    if (blank < 0)
        return false;
    *column = rest->mid(start, blank - start);
    *rest = rest->mid(blank + 1);
    return true;
}

} // namespace

QString BackupListing::DateText(
    const QByteArray& line, int dateFormat, const QString& separator, const QDate& today)
{
    QByteArray rest = line;
    QByteArray columns[8];
    for (QByteArray& column : columns) {
        if (!takeColumn(&rest, &column))
            return QString();
    }
    int month = 0;
    const QByteArray monthName = columns[5].left(3).toUpper();
    for (int i = 0; i < 12; ++i) {
        if (monthName == Months[i])
            month = i + 1;
    }
    if (month == 0)
        return QString();
    QString day = QString::fromLatin1(columns[6]);
    if (day.size() == 1)
        day.prepend(QLatin1Char('0'));
    QString year;
    QString time;
    if (columns[7].contains(':')) {
        time = QString::fromLatin1(columns[7]);
        // A time stands for a date within the last year: a month after this one is last year's.
        const int value = today.year() - (month > today.month() ? 2001 : 2000);
        year = QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    } else {
        if (columns[7].size() != 4)
            return QString();
        year = QString::fromLatin1(columns[7].right(2));
        time = QStringLiteral("00:00");
    }
    const QString monthText = QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
    QString text;
    switch (clampFormat(dateFormat)) {
    case 1:
        text = QStringLiteral("%1/%2/%3 %4").arg(day, monthText, year, time);
        break;
    case 2:
        text = QStringLiteral("%1/%2/%3 %4").arg(year, monthText, day, time);
        break;
    default:
        text = QStringLiteral("%1/%2/%3 %4").arg(monthText, day, year, time);
        break;
    }
    if (!separator.isEmpty())
        text.replace(QLatin1Char('/'), separator.at(0));
    return text;
}

QList<BackupListing::Entry> BackupListing::Parse(const QList<QByteArray>& lines, const QString& prefix,
    int dateFormat, const QString& separator, const QDate& today)
{
    QList<Entry> entries;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        // Only plain files: a directory or link named like a copy is no copy.
        if (line.isEmpty() || line.at(0) != '-')
            continue;
        QByteArray rest = line;
        QByteArray column;
        bool complete = true;
        for (int i = 0; i < 8 && complete; ++i)
            complete = takeColumn(&rest, &column);
        if (!complete)
            continue;
        const QString name = QString::fromUtf8(rest);
        // A listing of one folder never names a path; a server that does would have the user
        // view or delete a file elsewhere.
        if (prefix.isEmpty() || !name.startsWith(prefix) || name.contains(QLatin1Char('/')))
            continue;
        const QString date = DateText(line, dateFormat, separator, today);
        entries.append({ name, date.isEmpty() ? QStringLiteral("unknown") : date });
    }
    return entries;
}

QString BackupListing::DateSortKey(const QString& date, int dateFormat)
{
    if (date.size() <= 13)
        return date;
    const QString first = date.mid(0, 2);
    const QString second = date.mid(3, 2);
    const QString third = date.mid(6, 2);
    QString month = first;
    QString day = second;
    QString year = third;
    switch (clampFormat(dateFormat)) {
    case 1:
        day = first;
        month = second;
        break;
    case 2:
        year = first;
        month = second;
        day = third;
        break;
    default:
        break;
    }
    year.prepend(year.toInt() < 90 ? QStringLiteral("20") : QStringLiteral("19"));
    QString withoutColons = date;
    withoutColons.remove(QLatin1Char(':'));
    return year + month + day + withoutColons.right(4);
}
