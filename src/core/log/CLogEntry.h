#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// One delivery read from a procmail log. An entry holds no text of its own: every field is a
// slice of the document's copy of the file, and the sort keys (subject key, numeric size, date
// parts) are fixed when the entry is made. A million entries then cost little more than the file.
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

    QByteArrayView RecipeName() const { return Slice(m_recipe); }
    QByteArrayView HeaderFrom() const { return Slice(m_from); }
    QByteArrayView Subject() const { return Slice(m_subject); }
    QByteArrayView HeaderTo() const { return Slice(m_to); }
    QByteArrayView EnvelopeSender() const { return Slice(m_sender); }
    QByteArrayView Folder() const { return Slice(m_folder); }
    QByteArrayView Size() const { return Slice(m_size); }
    // The subject without one leading "Re:" (any case) and the blanks after it.
    QByteArrayView SubjectSortKey() const { return Slice(m_subject).sliced(m_subjectKeySkip); }
    // The size as a number: digits only, saturating; 0 when the size is not a number.
    quint64 SizeValue() const { return m_sizeValue; }
    bool HasDate() const { return m_dateKnown != 0; }
    // "unknown", or the date in format 0 (month day year), 1 (day month year) or 2 (year month
    // day) with the time; `separator` replaces each '/' (an empty one leaves the '/').
    QByteArray DateText(int format, QByteArrayView separator) const;
    void AppendDateText(QByteArray* out, int format, QByteArrayView separator) const;
    static constexpr int MaxDateTextPieces = 8;
    // The date text as pieces that run together; returns how many.
    int DateTextPieces(QByteArrayView pieces[MaxDateTextPieces], int format, QByteArrayView separator) const;
    // "unknown", or four-digit year, month, day and hours:minutes run together.
    QByteArray DateSortKey() const;
    static constexpr int MaxDateKeyPieces = 6;
    // The date sort key as pieces that run together; returns how many.
    int DateSortKeyPieces(QByteArrayView pieces[MaxDateKeyPieces]) const;
    // RGB colour as 0x00RRGGBB, or AutomaticColour.
    quint32 Colour() const { return m_colour; }
    // 1-based number of the entry's first line in the file.
    qint64 LineNumber() const { return m_lineNumber; }
    // The field of a column as text (the date in the given format); the size as written.
    QByteArray ColumnText(int column, int dateFormat, QByteArrayView separator) const;

private:
    friend class CLogDisplayDoc;

    struct Span
    {
        quint32 offset = 0;
        quint32 length = 0;
    };

    QByteArrayView Slice(Span span) const { return QByteArrayView(m_base + span.offset, span.length); }
    QByteArrayView DayPiece() const { return Slice(m_day); }

    const char* m_base = nullptr; // first byte of the entry's first line
    qint64 m_lineNumber = 0;
    quint64 m_sizeValue = 0;
    Span m_recipe, m_from, m_subject, m_to, m_sender, m_folder, m_size;
    Span m_day, m_time, m_year;
    quint32 m_subjectKeySkip = 0;
    quint32 m_colour = AutomaticColour;
    quint8 m_month = 0; // 1 to 12; 0 when the name is not a month
    quint8 m_dateKnown = 0;
    bool m_centuryNineteen = false;
};
