#include "core/log/CLogEntry.h"

#include "core/common/DateText.h"

namespace {

const char* const kMonthDigits[13]
    = { "00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12" };

} // namespace

QByteArray CLogEntry::DateText(int format, QByteArrayView separator) const
{
    QByteArray text;
    AppendDateText(&text, format, separator);
    return text;
}

void CLogEntry::AppendDateText(QByteArray* out, int format, QByteArrayView separator) const
{
    QByteArrayView pieces[MaxDateTextPieces];
    const int n = DateTextPieces(pieces, format, separator);
    for (int i = 0; i < n; ++i)
        out->append(pieces[i]);
}

int CLogEntry::DateTextPieces(
    QByteArrayView pieces[MaxDateTextPieces], int format, QByteArrayView separator) const
{
    if (!m_dateKnown) {
        pieces[0] = QByteArrayView("unknown");
        return 1;
    }
    const QByteArrayView month(kMonthDigits[m_month], 2);
    const QByteArrayView year = Slice(m_year);
    // A one-character day is written with a leading zero.
    const QByteArrayView day = m_day.length == 1 ? DateText::PaddedDay(DayPiece().front()) : DayPiece();
    DateText::Arrange(pieces, DateText::OrderOf(format), day, month, year, separator);
    int n = DateText::PieceCount;
    pieces[n++] = QByteArrayView(" ");
    pieces[n++] = Slice(m_time);
    return n;
}

int CLogEntry::DateSortKeyPieces(QByteArrayView pieces[MaxDateKeyPieces]) const
{
    if (!m_dateKnown) {
        pieces[0] = QByteArrayView("unknown");
        return 1;
    }
    int n = 0;
    pieces[n++] = m_centuryNineteen ? QByteArrayView("19") : QByteArrayView("20");
    pieces[n++] = Slice(m_year);
    pieces[n++] = QByteArrayView(kMonthDigits[m_month], 2);
    if (m_day.length == 1)
        pieces[n++] = QByteArrayView("0");
    pieces[n++] = DayPiece();
    pieces[n++] = Slice(m_time);
    return n;
}

QByteArray CLogEntry::DateSortKey() const
{
    QByteArrayView pieces[MaxDateKeyPieces];
    const int n = DateSortKeyPieces(pieces);
    QByteArray key;
    for (int i = 0; i < n; ++i)
        key.append(pieces[i]);
    return key;
}

QByteArray CLogEntry::ColumnText(int column, int dateFormat, QByteArrayView separator) const
{
    switch (column) {
    case RecipeNameColumn:
        return RecipeName().toByteArray();
    case HeaderFromColumn:
        return HeaderFrom().toByteArray();
    case SubjectColumn:
        return Subject().toByteArray();
    case HeaderToColumn:
        return HeaderTo().toByteArray();
    case DateColumn:
        return DateText(dateFormat, separator);
    case EnvelopeSenderColumn:
        return EnvelopeSender().toByteArray();
    case FolderColumn:
        return Folder().toByteArray();
    case SizeColumn:
        return Size().toByteArray();
    default:
        return QByteArray();
    }
}
