#include "cli/CliCommand.h"
#include "core/common/DateText.h"
#include "core/common/RegularFileCheck.h"
#include "core/log/CLogParser.h"
#include "core/log/LogText.h"
#include "core/log/MappedLogFile.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Output is made in memory, a piece of the log at a time, and written in one block.
class OutBuffer
{
public:
    void Add(QByteArrayView bytes)
    {
        const auto n = static_cast<size_t>(bytes.size());
        Reserve(bytes.size());
        char* out = m_data.get() + m_used;
        const char* in = bytes.data();
        // Most pieces are a few bytes long: two overlapping words copy them without a call.
        if (n >= 8 && n <= 16) {
            quint64 head, tail;
            std::memcpy(&head, in, 8);
            std::memcpy(&tail, in + n - 8, 8);
            std::memcpy(out, &head, 8);
            std::memcpy(out + n - 8, &tail, 8);
        } else if (n >= 4 && n < 8) {
            quint32 head, tail;
            std::memcpy(&head, in, 4);
            std::memcpy(&tail, in + n - 4, 4);
            std::memcpy(out, &head, 4);
            std::memcpy(out + n - 4, &tail, 4);
        } else if (n > 0 && n < 4) {
            out[0] = in[0];
            out[n / 2] = in[n / 2];
            out[n - 1] = in[n - 1];
        } else if (n > 16) {
            std::memcpy(out, in, n);
        }
        m_used += bytes.size();
    }
    void Add(char c)
    {
        Reserve(1);
        m_data[static_cast<size_t>(m_used++)] = c;
    }
    void Add(qint64 number)
    {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, number);
        Add(QByteArrayView(digits, result.ptr - digits));
    }
    void Write()
    {
        std::fwrite(m_data.get(), 1, static_cast<size_t>(m_used), stdout);
        m_used = 0;
    }

private:
    void Reserve(qsizetype more)
    {
        if (m_used + more <= m_capacity)
            return;
        const qsizetype capacity = std::max({ 2 * m_capacity, m_used + more, qsizetype(1) << 16 });
        auto data = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(capacity));
        if (m_used > 0)
            std::memcpy(data.get(), m_data.get(), static_cast<size_t>(m_used));
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_data;
    qsizetype m_used = 0;
    qsizetype m_capacity = 0;
};

// Output buffers are used again from piece to piece: fresh memory for every piece would be asked
// of the system and given back each time, and the threads would wait on each other while it is.
class BufferPool
{
public:
    std::unique_ptr<OutBuffer> Get()
    {
        std::lock_guard lock(m_mutex);
        if (m_free.empty())
            return std::make_unique<OutBuffer>();
        std::unique_ptr<OutBuffer> buffer = std::move(m_free.back());
        m_free.pop_back();
        return buffer;
    }
    void Put(std::unique_ptr<OutBuffer> buffer)
    {
        std::lock_guard lock(m_mutex);
        m_free.push_back(std::move(buffer));
    }

private:
    std::mutex m_mutex;
    std::vector<std::unique_ptr<OutBuffer>> m_free;
};

// Fields are checked eight bytes at a time for the few bytes that need care: each test below
// tells whether any byte of a word is of a kind, exactly.
constexpr quint64 kOnes = 0x0101010101010101ull;
constexpr quint64 kHigh = 0x8080808080808080ull;

inline quint64 loadWord(const char* p)
{
    quint64 word;
    std::memcpy(&word, p, sizeof word);
    return word;
}
inline bool anyZero(quint64 word)
{
    return ((word - kOnes) & ~word & kHigh) != 0;
}
inline bool anyEqual(quint64 word, unsigned char c)
{
    return anyZero(word ^ (kOnes * c));
}
// Any byte below `limit` (at most 0x80).
inline bool anyBelow(quint64 word, unsigned char limit)
{
    return ((word - kOnes * limit) & ~word & kHigh) != 0;
}

// The index of the first byte at or after `from` for which `special` holds, or the size; `word`
// tells whether a word of eight bytes may hold one. The last word of a field may overlap the one
// before it, so that most fields need no byte-by-byte look at all.
template <typename Word, typename Byte>
qsizetype findSpecial(QByteArrayView field, qsizetype from, Word word, Byte special)
{
    const char* p = field.data();
    const qsizetype n = field.size();
    qsizetype i = from;
    if (n - i >= 8) {
        while (i + 8 <= n && !word(loadWord(p + i)))
            i += 8;
        if (i + 8 > n) {
            if (i == n || !word(loadWord(p + n - 8)))
                return n;
            i = n - 8;
        }
    }
    while (i < n && !special(static_cast<unsigned char>(p[i])))
        ++i;
    return i;
}

