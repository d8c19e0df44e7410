#include "core/log/LogFields.h"

#include "core/common/DateText.h"
#include "core/log/LogText.h"

namespace {

const char* const kMonthDigits[13]
    = { "00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12" };

} // namespace

QByteArrayView LogFields::SubjectSortKey() const
{
    if (subject.size() < 3 || LogText::Fold(static_cast<unsigned char>(subject[0])) != 'r'
        || LogText::Fold(static_cast<unsigned char>(subject[1])) != 'e' || subject[2] != ':')
        return subject;
    qsizetype skip = 3;
    while (skip < subject.size() && subject[skip] == ' ')
        ++skip;
    return subject.sliced(skip);
}

quint64 LogFields::SizeValue() const
{
    quint64 value = 0;
    for (char c : size) {
        if (c < '0' || c > '9')
            return 0;
        const quint64 digit = static_cast<quint64>(c - '0');
        if (value > (~quint64(0) - digit) / 10)
            return ~quint64(0);
        value = value * 10 + digit;
    }
    return value;
}

int LogFields::DateTextPieces(
    QByteArrayView pieces[MaxDateTextPieces], int format, QByteArrayView separator) const
{
    if (!dateKnown) {
        pieces[0] = QByteArrayView("unknown");
        return 1;
    }
    const QByteArrayView monthDigits(kMonthDigits[month], 2);
    // A one-character day is written with a leading zero.
    const QByteArrayView paddedDay = day.size() == 1 ? DateText::PaddedDay(day.front()) : day;
    DateText::Arrange(pieces, DateText::OrderOf(format), paddedDay, monthDigits, year, separator);
    int n = DateText::PieceCount;
    pieces[n++] = QByteArrayView(" ");
    pieces[n++] = time;
    return n;
}

void LogFields::AppendDateText(QByteArray* out, int format, QByteArrayView separator) const
{
    QByteArrayView pieces[MaxDateTextPieces];
    const int n = DateTextPieces(pieces, format, separator);
    for (int i = 0; i < n; ++i)
        out->append(pieces[i]);
}

int LogFields::DateSortKeyPieces(QByteArrayView pieces[MaxDateKeyPieces]) const
{
    if (!dateKnown) {
        pieces[0] = QByteArrayView("unknown");
        return 1;
    }
    int n = 0;
    pieces[n++] = centuryNineteen ? QByteArrayView("19") : QByteArrayView("20");
    pieces[n++] = year;
    pieces[n++] = QByteArrayView(kMonthDigits[month], 2);
    if (day.size() == 1)
        pieces[n++] = QByteArrayView("0");
    pieces[n++] = day;
    pieces[n++] = time;
    return n;
}
