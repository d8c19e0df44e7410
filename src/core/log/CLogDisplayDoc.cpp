#include "core/log/CLogDisplayDoc.h"

#include "core/common/DateText.h"
#include "core/common/HugePages.h"
#include "core/common/RegularFileCheck.h"
#include "core/log/CLogEntrySorter.h"
#include "core/log/LogText.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"

#include <QFile>

#include <climits>
#include <cstring>
#include <new>

namespace {

using View = QByteArrayView;

struct Line
{
    const char* p = nullptr;
    qsizetype n = 0;
    View view() const { return View(p, n); }
};

// Lines of a buffer: a line ends with LF, optionally preceded by CR; a last line without LF
// still counts.
class LineCursor
{
public:
    LineCursor(const char* begin, const char* end)
        : m_pos(begin)
        , m_end(end)
    {
    }
    bool Next(Line* line)
    {
        if (m_pos >= m_end)
            return false;
        const auto* lf
            = static_cast<const char*>(std::memchr(m_pos, '\n', static_cast<size_t>(m_end - m_pos)));
        const char* stop = lf ? lf : m_end;
        qsizetype n = stop - m_pos;
        if (lf && n > 0 && stop[-1] == '\r')
            --n;
        line->p = m_pos;
        line->n = n;
        m_pos = lf ? lf + 1 : m_end;
        return true;
    }
    const char* Position() const { return m_pos; }
    void Seek(const char* pos) { m_pos = pos; }

private:
    const char* m_pos;
    const char* m_end;
};

inline bool startsWith(const Line& line, const char* prefix, qsizetype length)
{
    return line.n >= length && std::memcmp(line.p, prefix, static_cast<size_t>(length)) == 0;
}

inline bool isRecipeLine(const Line& l)
{
    return startsWith(l, "RECIPE: ", 8);
}
inline bool isToLine(const Line& l)
{
    return startsWith(l, "TO: ", 4);
}
inline bool isFromLine(const Line& l)
{
    return startsWith(l, "FROM: ", 6);
}
inline bool isEnvelopeLine(const Line& l)
{
    return startsWith(l, "From ", 5);
}
inline bool isFolderLine(const Line& l)
{
    return startsWith(l, "  Folder: ", 10);
}

bool isSubjectLine(const Line& l)
{
    static const char prefix[] = " subject:";
    if (l.n < 9)
        return false;
    for (int i = 0; i < 9; ++i) {
        if (LogText::Fold(static_cast<unsigned char>(l.p[i])) != static_cast<unsigned char>(prefix[i]))
            return false;
    }
    return true;
}

View trimLeadingBlanks(View v)
{
    qsizetype i = 0;
    while (i < v.size() && v[i] == ' ')
        ++i;
    return v.sliced(i);
}

View trimTrailingBlanks(View v)
{
    qsizetype n = v.size();
    while (n > 0 && v[n - 1] == ' ')
        --n;
    return v.first(n);
}

View trimTrailingWhite(View v)
{
    qsizetype n = v.size();
    while (n > 0 && (v[n - 1] == ' ' || v[n - 1] == '\t'))
        --n;
    return v.first(n);
}

qsizetype indexOfBlank(View v)
{
    if (v.isEmpty())
        return -1;
    const void* hit = std::memchr(v.data(), ' ', static_cast<size_t>(v.size()));
    return hit ? static_cast<const char*>(hit) - v.data() : -1;
}

View dropFirst(View v, qsizetype n)
{
    return v.sliced(qMin(n, v.size()));
}

int monthNumber(View name)
{
    static const char* const names[12]
        = { "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC" };
    if (name.size() != 3)
        return 0;
    char upper[3];
    for (int i = 0; i < 3; ++i) {
        const char c = name[i];
        upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
    }
    for (int m = 0; m < 12; ++m) {
        if (std::memcmp(upper, names[m], 3) == 0)
            return m + 1;
    }
    return 0;
}

bool isWeekdayName(View word)
{
    static const char* const days[7] = { "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun" };
    if (word.size() != 3)
        return false;
    for (const char* day : days) {
        if (std::memcmp(word.data(), day, 3) == 0)
            return true;
    }
    return false;
}

bool isMonthName(View word)
{
    static const char* const months[12]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    if (word.size() != 3)
        return false;
    for (const char* month : months) {
        if (std::memcmp(word.data(), month, 3) == 0)
            return true;
    }
    return false;
}

// The C library's reading of a number: blanks, a sign, digits; 0 when there are none.
long leadingNumber(View v)
{
    qsizetype i = 0;
    while (i < v.size() && (v[i] == ' ' || v[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) {
        negative = v[i] == '-';
        ++i;
    }
    long value = 0;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9' && value < 100000000) {
        value = value * 10 + (v[i] - '0');
        ++i;
    }
    return negative ? -value : value;
}

} // namespace

// The fields of the entry being read.
struct CLogDisplayDoc::Current
{
    const char* base = nullptr;
    View recipe, to, from, sender, subject, folder, size;
    View day, time, year;
    int month = 0;
    bool dateKnown = false;
    bool centuryNineteen = false;

