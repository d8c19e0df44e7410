#include "core/log/CLogDisplayDoc.h"

#include "core/common/DateText.h"
#include "core/common/RegularFileCheck.h"
#include "core/log/CLogEntrySorter.h"
#include "core/log/CLogParser.h"
#include "core/log/LogText.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"

#include <climits>
#include <cstring>

// Keeps what the parser finds in one piece of the log: entries as positions, unparsed lines as
// slices with their numbers in the piece.
class CLogDisplayDoc::Reader : public CLogParser::Handler
{
public:
    explicit Reader(const CLogColourRules& rules)
        : m_rules(rules)
        , m_parts(rules.Parts())
    {
    }
    // Only what the colour rules read is taken apart: the entry itself is kept as a position.
    unsigned Parts() const override { return m_parts; }
    bool Entry(const LogFields& fields, const char* begin, const char* end) override
    {
        const quint32 colour = m_rules.Rules().isEmpty() ? CLogEntry::AutomaticColour : m_rules.Apply(fields);
        m_entries.push_back(CLogEntry(begin, static_cast<quint32>(end - begin), colour));
        return true;
    }
    void Unparsed(qint64 number, const char* text, qsizetype length) override
    {
        m_unparsed.push_back(CLogDisplayDoc::Unparsed { number, text, length });
    }

    const CLogColourRules& m_rules;
    const unsigned m_parts;
    std::vector<CLogEntry> m_entries;
    std::vector<CLogDisplayDoc::Unparsed> m_unparsed;
};

CLogDisplayDoc::CLogDisplayDoc() = default;

void CLogDisplayDoc::Clear()
{
    m_error.clear();
    m_cancelled = false;
    m_entries.Clear();
    m_order.clear();
    m_unparsed.clear();
    m_file.Close();
    m_data.clear();
}

void CLogDisplayDoc::ReadSettings()
{
    if (!m_settingsOverridden) {
        int format = GetSetting(Settings::LogDateFormat);
        if (format < 0 || format > 2)
            format = 0;
        SetDateFormat(format, GetSettingString(Settings::LogDateSeparator));
        m_settingsOverridden = false;
    }
    m_rules.Load();
}

void CLogDisplayDoc::SetDateFormat(int format, const QString& separator)
{
    m_dateFormat = DateText::OrderOf(format);
    m_separator = DateText::Separator(separator);
    m_settingsOverridden = true;
}

bool CLogDisplayDoc::Open(const QString& path, const Progress& progress)
{
    Clear();
    m_path = path;
    ReadSettings();

    if (!RegularFileCheck::CanRead(path, QStringLiteral("as a log"), &m_error))
        return true;
    // The length taken now bounds the read, so a log that grows meanwhile cannot keep us busy.
    if (!m_file.Open(path, &m_error))
        return true;
    Parse(m_file.Data(), m_file.Length(), progress);
    return true;
}

void CLogDisplayDoc::OpenData(const QByteArray& data, const Progress& progress)
{
    Clear();
    m_path.clear();
    ReadSettings();
    m_data = data;
    Parse(m_data.constData(), m_data.size(), progress);
}

void CLogDisplayDoc::Parse(const char* data, qint64 length, const Progress& progress)
{
    // Pieces small enough for progress to move and Cancel to stop the parse soon.
    CLogParser::Pieces pieces;
    pieces.bytes = qMax<qint64>(256, length / 2000);
    pieces.threads = CLogParser::Threads();
    pieces.progress = progress;
    pieces.make = [this] { return std::make_unique<Reader>(m_rules); };
    pieces.take = [this](CLogParser::Handler& handler, qint64 firstLine) {
        auto& piece = static_cast<Reader&>(handler);
        if (m_entries.Count() + piece.m_entries.size() > static_cast<quint32>(INT_MAX))
            return false;
        for (const CLogEntry& entry : piece.m_entries)
            m_entries.Append(entry);
        for (Unparsed line : piece.m_unparsed) {
            line.number += firstLine - 1;
            m_unparsed.push_back(line);
        }
        return true;
    };
    qint64 parsed = length;
    const CLogParser::Ending ending
        = CLogParser::ParseInPieces(data, length, m_file.Data() ? &m_file : nullptr, pieces, &parsed);
    m_cancelled = ending == CLogParser::Ending::Cancelled;
    if (ending == CLogParser::Ending::Stopped)
        m_error = QStringLiteral("The log holds more entries than can be listed; the rest was not read.");
    else if (parsed < length || m_file.Shrunk()) {
        m_error = CLogParser::ShrinkError(m_path, length, parsed);
        // What was read before the file lost it now reads as zeros: only what lies within the
        // bytes the file still has stays listed.
        const char* const end = data + parsed;
        quint32 kept = m_entries.Count();
        while (kept > 0 && m_entries.At(kept - 1).Text().end() > end)
            --kept;
        m_entries.Truncate(kept);
        while (!m_unparsed.empty() && m_unparsed.back().text + m_unparsed.back().length > end)
            m_unparsed.pop_back();
    }
    m_order.resize(m_entries.Count());
    for (quint32 i = 0; i < m_entries.Count(); ++i)
        m_order[i] = i;
}

CLogDisplayDoc::UnparsedLine CLogDisplayDoc::GetUnparsedLine(qsizetype i) const
{
    const Unparsed& u = m_unparsed[static_cast<size_t>(i)];
    return UnparsedLine { u.number, QByteArrayView(u.text, u.length) };
}

