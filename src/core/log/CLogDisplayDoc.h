#pragma once

#include "core/log/CLogColourRules.h"
#include "core/log/CLogEntry.h"
#include "core/log/CLogEntryStore.h"
#include "core/log/MappedLogFile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// A procmail log read into entries: procmail's own abstracts (envelope line, optional subject
// line, folder line) and the longer entries that our recipes write in front of them (recipe
// name, To and From lines). Every other line is kept as unparsed data with its line number.
// The file is mapped, not copied; entries say where their lines are in it. After opening, only
// the order of the entries (sorting) and their colours change.
class CLogDisplayDoc
{
public:
    // Called while a file is read and parsed; `done` runs from 0 to `total`. Returning false
    // cancels: the entries read so far stay, the rest is neither parsed nor listed.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    struct UnparsedLine
    {
        qint64 number = 0; // 1-based line number in the file
        QByteArrayView text;
    };

    CLogDisplayDoc();
    CLogDisplayDoc(const CLogDisplayDoc&) = delete;
    CLogDisplayDoc& operator=(const CLogDisplayDoc&) = delete;

    // Reads the date format, the separator and the colour rules from the settings, then reads
    // and parses the file up to the length it has now. Returns true even when parsing stopped
    // early: on cancel what was read by then stays; a file that became shorter meanwhile keeps
    // what lies in the bytes it still has, and ErrorText() says so. Anything but a regular file
    // is refused before it is opened (LogFileCheck), with ErrorText() saying why.
    bool Open(const QString& path, const Progress& progress = Progress());
    // The same on bytes already in memory (the document keeps them).
    void OpenData(const QByteArray& data, const Progress& progress = Progress());

    QString Path() const { return m_path; }
    // Empty, or why the file could not be opened or read completely.
    QString ErrorText() const { return m_error; }
    bool WasCancelled() const { return m_cancelled; }

    qsizetype GetEntryCount() const { return static_cast<qsizetype>(m_order.size()); }
    // The entry at a position of the current order.
    const CLogEntry& GetEntry(qsizetype index) const
    {
        return m_entries.At(m_order[static_cast<size_t>(index)]);
    }
    // Every unparsed line as "Line %ld:  " + text + "\r\n".
    QByteArray GetUnparsedText() const;
    qint64 GetUnparsedCount() const { return static_cast<qint64>(m_unparsed.size()); }
    UnparsedLine GetUnparsedLine(qsizetype i) const;

    // Reorders the entries by column 0 to 7; other columns and an empty list stay as they are.
    void SortEntries(int column, bool ascending);
    // First position at or after `start` whose subject, envelope sender, From, To, date text,
    // size, recipe name or folder contains `text`; -1 when none does. `progress` hears of the
    // entries searched so far against those to search; when it returns false the search stops,
    // -1 comes back and `cancelled` (when given) is set.
    qsizetype FindEntry(const QString& text, qsizetype start, bool matchCase,
        const Progress& progress = Progress(), bool* cancelled = nullptr) const;
    // Reloads the colour rules from the settings and colours every entry again.
    void RecolourEntries();
    void SetColourRules(const CLogColourRules& rules);
    quint32 EntryColour(qsizetype index) const { return GetEntry(index).Colour(); }

    int DateFormat() const { return m_dateFormat; }
    QByteArray DateSeparator() const { return m_separator; }
    // Overrides what Open read from the settings (before opening).
    void SetDateFormat(int format, const QString& separator);
    QByteArray DateText(const CLogEntry& entry) const { return entry.DateText(m_dateFormat, m_separator); }
    // A cell of the list: column 0 to 7 of the entry at a position, as display text; with a
    // limit, at most that many bytes of the field (cut at a character boundary).
    QString CellText(qsizetype index, int column, qsizetype limit = -1) const;

private:
    struct Unparsed
    {
        qint64 number;
        const char* text;
        qsizetype length;
    };
    class Reader;

    void Clear();
    void ReadSettings();
    void Parse(const char* data, qint64 length, const Progress& progress);

    QString m_path;
    QString m_error;
    bool m_cancelled = false;
    MappedLogFile m_file;
    QByteArray m_data; // the bytes given to OpenData
    CLogEntryStore m_entries;
    std::vector<quint32> m_order;
    std::vector<Unparsed> m_unparsed;
    CLogColourRules m_rules;
    int m_dateFormat = 0;
    QByteArray m_separator = QByteArrayLiteral("/");
    bool m_settingsOverridden = false;
};
