#include "core/log/CLogEntry.h"

#include "core/log/CLogParser.h"

LogFields CLogEntry::Fields() const
{
    LogFields fields;
    CLogParser::ReadEntry(m_base, m_base + m_length, &fields);
    return fields;
}

LogFields CLogEntry::Parts(unsigned parts) const
{
    LogFields fields;
    CLogParser::ReadParts(m_base, m_base + m_length, parts, &fields);
    return fields;
}

QByteArray CLogEntry::DateText(int format, QByteArrayView separator) const
{
    QByteArray text;
    Fields().AppendDateText(&text, format, separator);
    return text;
}

QByteArray CLogEntry::DateSortKey() const
{
    QByteArrayView pieces[MaxDateKeyPieces];
    const int n = Fields().DateSortKeyPieces(pieces);
    QByteArray key;
    for (int i = 0; i < n; ++i)
        key.append(pieces[i]);
    return key;
}

QByteArray CLogEntry::ColumnText(
    const LogFields& fields, int column, int dateFormat, QByteArrayView separator)
{
    switch (column) {
    case RecipeNameColumn:
        return fields.recipe.toByteArray();
    case HeaderFromColumn:
        return fields.from.toByteArray();
    case SubjectColumn:
        return fields.subject.toByteArray();
    case HeaderToColumn:
        return fields.to.toByteArray();
    case DateColumn: {
        QByteArray text;
        fields.AppendDateText(&text, dateFormat, separator);
        return text;
    }
    case EnvelopeSenderColumn:
        return fields.sender.toByteArray();
    case FolderColumn:
        return fields.folder.toByteArray();
    case SizeColumn:
        return fields.size.toByteArray();
    default:
        return QByteArray();
    }
}
