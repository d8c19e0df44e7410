#include "core/net/CFtpListing.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

} // namespace

namespace CFtpListing {

bool ParseLine(const QByteArray& raw, CFtpListEntry* entry)
{
    QByteArray line = raw;
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);
    if (line.isEmpty())
        return false;
    const char type = line[0];
    if (type != '-' && type != 'd' && type != 'l')
        return false;
    QList<QByteArray> fields;
    QByteArray rest = line;
    for (int i = 0; i < 8; ++i) {
        const qsizetype space = rest.indexOf(' ');
        if (space < 0)
            return false;
        fields.append(rest.left(space));
        rest = rest.mid(space);
        qsizetype skip = 0;
        while (skip < rest.size() && isBlank(rest[skip]))
            ++skip;
        rest = rest.mid(skip);
    }
    QByteArray name = rest;
    if (type == 'l') {
        const qsizetype arrow = name.indexOf(" ->");
        if (arrow < 0)
            return false;
        name = name.left(arrow);
    }
    if (name.isEmpty() || (type == 'd' && (name == "." || name == "..")))
        return false;
    entry->type = type;
    entry->permissions = fields[0].mid(1);
    entry->size = fields[4];
    entry->name = name;
    return true;
}

QList<CFtpListEntry> Parse(const QList<QByteArray>& lines)
{
    QList<CFtpListEntry> entries;
    for (const QByteArray& line : lines) {
        CFtpListEntry entry;
        if (ParseLine(line, &entry))
            entries.append(entry);
    }
    return entries;
}

bool IsUsableLocalName(const QByteArray& name)
{
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

} // namespace CFtpListing
