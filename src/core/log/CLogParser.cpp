#include "core/log/CLogParser.h"

#include "core/log/LogText.h"
#include "core/log/MappedLogFile.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using View = QByteArrayView;

struct Line
{
    const char* p = nullptr;
    qsizetype n = 0;
    View view() const { return View(p, n); }
};

// Lines of a buffer: a line ends with LF, optionally preceded by CR; a last line without LF
// still counts. A line that runs to the end of a mapped file may be one that the file lost while
// it was read (the pages past its new end read as zeros, and zeros hold no LF): the end is then
// brought back to the file's length.
class LineCursor
{
public:
    // `origin` is the first byte of the file, which its length is counted from.
    LineCursor(
        const char* begin, const char* end, const MappedLogFile* file = nullptr, const char* origin = nullptr)
        : m_origin(origin ? origin : begin)
        , m_pos(begin)
        , m_end(end)
        , m_file(file)
    {
    }
    bool Next(Line* line)
    {
        if (m_pos >= m_end)
            return false;
        const auto* lf
            = static_cast<const char*>(std::memchr(m_pos, '\n', static_cast<size_t>(m_end - m_pos)));
        if (!lf && m_file) {
            m_end = qMin(m_end, m_origin + m_file->CurrentLength());
            m_file = nullptr;
            if (m_pos >= m_end)
                return false;
        }
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
    const char* End() const { return m_end; }
    void Seek(const char* pos) { m_pos = pos; }

private:
    const char* m_origin;
    const char* m_pos;
    const char* m_end;
    const MappedLogFile* m_file;
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

void parseEnvelope(LogFields& f, View text)
{
    f.dateKnown = false;
    f.day = f.time = f.year = View();
    f.month = 0;
    text = trimLeadingBlanks(text);
    const qsizetype blank = indexOfBlank(text);
    if (blank < 0) {
        f.sender = text;
        return;
    }
    // Only a weekday followed by a month name means the sender is missing; any other
    // three-letter word is a local user's name.
    if (blank == 3 && isWeekdayName(text.first(3))) {
        const View next = trimLeadingBlanks(text.sliced(blank));
        const qsizetype end = indexOfBlank(next);
        if (isMonthName(end < 0 ? next : next.first(end))) {
            f.sender = text;
            return;
        }
    }
    f.sender = text.first(blank);
    View rest = trimLeadingBlanks(text.sliced(blank));
    rest = trimLeadingBlanks(dropFirst(rest, 3)); // weekday
    f.month = monthNumber(rest.first(qMin<qsizetype>(3, rest.size())));
    rest = trimLeadingBlanks(dropFirst(rest, 3));
    qsizetype at = indexOfBlank(rest);
    if (at < 0)
        return;
    f.day = rest.first(at);
    rest = trimLeadingBlanks(rest.sliced(at));
    at = indexOfBlank(rest);
    if (at < 0)
        return;
    f.time = rest.first(qMax<qsizetype>(0, at - 3));
    const View tail = trimTrailingBlanks(rest);
    f.year = tail.last(qMin<qsizetype>(2, tail.size()));
    f.centuryNineteen = leadingNumber(f.year) >= 90;
    f.dateKnown = true;
}

void parseSubject(LogFields& f, const Line& line)
{
    f.subject = trimLeadingBlanks(line.view().sliced(9));
}

// The size is the run of digits that ends the line after a blank or tab past the prefix,
// so sizes of eight digits and more (written after a tab) stay whole.
void parseFolder(LogFields& f, const Line& line)
{
    const View v = line.view();
    qsizetype digits = v.size();
    while (digits > 10 && v[digits - 1] >= '0' && v[digits - 1] <= '9')
        --digits;
    if (digits < v.size() && digits > 10 && (v[digits - 1] == ' ' || v[digits - 1] == '\t')) {
        f.size = v.sliced(digits);
        f.folder = trimTrailingWhite(v.sliced(10, digits - 1 - 10));
    } else {
        f.size = View();
        f.folder = trimTrailingWhite(v.sliced(10));
    }
}

// What a read of an entry takes apart, and whether it reads on to the entry's end: a parse must,
// to find where the entry ends and that it is whole; a read of an entry found whole need not.
struct Reading
{
    unsigned parts = CLogParser::AllParts;
    bool whole = true;

    // Whether the read may stop, with the parts up to `have` read.
    bool Done(unsigned have) const { return !whole && (parts & ~have) == 0; }
};

constexpr unsigned throughTo = CLogParser::RecipePart | CLogParser::ToPart;
constexpr unsigned throughFrom = throughTo | CLogParser::FromPart;
constexpr unsigned throughEnvelope = throughFrom | CLogParser::EnvelopePart;

// The subject line, if there is one, and the folder line, which ends every entry.
int readSubjectAndFolder(LineCursor& lines, LogFields& f, const Reading& reading, Line line)
{
    int taken = 1;
    if (isSubjectLine(line)) {
        parseSubject(f, line);
        if (!lines.Next(&line) || !isFolderLine(line))
            return 0;
        taken = 2;
    } else if (!isFolderLine(line)) {
        return 0;
    }
    if (reading.parts & CLogParser::FolderPart)
        parseFolder(f, line);
    return taken;
}

// The entry whose first line is `first`: a program entry (recipe, To, From, envelope) or
// procmail's abstract (envelope), each followed by an optional subject and the folder line.
// Returns the number of lines taken after the first (a read that stops early: 1), or 0 when the
// entry breaks off. Entries are kept with 32-bit lengths; one of more than 4 GB cannot be one.
int readEntry(LineCursor& lines, const Line& first, LogFields& f, const Reading& reading = Reading())
{
    Line line = first;
    int taken = 0;
    if (isRecipeLine(first)) {
        f.recipe = first.view().sliced(8);
        if (reading.Done(CLogParser::RecipePart))
            return 1;
        if (!lines.Next(&line) || !isToLine(line))
            return 0;
        f.to = line.view().sliced(4);
        if (reading.Done(throughTo))
            return 1;
        if (!lines.Next(&line) || !isFromLine(line))
            return 0;
        f.from = line.view().sliced(6);
        if (reading.Done(throughFrom))
            return 1;
        if (!lines.Next(&line) || !isEnvelopeLine(line))
            return 0;
        taken = 3;
    } else if (!isEnvelopeLine(first)) {
        return 0;
    }
    if (reading.parts & CLogParser::EnvelopePart)
        parseEnvelope(f, line.view().sliced(5));
    if (reading.Done(throughEnvelope))
        return 1;
    if (!lines.Next(&line))
        return 0;
    const int rest = readSubjectAndFolder(lines, f, reading, line);
    if (rest == 0 || lines.Position() - first.p > qint64(0xFFFFFFFF))
        return 0;
    return taken + rest;
}

} // namespace

const char* CLogParser::ReadEntry(const char* begin, const char* end, LogFields* fields)
{
    LineCursor lines(begin, end);
    Line first;
    if (!lines.Next(&first))
        return nullptr;
    *fields = LogFields();
    return readEntry(lines, first, *fields) > 0 ? lines.Position() : nullptr;
}

void CLogParser::ReadParts(const char* begin, const char* end, unsigned parts, LogFields* fields)
{
    LineCursor lines(begin, end);
    Line first;
    *fields = LogFields();
    if (lines.Next(&first))
        readEntry(lines, first, *fields, Reading { parts, false });
}

namespace {

struct RangeResult
{
    CLogParser::Ending ending = CLogParser::Ending::Completed;
    qint64 lines = 0;
    const char* end = nullptr; // where the read stopped: before `end` when the file became shorter
};

// Parses the lines from `begin`, where no entry is open, to `end`; `origin` is the start of the
// log, which progress and the length of a file that became shorter are counted from. Line
// numbers count from 1 at `begin`.
RangeResult parseRange(const char* origin, const char* begin, const char* end, const MappedLogFile* file,
    CLogParser::Handler& handler, const CLogParser::Progress& progress, qint64 total)
{
    using Ending = CLogParser::Ending;
    const qint64 step = qMax<qint64>(1, total / 2000);
    qint64 lastReported = -step;
    LineCursor lines(begin, end, file, origin);
    Line line;
    qint64 number = 0;
    quint32 sinceCheck = 0;
    RangeResult result;
    const Reading reading { handler.Parts(), true };

    while (lines.Next(&line)) {
        ++number;
        if (progress && (++sinceCheck & 7) == 0) {
            const qint64 done = lines.Position() - origin;
            if (done - lastReported >= step) {
                lastReported = done;
                if (!progress(done, total)) {
                    result.ending = Ending::Cancelled;
                    break;
                }
            }
        }
        if (line.n == 0)
            continue;
        if (line.p[0] == 'R' || line.p[0] == 'F') {
            const char* const mark = lines.Position();
            LogFields fields;
            const int taken = readEntry(lines, line, fields, reading);
            if (taken > 0) {
                if (!handler.Entry(fields, line.p, lines.Position())) {
                    result.ending = Ending::Stopped;
                    break;
                }
                number += taken;
                continue;
            }
            // Only the first line of a broken entry is lost to the unparsed data; the lines
            // after it are read again on their own.
            lines.Seek(mark);
        }
        handler.Unparsed(number, line.p, line.n);
    }
    result.lines = number;
    result.end = lines.End();
    return result;
}

// Where pieces of about `pieceBytes` may start: after a folder line. A folder line always ends
// whatever holds it, an entry or an unparsed line, so a parse of the whole log is between
// entries there, and a piece that starts there parses as it would in one pass.
std::vector<const char*> pieceStarts(const char* data, qint64 length, qint64 pieceBytes)
{
    static const char marker[] = "\n  Folder: ";
    constexpr size_t markerLength = sizeof marker - 1;
    const char* const end = data + length;
    std::vector<const char*> starts { data };
    qint64 next = pieceBytes;
    while (next < length) {
        const char* from = data + next - 1;
        const void* hit = memmem(from, static_cast<size_t>(end - from), marker, markerLength);
        if (!hit)
            break;
        const char* folderLine = static_cast<const char*>(hit) + 1;
        const void* lf = std::memchr(folderLine, '\n', static_cast<size_t>(end - folderLine));
        if (!lf || static_cast<const char*>(lf) + 1 >= end)
            break;
        starts.push_back(static_cast<const char*>(lf) + 1);
        next = (starts.back() - data) + pieceBytes;
    }
    starts.push_back(end);
    return starts;
}

} // namespace

CLogParser::Ending CLogParser::Parse(const char* data, qint64 length, const MappedLogFile* file,
    Handler& handler, const Progress& progress, qint64* parsed)
{
    const qint64 total = qMax<qint64>(length, 1);
    const RangeResult result = parseRange(data, data, data + length, file, handler, progress, total);
    if (parsed)
        *parsed = result.end - data;
    if (progress && result.ending == Ending::Completed)
        progress(total, total);
    return result.ending;
}

CLogParser::Ending CLogParser::ParseInPieces(
    const char* data, qint64 length, const MappedLogFile* file, const Pieces& pieces, qint64* parsed)
{
    const std::vector<const char*> starts = pieceStarts(data, length, qMax<qint64>(1, pieces.bytes));
    const size_t count = starts.size() - 1;
    struct Result
    {
        std::unique_ptr<Handler> handler;
        RangeResult range;
        bool ready = false;
    };
    std::vector<Result> results(count);
    std::mutex mutex;
    std::condition_variable changed;
    size_t next = 0; // the next piece to parse
    size_t taken = 0; // pieces handed to `take`
    bool stop = false;
    // Workers run at most a few pieces ahead of the one taken, which bounds what waits in memory.
    const int threads = qMax(1, pieces.threads);
    const size_t ahead = static_cast<size_t>(threads) + 1;
    auto work = [&] {
        while (true) {
            size_t i;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next >= count || next < taken + ahead; });
                if (stop || next >= count)
                    return;
                i = next++;
            }
            std::unique_ptr<Handler> handler = pieces.make();
            const RangeResult range
                = parseRange(data, starts[i], starts[i + 1], file, *handler, Progress(), length);
            {
                std::lock_guard lock(mutex);
                results[i] = Result { std::move(handler), range, true };
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back(work);

    Ending ending = Ending::Completed;
    const char* reached = data + length;
    const qint64 total = qMax<qint64>(length, 1);
    qint64 firstLine = 1;
    for (size_t i = 0; i < count && ending == Ending::Completed; ++i) {
        Result result;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return results[i].ready; });
            result = std::move(results[i]);
        }
        ending = result.range.ending;
        if (!pieces.take(*result.handler, firstLine))
            ending = Ending::Stopped;
        firstLine += result.range.lines;
        // The first piece that met the end of a file grown shorter tells where that end is.
        if (result.range.end < starts[i + 1] && reached == data + length)
            reached = result.range.end;
        if (ending == Ending::Completed && pieces.progress && !pieces.progress(starts[i + 1] - data, total))
            ending = Ending::Cancelled;
        {
            std::lock_guard lock(mutex);
            taken = i + 1;
            stop = ending != Ending::Completed;
        }
        changed.notify_all();
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers)
        worker.join();
    // Pieces read before the file lost their bytes met no end: its length now tells.
    if (file)
        reached = qMin(reached, data + file->CurrentLength());
    if (parsed)
        *parsed = reached - data;
    if (ending == Ending::Completed && pieces.progress)
        pieces.progress(total, total);
    return ending;
}

int CLogParser::Threads()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

QString CLogParser::ShrinkError(const QString& path, qint64 length, qint64 parsed)
{
    return QStringLiteral("The log %1 became shorter while it was read: it had %2 bytes when it was opened "
                          "and %3 bytes after.  Only the entries in those %3 bytes were read.")
        .arg(path)
        .arg(length)
        .arg(parsed);
}
