#pragma once

#include "core/log/LogFields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// One delivery read from a procmail log. An entry holds no text and no field positions of its
// own, only where its lines are in the document's log: its fields are read again from there when
// asked for (a few short lines), so that a million entries cost 16 bytes each beside the file.
class CLogEntry
{
public:
    // Column numbers shared by the document, the sort and the view.
    enum Column {
        RecipeNameColumn = 0,
        HeaderFromColumn = 1,
        SubjectColumn = 2,
        HeaderToColumn = 3,
        DateColumn = 4,
        EnvelopeSenderColumn = 5,
        FolderColumn = 6,
        SizeColumn = 7,
        ColumnCount = 8
    };

    // The colour value that means "the normal text colour".
    static constexpr quint32 AutomaticColour = 0xFF000000u;

    CLogEntry() = default;
    CLogEntry(const char* begin, quint32 length, quint32 colour)
        : m_base(begin)
        , m_length(length)
        , m_colour(colour)
    {
    }

    // All fields at once, for a reader of several.
    LogFields Fields() const;
    // Only the fields of some parts (a set of CLogParser::Part); the others are empty.
    LogFields Parts(unsigned parts) const;
    // The entry's lines as they stand in the log.
    QByteArrayView Text() const { return QByteArrayView(m_base, m_length); }

    QByteArrayView RecipeName() const { return Fields().recipe; }
    QByteArrayView HeaderFrom() const { return Fields().from; }
    QByteArrayView Subject() const { return Fields().subject; }
    QByteArrayView HeaderTo() const { return Fields().to; }
    QByteArrayView EnvelopeSender() const { return Fields().sender; }
    QByteArrayView Folder() const { return Fields().folder; }
    QByteArrayView Size() const { return Fields().size; }
    // The subject without one leading "Re:" (any case) and the blanks after it.
    QByteArrayView SubjectSortKey() const { return Fields().SubjectSortKey(); }
    // The size as a number: digits only, saturating; 0 when the size is not a number.
    quint64 SizeValue() const { return Fields().SizeValue(); }
    bool HasDate() const { return Fields().dateKnown; }
    // "unknown", or the date in format 0 (month day year), 1 (day month year) or 2 (year month
    // day) with the time; `separator` replaces each '/' (an empty one leaves the '/').
    QByteArray DateText(int format, QByteArrayView separator) const;
    static constexpr int MaxDateTextPieces = LogFields::MaxDateTextPieces;
    static constexpr int MaxDateKeyPieces = LogFields::MaxDateKeyPieces;
    // "unknown", or four-digit year, month, day and hours:minutes run together.
    QByteArray DateSortKey() const;
    // RGB colour as 0x00RRGGBB, or AutomaticColour.
    quint32 Colour() const { return m_colour; }
    void SetColour(quint32 colour) { m_colour = colour; }
    // The field of a column as text (the date in the given format); the size as written.
    static QByteArray ColumnText(
        const LogFields& fields, int column, int dateFormat, QByteArrayView separator);

private:
    const char* m_base = nullptr; // first byte of the entry's first line
    quint32 m_length = 0;
    quint32 m_colour = AutomaticColour;
};
