#include "cli/CliCommand.h"

#include "core/log/CLogDisplayDoc.h"
#include "core/log/LogText.h"

#include <cstdio>

namespace {

// Output goes out in large blocks: a log of a million entries prints in one pass.
class OutBuffer
{
public:
    ~OutBuffer() { Flush(); }
    void Add(QByteArrayView bytes)
    {
        m_buffer.append(bytes);
        if (m_buffer.size() >= (1 << 20))
            Flush();
    }
    void Add(char c) { m_buffer.append(c); }
    void Flush()
    {
        CliOutBytes(m_buffer);
        m_buffer.clear();
    }

private:
    QByteArray m_buffer;
};

// A field as a JSON string: UTF-8 as it is when it is valid UTF-8, else read as Latin-1.
void addJsonString(OutBuffer& out, QByteArrayView field)
{
    static const char hex[] = "0123456789abcdef";
    const bool utf8 = LogText::IsAscii(field) || LogText::IsValidUtf8(field);
    out.Add('"');
    for (char ch : field) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.Add('\\');
            out.Add(ch);
        } else if (c < 0x20) {
            const char escaped[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            out.Add(QByteArrayView(escaped, 6));
        } else if (c >= 0x80 && !utf8) {
            out.Add(static_cast<char>(0xC0 | (c >> 6)));
            out.Add(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.Add(ch);
        }
    }
    out.Add('"');
}

// A field of the tab-separated form: a tab inside becomes a blank so the columns stay apart.
void addTextField(OutBuffer& out, QByteArrayView field)
{
    if (!field.contains('\t')) {
        out.Add(field);
        return;
    }
    for (char ch : field)
        out.Add(ch == '\t' ? ' ' : ch);
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
            addJsonString(out, e.DateText(doc.DateFormat(), separator));
            out.Add(", \"dateKey\": ");
            addJsonString(out, e.DateSortKey());
            out.Add(", \"sender\": ");
            addJsonString(out, e.EnvelopeSender());
            out.Add(", \"folder\": ");
            addJsonString(out, e.Folder());
            out.Add(", \"size\": ");
            addJsonString(out, e.Size());
            out.Add("}\n");
        } else {
            for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
                if (column > 0)
                    out.Add('\t');
                if (column == CLogEntry::DateColumn)
                    out.Add(e.DateText(doc.DateFormat(), separator));
                else
                    addTextField(out, e.ColumnText(column, doc.DateFormat(), separator));
            }
            out.Add('\n');
        }
    }
    for (qsizetype i = 0; i < doc.GetUnparsedCount(); ++i) {
        const CLogDisplayDoc::UnparsedLine line = doc.GetUnparsedLine(i);
        if (json) {
            out.Add("{\"line\": ");
            out.Add(QByteArray::number(line.number));
            out.Add(", \"text\": ");
            addJsonString(out, line.text);
            out.Add("}\n");
        } else {
            out.Add("Line ");
            out.Add(QByteArray::number(line.number));
            out.Add(":  ");
            out.Add(line.text);
            out.Add('\n');
        }
    }
    if (json) {
        out.Add("{\"entries\": ");
        out.Add(QByteArray::number(doc.GetEntryCount()));
        out.Add(", \"unparsed\": ");
        out.Add(QByteArray::number(doc.GetUnparsedCount()));
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

const CliCommandRegistration registration(CliCommand{
    "log",
    "  log parse FILE [--json]     the entries of a procmail log in file order (tab-separated\n"
    "                              columns: recipe, From, subject, To, date, envelope sender,\n"
    "                              folder, size), then the unparsed lines as \"Line N:  text\";\n"
    "                              with --json one object per entry (keys recipe, from, subject,\n"
    "                              to, date, dateKey, sender, folder, size), one object\n"
    "                              {\"line\": N, \"text\": ...} per unparsed line, and a last object\n"
    "                              {\"entries\": N, \"unparsed\": M}",
    logCommand});

} // namespace