// A field as a JSON string: UTF-8 as it is when it is valid UTF-8, else read as Latin-1. Whether
// it is UTF-8 is asked only when a byte above ASCII is met.
void addJsonString(OutBuffer& out, QByteArrayView field)
{
    static const char hex[] = "0123456789abcdef";
    bool checked = false;
    bool utf8 = false;
    quint64 highMask = kHigh;
    auto wordSpecial = [&highMask](quint64 w) {
        return anyBelow(w, 0x20) || anyEqual(w, '"') || anyEqual(w, '\\') || (w & highMask) != 0;
    };
    auto byteSpecial
        = [&utf8](unsigned char c) { return c < 0x20 || c == '"' || c == '\\' || (c >= 0x80 && !utf8); };
    out.Add('"');
    qsizetype run = 0; // start of the bytes that go out unchanged
    for (qsizetype i = findSpecial(field, 0, wordSpecial, byteSpecial); i < field.size();
         i = findSpecial(field, i + 1, wordSpecial, byteSpecial)) {
        const auto c = static_cast<unsigned char>(field[i]);
        if (c >= 0x80 && !checked) {
            checked = true;
            utf8 = LogText::IsValidUtf8(field);
            if (utf8) {
                highMask = 0;
                continue;
            }
        }
        out.Add(field.sliced(run, i - run));
        run = i + 1;
        if (c == '"' || c == '\\') {
            out.Add('\\');
            out.Add(static_cast<char>(c));
        } else if (c < 0x20) {
            const char escaped[6] = { '\\', 'u', '0', '0', hex[c >> 4], hex[c & 15] };
            out.Add(QByteArrayView(escaped, 6));
        } else {
            out.Add(static_cast<char>(0xC0 | (c >> 6)));
            out.Add(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    out.Add(field.sliced(run));
    out.Add('"');
}

// A field of the tab-separated form: a tab inside becomes a blank so the columns stay apart.
// Whether a byte may start something a terminal acts on: a C0 control, DEL, or the lead byte of a
// C1 control in UTF-8.
bool mayControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == 0xC2;
}

// Mail headers in a log are whatever a sender wrote, so a field never reaches the terminal with
// a control character in it: a tab (the field separator here) becomes a blank, any other control
// a '?'. Backslashes stay as they are, so fields read as in the log.
void addTextField(OutBuffer& out, QByteArrayView field)
{
    auto wordControl = [](quint64 w) { return anyBelow(w, 0x20) || anyEqual(w, 0x7F) || anyEqual(w, 0xC2); };
    if (findSpecial(field, 0, wordControl, mayControl) == field.size()) {
        out.Add(field);
        return;
    }
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        const auto next = i + 1 < field.size() ? static_cast<unsigned char>(field[i + 1]) : 0;
        if (c == '\t') {
            out.Add(' ');
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            out.Add('?');
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            out.Add('?');
        } else {
            out.Add(static_cast<char>(c));
        }
    }
}

// One piece of the log as output: its entries formatted, its unparsed lines kept for the end,
// since they print after all entries.
class PieceOutput : public CLogParser::Handler
{
public:
    struct Line
    {
        qint64 number;
        const char* text;
        qsizetype length;
    };

    PieceOutput(bool json, const QByteArray& separator, BufferPool& pool)
        : m_json(json)
        , m_separator(separator)
        , m_pool(pool)
        , m_buffer(pool.Get())
        , m_out(*m_buffer)
    {
    }
    ~PieceOutput() override { m_pool.Put(std::move(m_buffer)); }
    PieceOutput(const PieceOutput&) = delete;
    PieceOutput& operator=(const PieceOutput&) = delete;

    bool Entry(const LogFields& e, const char*, const char*) override
    {
        ++m_entries;
        if (m_json)
            AddJson(e);
        else
            AddText(e);
        return true;
    }

    void Unparsed(qint64 number, const char* text, qsizetype length) override
    {
        ++m_unparsedCount;
        // The JSON form counts them only.
        if (!m_json)
            m_unparsed.push_back(Line { number, text, length });
    }

    OutBuffer& Out() { return m_out; }
    qint64 Entries() const { return m_entries; }
    qint64 UnparsedCount() const { return m_unparsedCount; }
    const std::vector<Line>& UnparsedLines() const { return m_unparsed; }

private:
    void AddJson(const LogFields& e)
    {
        m_out.Add("{\"recipe\": ");
        addJsonString(m_out, e.recipe);
        m_out.Add(", \"from\": ");
        addJsonString(m_out, e.from);
        m_out.Add(", \"subject\": ");
        addJsonString(m_out, e.subject);
        m_out.Add(", \"to\": ");
        addJsonString(m_out, e.to);
        m_out.Add(", \"date\": ");
        QByteArrayView pieces[LogFields::MaxDateTextPieces];
        addJsonString(m_out, Joined(pieces, e.DateTextPieces(pieces, 0, m_separator)));
        m_out.Add(", \"dateKey\": ");
        addJsonString(m_out, Joined(pieces, e.DateSortKeyPieces(pieces)));
        m_out.Add(", \"sender\": ");
        addJsonString(m_out, e.sender);
        m_out.Add(", \"folder\": ");
        addJsonString(m_out, e.folder);
        m_out.Add(", \"size\": ");
        addJsonString(m_out, e.size);
        m_out.Add("}\n");
    }

    // Pieces run together in a buffer kept from entry to entry.
    QByteArrayView Joined(const QByteArrayView* pieces, int n)
    {
        qsizetype size = 0;
        for (int k = 0; k < n; ++k)
            size += pieces[k].size();
        m_date.resize(size);
        char* out = m_date.data();
        for (int k = 0; k < n; ++k) {
            if (!pieces[k].isEmpty())
                std::memcpy(out, pieces[k].data(), static_cast<size_t>(pieces[k].size()));
            out += pieces[k].size();
        }
        return m_date;
    }

    void AddText(const LogFields& e)
    {
        addTextField(m_out, e.recipe);
        m_out.Add('\t');
        addTextField(m_out, e.from);
        m_out.Add('\t');
        addTextField(m_out, e.subject);
        m_out.Add('\t');
        addTextField(m_out, e.to);
        m_out.Add('\t');
        QByteArrayView pieces[LogFields::MaxDateTextPieces];
        const int n = e.DateTextPieces(pieces, 0, m_separator);
        for (int k = 0; k < n; ++k)
            m_out.Add(pieces[k]);
        m_out.Add('\t');
        addTextField(m_out, e.sender);
        m_out.Add('\t');
        addTextField(m_out, e.folder);
        m_out.Add('\t');
        addTextField(m_out, e.size);
        m_out.Add('\n');
    }

    const bool m_json;
    const QByteArray m_separator;
    BufferPool& m_pool;
    std::unique_ptr<OutBuffer> m_buffer;
    OutBuffer& m_out;
    QByteArray m_date;
    qint64 m_entries = 0;
    qint64 m_unparsedCount = 0;
    std::vector<Line> m_unparsed;
};

int logParse(const QStringList& args)
{
    QString path;
    bool json = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--json"))
            json = true;
        else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-"))
            return CliFail(QStringLiteral("log parse: unknown option \"%1\"").arg(arg), 2);
        else if (path.isEmpty())
            path = arg;
        else
            return CliFail(QStringLiteral("log parse: more than one file given"), 2);
    }
    if (path.isEmpty())
        return CliFail(QStringLiteral("usage: zeph-cli log parse FILE [--json]"), 2);

    QString error;
    MappedLogFile file;
    if (!RegularFileCheck::CanRead(path, QStringLiteral("as a log"), &error) || !file.Open(path, &error))
        return CliFail(error);
    // Scripts get the same date text whatever an identity has chosen.
    const QByteArray separator = DateText::Separator(QStringLiteral("/"));
    qint64 entries = 0;
    qint64 unparsedCount = 0;
    std::vector<PieceOutput::Line> unparsed;
    CLogParser::Pieces pieces;
    pieces.threads = CLogParser::Threads();
    BufferPool buffers;
    pieces.make
        = [json, &separator, &buffers] { return std::make_unique<PieceOutput>(json, separator, buffers); };
    pieces.take = [&](CLogParser::Handler& handler, qint64 firstLine) {
        auto& piece = static_cast<PieceOutput&>(handler);
        piece.Out().Write();
        entries += piece.Entries();
        unparsedCount += piece.UnparsedCount();
        for (PieceOutput::Line line : piece.UnparsedLines()) {
            line.number += firstLine - 1;
            unparsed.push_back(line);
        }
        return true;
    };
    qint64 parsed = 0;
    CLogParser::ParseInPieces(file.Data(), file.Length(), &file, pieces, &parsed);

    // The JSON form is one object per entry and the counts: scripts take every object but the
    // last as an entry. The unparsed lines themselves are listed in the text form only.
    OutBuffer out;
    for (const PieceOutput::Line& line : unparsed) {
        out.Add("Line ");
        out.Add(line.number);
        out.Add(":  ");
        addTextField(out, QByteArrayView(line.text, line.length));
        out.Add('\n');
    }
    if (json) {
        out.Add("{\"entries\": ");
        out.Add(entries);
        out.Add(", \"unparsed\": ");
        out.Add(unparsedCount);
        out.Add("}\n");
    }
    out.Write();
    std::fflush(stdout);
    if (parsed < file.Length() || file.Shrunk())
        return CliFail(CLogParser::ShrinkError(path, file.Length(), parsed));
    return 0;
}

int logCommand(const QStringList& args)
{
    if (args.isEmpty() || args.first() != QLatin1String("parse"))
        return CliFail(QStringLiteral("usage: zeph-cli log parse FILE [--json]"), 2);
    return logParse(args.mid(1));
}

const CliCommandRegistration registration(CliCommand { "log",
    "  log parse FILE [--json]     the entries of a procmail log in file order (tab-separated\n"
    "                              columns: recipe, From, subject, To, date, envelope sender,\n"
    "                              folder, size), then the unparsed lines as \"Line N:  text\";\n"
    "                              with --json one object per entry (keys recipe, from, subject,\n"
    "                              to, date, dateKey, sender, folder, size) and a last object\n"
    "                              {\"entries\": N, \"unparsed\": M}",
    logCommand });

} // namespace