QByteArray CLogDisplayDoc::GetUnparsedText() const
{
    qsizetype size = 0;
    for (const Unparsed& u : m_unparsed)
        size += u.length + 32;
    QByteArray text;
    text.reserve(size);
    for (const Unparsed& u : m_unparsed) {
        text.append("Line ");
        text.append(QByteArray::number(u.number));
        text.append(":  ");
        text.append(u.text, u.length);
        text.append("\r\n");
    }
    return text;
}

void CLogDisplayDoc::SortEntries(int column, bool ascending)
{
    if (m_order.empty() || column < 0 || column >= CLogEntry::ColumnCount)
        return;
    CLogEntrySorter::Sort(m_entries, column, ascending, &m_order);
}

void CLogDisplayDoc::SetColourRules(const CLogColourRules& rules)
{
    m_rules = rules;
    const unsigned parts = m_rules.Parts();
    for (quint32 i = 0; i < m_entries.Count(); ++i)
        m_entries.At(i).SetColour(m_rules.Apply(m_entries.At(i).Parts(parts)));
}

void CLogDisplayDoc::RecolourEntries()
{
    CLogColourRules rules;
    rules.Load();
    SetColourRules(rules);
}

qsizetype CLogDisplayDoc::FindEntry(
    const QString& text, qsizetype start, bool matchCase, const Progress& progress, bool* cancelled) const
{
    if (cancelled)
        *cancelled = false;
    const qsizetype count = GetEntryCount();
    if (start < 0)
        start = 0;
    if (start >= count)
        return -1;
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    const QByteArray needle
        = ascii ? (matchCase ? text.toLatin1() : LogText::Folded(text.toLatin1())) : QByteArray();
    const QString lowered = text.toLower();
    auto contains = [&](QByteArrayView field) {
        if (ascii)
            return (matchCase ? LogText::IndexOf(field, needle) : LogText::IndexOfFolded(field, needle)) >= 0;
        if (LogText::IsAscii(field))
            return false;
        const QString decoded = LogText::Decode(field);
        return matchCase ? decoded.contains(text) : decoded.toLower().contains(lowered);
    };
    // Every field but the date is a slice of the entry's lines: an entry whose lines do not hold
    // the text cannot hold it in those fields, which spares reading them. The date text is put
    // together from slices and from digits, separators and blanks of its own, so a text with
    // none of those is in it only where it is in the lines too, or in "unknown".
    bool seekDate = QByteArrayView("unknown").contains(matchCase ? needle : LogText::Folded(needle));
    const QString dateMade = QStringLiteral("0123456789 /") + QString::fromUtf8(m_separator);
    for (QChar c : text)
        seekDate = seekDate || dateMade.contains(c);
    // The date text is put together in one buffer kept from entry to entry.
    QByteArray date;
    auto dateText = [&](const LogFields& f) {
        QByteArrayView pieces[LogFields::MaxDateTextPieces];
        const int n = f.DateTextPieces(pieces, m_dateFormat, m_separator);
        qsizetype size = 0;
        for (int k = 0; k < n; ++k)
            size += pieces[k].size();
        date.resize(size);
        char* out = date.data();
        for (int k = 0; k < n; ++k) {
            if (!pieces[k].isEmpty())
                std::memcpy(out, pieces[k].data(), static_cast<size_t>(pieces[k].size()));
            out += pieces[k].size();
        }
        return QByteArrayView(date);
    };
    auto matches = [&](const CLogEntry& e) {
        const bool inLines = ascii ? contains(e.Text()) : !LogText::IsAscii(e.Text());
        if (!inLines && !seekDate)
            return false;
        const LogFields f = e.Fields();
        return (inLines
                   && (contains(f.subject) || contains(f.sender) || contains(f.from) || contains(f.to)
                       || contains(f.size) || contains(f.recipe) || contains(f.folder)))
            || (seekDate && contains(dateText(f)));
    };

    // The entries just after the start are tried in the list's order, for a match close by.
    // The rest are read in file order, which after a sort is several times faster than jumping
    // about the file, and the match nearest the start wins. Progress is asked for every few
    // thousand entries only, so it costs the loop nothing.
    constexpr qsizetype kNearby = 4096;
    constexpr qsizetype kProgressStep = 4096;
    const qsizetype nearEnd = qMin(count, start + kNearby);
    for (qsizetype i = start; i < nearEnd; ++i) {
        if (matches(GetEntry(i)))
            return i;
    }
    if (nearEnd == count)
        return -1;
    std::vector<quint32> position(static_cast<size_t>(count));
    for (qsizetype p = 0; p < count; ++p)
        position[m_order[static_cast<size_t>(p)]] = static_cast<quint32>(p);
    qsizetype best = count;
    for (qsizetype entry = 0; entry < count; ++entry) {
        if (progress && entry > 0 && entry % kProgressStep == 0) {
            const qint64 done = (nearEnd - start) + entry * (count - nearEnd) / count;
            if (!progress(done, count - start)) {
                if (cancelled)
                    *cancelled = true;
                return -1;
            }
        }
        const qsizetype at = position[static_cast<size_t>(entry)];
        if (at >= nearEnd && at < best && matches(m_entries.At(static_cast<quint32>(entry))))
            best = at;
    }
    return best < count ? best : -1;
}

QString CLogDisplayDoc::CellText(qsizetype index, int column, qsizetype limit) const
{
    const LogFields fields = GetEntry(index).Fields();
    QByteArray text = CLogEntry::ColumnText(fields, column, m_dateFormat, m_separator);
    if (column == CLogEntry::DateColumn)
        return QString::fromUtf8(text);
    if (limit >= 0 && text.size() > limit) {
        qsizetype cut = limit;
        // Not inside a UTF-8 sequence: step back over continuation bytes.
        while (cut > 0 && cut > limit - 4 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.truncate(cut);
    }
    return LogText::Decode(text);
}
