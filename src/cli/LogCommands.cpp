#include "cli/CliCommand.h"
#include "core/log/CLogDisplayDoc.h"
#include "core/log/LogText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

// Output goes out in large blocks: a log of a million entries prints in one pass.
class OutBuffer
{
public:
    ~OutBuffer()
    {
        Flush();
        delete[] m_buffer;
    }
    void Add(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return;
        if (m_used + bytes.size() > Capacity) {
            Flush();
            if (bytes.size() > Capacity) {
                std::fwrite(bytes.data(), 1, static_cast<size_t>(bytes.size()), stdout);
                return;
            }
        }
        std::memcpy(m_buffer + m_used, bytes.data(), static_cast<size_t>(bytes.size()));
        m_used += bytes.size();
    }
    void Add(char c)
    {
        if (m_used == Capacity)
            Flush();
        m_buffer[m_used++] = c;
    }
    void Add(qint64 number)
    {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, number);
        Add(QByteArrayView(digits, result.ptr - digits));
    }
    void Flush()
    {
        std::fwrite(m_buffer, 1, static_cast<size_t>(m_used), stdout);
        m_used = 0;
    }

private:
    static constexpr qsizetype Capacity = 1 << 20;
    char* m_buffer = new char[Capacity];
    qsizetype m_used = 0;

public:
    OutBuffer() = default;
    OutBuffer(const OutBuffer&) = delete;
    OutBuffer& operator=(const OutBuffer&) = delete;
};

// A field as a JSON string: UTF-8 as it is when it is valid UTF-8, else read as Latin-1.
void addJsonString(OutBuffer& out, QByteArrayView field)
{
    static const char hex[] = "0123456789abcdef";
    const bool utf8 = LogText::IsAscii(field) || LogText::IsValidUtf8(field);
    out.Add('"');
    qsizetype run = 0; // start of the bytes that go out unchanged
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        const bool plain = c >= 0x20 && c != '"' && c != '\\' && (c < 0x80 || utf8);
        if (plain)
            continue;
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
    if (std::none_of(
            field.begin(), field.end(), [](char c) { return mayControl(static_cast<unsigned char>(c)); })) {
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

    CLogDisplayDoc doc;
    // Scripts get the same date text whatever an identity has chosen.
    doc.SetDateFormat(0, QStringLiteral("/"));
    doc.Open(path);
    if (doc.GetEntryCount() == 0 && doc.GetUnparsedCount() == 0 && !doc.ErrorText().isEmpty())
        return CliFail(doc.ErrorText());

    OutBuffer out;
    const QByteArray separator = doc.DateSeparator();
    QByteArray dateText;
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i) {
        const CLogEntry& e = doc.GetEntry(i);
        if (json) {
            out.Add("{\"recipe\": ");
            addJsonString(out, e.RecipeName());
            out.Add(", \"from\": ");
            addJsonString(out, e.HeaderFrom());
            out.Add(", \"subject\": ");
            addJsonString(out, e.Subject());
            out.Add(", \"to\": ");
            addJsonString(out, e.HeaderTo());
            out.Add(", \"date\": ");
            dateText.truncate(0);
            e.AppendDateText(&dateText, doc.DateFormat(), separator);
            addJsonString(out, dateText);
            out.Add(", \"dateKey\": ");
            {
                QByteArrayView pieces[CLogEntry::MaxDateKeyPieces];
                const int n = e.DateSortKeyPieces(pieces);
                dateText.truncate(0);
                for (int k = 0; k < n; ++k)
                    dateText.append(pieces[k]);
            }
            addJsonString(out, dateText);
            out.Add(", \"sender\": ");
            addJsonString(out, e.EnvelopeSender());
            out.Add(", \"folder\": ");
            addJsonString(out, e.Folder());
            out.Add(", \"size\": ");
            addJsonString(out, e.Size());
            out.Add("}\n");
        } else {
            addTextField(out, e.RecipeName());
            out.Add('\t');
            addTextField(out, e.HeaderFrom());
            out.Add('\t');
            addTextField(out, e.Subject());
            out.Add('\t');
            addTextField(out, e.HeaderTo());
            out.Add('\t');
            {
                QByteArrayView pieces[CLogEntry::MaxDateTextPieces];
                const int n = e.DateTextPieces(pieces, doc.DateFormat(), separator);
                for (int k = 0; k < n; ++k)
                    out.Add(pieces[k]);
            }
            out.Add('\t');
            addTextField(out, e.EnvelopeSender());
            out.Add('\t');
            addTextField(out, e.Folder());
            out.Add('\t');
            addTextField(out, e.Size());
            out.Add('\n');
        }
    }
    // The JSON form is one object per entry and the counts: scripts take every object but the
    // last as an entry. The unparsed lines themselves are listed in the text form only.
    for (qsizetype i = 0; !json && i < doc.GetUnparsedCount(); ++i) {
        const CLogDisplayDoc::UnparsedLine line = doc.GetUnparsedLine(i);
        out.Add("Line ");
        out.Add(line.number);
        out.Add(":  ");
        addTextField(out, line.text);
        out.Add('\n');
    }
    if (json) {
        out.Add("{\"entries\": ");
        out.Add(static_cast<qint64>(doc.GetEntryCount()));
        out.Add(", \"unparsed\": ");
        out.Add(doc.GetUnparsedCount());
        out.Add("}\n");
    }
    out.Flush();
    std::fflush(stdout);
    if (!doc.ErrorText().isEmpty())
        return CliFail(doc.ErrorText());
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