    void ParseEnvelope(View text)
    {
        dateKnown = false;
        day = time = year = View();
        month = 0;
        text = trimLeadingBlanks(text);
        const qsizetype blank = indexOfBlank(text);
        if (blank < 0) {
            sender = text;
            return;
        }
        // Only a weekday followed by a month name means the sender is missing; any other
        // three-letter word is a local user's name.
        if (blank == 3 && isWeekdayName(text.first(3))) {
            const View next = trimLeadingBlanks(text.sliced(blank));
            const qsizetype end = indexOfBlank(next);
            if (isMonthName(end < 0 ? next : next.first(end))) {
                sender = text;
                return;
            }
        }
        sender = text.first(blank);
        View rest = trimLeadingBlanks(text.sliced(blank));
        rest = trimLeadingBlanks(dropFirst(rest, 3)); // weekday
        month = monthNumber(rest.first(qMin<qsizetype>(3, rest.size())));
        rest = trimLeadingBlanks(dropFirst(rest, 3));
        qsizetype at = indexOfBlank(rest);
        if (at < 0)
            return;
        day = rest.first(at);
        rest = trimLeadingBlanks(rest.sliced(at));
        at = indexOfBlank(rest);
        if (at < 0)
            return;
        time = rest.first(qMax<qsizetype>(0, at - 3));
        const View tail = trimTrailingBlanks(rest);
        year = tail.last(qMin<qsizetype>(2, tail.size()));
        centuryNineteen = leadingNumber(year) >= 90;
        dateKnown = true;
    }

    void ParseSubject(const Line& line) { subject = trimLeadingBlanks(line.view().sliced(9)); }

