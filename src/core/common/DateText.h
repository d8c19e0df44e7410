#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QDateTime;

// The date texts of lists (log entries, uploaded files): day, month and year in the order the
// user chose, joined by the separator the user chose.
namespace DateText {

// The orders of the "Date Format" setting; any other value means month/day/year.
enum Order { MonthDayYear = 0, DayMonthYear = 1, YearMonthDay = 2 };
Order OrderOf(int setting);

// The separator as UTF-8: the first character of the user's text, kept whole when it lies outside
// the Basic Multilingual Plane; "/" when the text is empty.
QByteArray Separator(const QString& setting);

// Day, month and year in `order` with the separator between them, as five pieces; an empty
// separator means "/".
constexpr int PieceCount = 5;
void Arrange(QByteArrayView pieces[PieceCount], Order order, QByteArrayView day, QByteArrayView month,
    QByteArrayView year, QByteArrayView separator);

// A one-character day with a leading zero ("7" gives "07"), without allocating. Any byte is
// padded, so whatever a damaged log holds stays visible in the date.
QByteArrayView PaddedDay(char day);

// "MM/dd/yy HH:mm" arranged by the order and separator settings; empty for an invalid time.
QString Format(const QDateTime& time, int orderSetting, const QString& separatorSetting);

} // namespace DateText
