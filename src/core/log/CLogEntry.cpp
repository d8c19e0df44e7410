#include "core/log/CLogEntry.h"

namespace {

const char* const kMonthDigits[13] = {"00", "01", "02", "03", "04", "05", "06",
                                      "07", "08", "09", "10", "11", "12"};

void appendSeparated(QByteArray* out, QByteArrayView a, QByteArrayView b, QByteArrayView c,
                     QByteArrayView separator)
{
    const QByteArrayView slash = separator.isEmpty() ? QByteArrayView("/") : separator;
    out->append(a);
    out->append(slash);
    out->append(b);
    out->append(slash);
    out->append(c);
}

} // namespace

QByteArray CLogEntry::DateText(int format, QByteArrayView separator) const
{
    if (!m_dateKnown)
        return QByteArrayLiteral("unknown");
    const QByteArrayView month(kMonthDigits[m_month], 2);
    QByteArray day;
    if (m_day.length == 1)
        day.append('0');
    day.append(DayPiece());
    const QByteArrayView year = Slice(m_year);
    QByteArray text;
    text.reserve(16 + day.size());
    switch (format) {
    case 1:
        appendSeparated(&text, day, month, year, separator);
        break;
    case 2:
        appendSeparated(&text, year, month, day, separator);
        break;
    default:
        appendSeparated(&text, month, day, year, separator);
        break;
    }
    text.append(' ');
    text.append(Slice(m_time));
    return text;
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