    // The size is the run of digits that ends the line after a blank or tab past the prefix,
    // so sizes of eight digits and more (written after a tab) stay whole.
    void ParseFolder(const Line& line)
    {
        const View v = line.view();
        qsizetype digits = v.size();
        while (digits > 10 && v[digits - 1] >= '0' && v[digits - 1] <= '9')
            --digits;
        if (digits < v.size() && digits > 10 && (v[digits - 1] == ' ' || v[digits - 1] == '\t')) {
            size = v.sliced(digits);
            folder = trimTrailingWhite(v.sliced(10, digits - 1 - 10));
        } else {
            size = View();
            folder = trimTrailingWhite(v.sliced(10));
        }
    }
};

namespace {

// Program entry after its recipe line: To, From, envelope, optional subject, folder. Returns the
// number of lines taken after the recipe line, or 0 when the entry breaks off.
template <typename Current> int readProgramRest(LineCursor& lines, Current& cur)
{
    Line line;
    if (!lines.Next(&line) || !isToLine(line))
        return 0;
    cur.to = line.view().sliced(4);
    if (!lines.Next(&line) || !isFromLine(line))
        return 0;
    cur.from = line.view().sliced(6);
    if (!lines.Next(&line) || !isEnvelopeLine(line))
        return 0;
    cur.ParseEnvelope(line.view().sliced(5));
    if (!lines.Next(&line))
        return 0;
    if (isSubjectLine(line)) {
        cur.ParseSubject(line);
        if (!lines.Next(&line) || !isFolderLine(line))
            return 0;
        cur.ParseFolder(line);
        return 5;
    }
    if (!isFolderLine(line))
        return 0;
    cur.subject = View();
    cur.ParseFolder(line);
    return 4;
}

// procmail's abstract after its envelope line.
template <typename Current> int readProcmailRest(LineCursor& lines, Current& cur)
{
    Line line;
    if (!lines.Next(&line))
        return 0;
    int taken = 1;
    if (isSubjectLine(line)) {
        cur.ParseSubject(line);
        if (!lines.Next(&line) || !isFolderLine(line))
            return 0;
        taken = 2;
    } else if (!isFolderLine(line)) {
        return 0;
    } else {
        cur.subject = View();
    }
    cur.ParseFolder(line);
    cur.recipe = cur.from = cur.to = View();
    return taken;
}

quint64 saturatingNumber(View digits)
{
    quint64 value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        const quint64 digit = static_cast<quint64>(c - '0');
        if (value > (~quint64(0) - digit) / 10)
            return ~quint64(0);
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

CLogDisplayDoc::CLogDisplayDoc() = default;

void CLogDisplayDoc::Clear()
{
    m_error.clear();
    m_cancelled = false;
    m_entries.Clear();
    m_order.clear();
    m_unparsed.clear();
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
    m_data.clear();
    ReadSettings();

    if (!RegularFileCheck::CanRead(path, QStringLiteral("as a log"), &m_error))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("%1 could not be opened: %2").arg(path, file.errorString());
        return true;
    }
    // The length taken now bounds the read, so a log that grows meanwhile cannot keep us busy.
    const qint64 length = file.size();
    const qint64 total = 2 * qMax<qint64>(length, 1);
    try {
        m_data.resize(static_cast<qsizetype>(length));
        AdviseHugePages(m_data.data(), m_data.size());
    } catch (const std::bad_alloc&) {
        m_data.clear();
        m_error = QStringLiteral("%1 could not be read: there is not enough memory for a file of %2 bytes.")
                      .arg(path)
                      .arg(length);
        return true;
    }
    constexpr qint64 chunk = 8 * 1024 * 1024;
    qint64 done = 0;
    while (done < length) {
        const qint64 got = file.read(m_data.data() + done, qMin(chunk, length - done));
        if (got < 0) {
            m_error = QStringLiteral("%1 could not be read completely: %2").arg(path, file.errorString());
            break;
        }
        if (got == 0)
            break; // the file became shorter while we read it
        done += got;
        if (progress && !progress(done, total)) {
            m_cancelled = true;
            m_data.clear();
            return true;
        }
    }
    m_data.truncate(static_cast<qsizetype>(done));
    Parse(progress ? Progress([&progress, length](qint64 d, qint64) {
        return progress(length + d, 2 * qMax<qint64>(length, 1));
    })
                   : Progress());
    return true;
}

void CLogDisplayDoc::OpenData(const QByteArray& data, const Progress& progress)
{
    Clear();
    m_path.clear();
    ReadSettings();
    m_data = data;
    Parse(progress);
}

void CLogDisplayDoc::Parse(const Progress& progress)
{
    const char* const begin = m_data.constData();
    const qint64 length = m_data.size();
    const qint64 total = qMax<qint64>(length, 1);
    const qint64 step = qMax<qint64>(1, total / 2000);
    qint64 lastReported = -step;
    LineCursor lines(begin, begin + length);
    Current cur;
    Line line;
    qint64 number = 0;
    quint32 sinceCheck = 0;

    while (lines.Next(&line)) {
        ++number;
        if (progress && (++sinceCheck & 7) == 0) {
            const qint64 done = lines.Position() - begin;
            if (done - lastReported >= step) {
                lastReported = done;
                if (!progress(done, total)) {
                    m_cancelled = true;
                    break;
                }
            }
        }
        if (isRecipeLine(line) || isEnvelopeLine(line)) {
            const char* const mark = lines.Position();
            cur.base = line.p;
            int taken;
            if (line.p[0] == 'R') {
                cur.recipe = line.view().sliced(8);
                taken = readProgramRest(lines, cur);
            } else {
                cur.ParseEnvelope(line.view().sliced(5));
                taken = readProcmailRest(lines, cur);
            }
            if (taken > 0 && AddEntry(cur, number)) {
                number += taken;
                continue;
            }
            if (m_entries.Count() >= static_cast<quint32>(INT_MAX)) {
                m_error
                    = QStringLiteral("The log holds more entries than can be listed; the rest was not read.");
                break;
            }
            // Only the first line of a broken entry is lost to the unparsed data; the lines
            // after it are read again on their own.
            AddUnparsed(number, line.p, line.n);
            lines.Seek(mark);
            continue;
        }
        if (line.n != 0)
            AddUnparsed(number, line.p, line.n);
    }
    m_order.resize(m_entries.Count());
    for (quint32 i = 0; i < m_entries.Count(); ++i)
        m_order[i] = i;
    if (progress && !m_cancelled)
        progress(total, total);
}

bool CLogDisplayDoc::AddEntry(const Current& cur, qint64 lineNumber)
{
    if (m_entries.Count() >= static_cast<quint32>(INT_MAX))
        return false;
    // Offsets are kept relative to the entry's first line in 32 bits; an entry of more than
    // 4 GB cannot be one.
    bool fits = true;
    auto span = [&](View v) {
        CLogEntry::Span s;
        if (v.isEmpty())
            return s;
        const qint64 offset = v.data() - cur.base;
        if (offset < 0 || offset + v.size() > qint64(0xFFFFFFFF)) {
            fits = false;
            return s;
        }
        s.offset = static_cast<quint32>(offset);
        s.length = static_cast<quint32>(v.size());
        return s;
    };
    CLogEntry entry;
    entry.m_base = cur.base;
    entry.m_lineNumber = lineNumber;
    entry.m_recipe = span(cur.recipe);
    entry.m_from = span(cur.from);
    entry.m_subject = span(cur.subject);
    entry.m_to = span(cur.to);
    entry.m_sender = span(cur.sender);
    entry.m_folder = span(cur.folder);
    entry.m_size = span(cur.size);
    entry.m_dateKnown = cur.dateKnown ? 1 : 0;
    if (cur.dateKnown) {
        entry.m_day = span(cur.day);
        entry.m_time = span(cur.time);
        entry.m_year = span(cur.year);
        entry.m_month = static_cast<quint8>(cur.month);
        entry.m_centuryNineteen = cur.centuryNineteen;
    }
    if (!fits)
        return false;
    const View subject = cur.subject;
    if (subject.size() >= 3 && LogText::Fold(static_cast<unsigned char>(subject[0])) == 'r'
        && LogText::Fold(static_cast<unsigned char>(subject[1])) == 'e' && subject[2] == ':') {
        qsizetype skip = 3;
        while (skip < subject.size() && subject[skip] == ' ')
            ++skip;
        entry.m_subjectKeySkip = static_cast<quint32>(skip);
    }
    entry.m_sizeValue = saturatingNumber(cur.size);
    entry.m_colour = m_rules.Rules().isEmpty() ? CLogEntry::AutomaticColour : m_rules.Apply(entry);
    m_entries.Append(entry);
    return true;
}

void CLogDisplayDoc::AddUnparsed(qint64 number, const char* text, qsizetype length)
{
    m_unparsed.push_back(Unparsed { number, text, length });
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
    for (quint32 i = 0; i < m_entries.Count(); ++i)
        m_entries.At(i).m_colour = m_rules.Apply(m_entries.At(i));
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
    auto contains = [&](View field) {
        if (ascii)
            return (matchCase ? LogText::IndexOf(field, needle) : LogText::IndexOfFolded(field, needle)) >= 0;
        if (LogText::IsAscii(field))
            return false;
        const QString decoded = LogText::Decode(field);
        return matchCase ? decoded.contains(text) : decoded.toLower().contains(lowered);
    };
    // Progress is asked for every few thousand entries only, so it costs the loop nothing.
    constexpr qsizetype kProgressStep = 4096;
    qsizetype nextReport = start + kProgressStep;
    for (qsizetype i = start; i < count; ++i) {
        if (progress && i == nextReport) {
            nextReport += kProgressStep;
            if (!progress(i - start, count - start)) {
                if (cancelled)
                    *cancelled = true;
                return -1;
            }
        }
        const CLogEntry& e = GetEntry(i);
        if (contains(e.Subject()) || contains(e.EnvelopeSender()) || contains(e.HeaderFrom())
            || contains(e.HeaderTo()) || contains(DateText(e)) || contains(e.Size())
            || contains(e.RecipeName()) || contains(e.Folder()))
            return i;
    }
    return -1;
}

QString CLogDisplayDoc::CellText(qsizetype index, int column, qsizetype limit) const
{
    const CLogEntry& e = GetEntry(index);
    if (column == CLogEntry::DateColumn)
        return QString::fromUtf8(DateText(e));
    QByteArray text = e.ColumnText(column, m_dateFormat, m_separator);
    if (limit >= 0 && text.size() > limit) {
        qsizetype cut = limit;
        // Not inside a UTF-8 sequence: step back over continuation bytes.
        while (cut > 0 && cut > limit - 4 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.truncate(cut);
    }
    return LogText::Decode(text);
}
