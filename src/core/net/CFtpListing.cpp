#include "core/net/CFtpListing.h"

#include <QRegularExpression>
#include <QString>

namespace {

// The listing is matched as Latin-1 text, so every byte maps to one character and back unchanged
// (names in any encoding survive).
QString latin1(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QByteArray bytes(const QString& text)
{
    return text.toLatin1();
}

// Type, nine permission characters (an ACL or SELinux mark may follow), link count, owner,
// optional group, size (a device shows "major, minor"), month, day, then the time for the last
// six months or the year for older entries, one blank and the name. The name is the rest of the
// line as it stands: it may hold blanks anywhere, leading ones included.
const QRegularExpression& unixLine()
{
    static const QRegularExpression pattern(
        QStringLiteral("^([-dlbcps])([-rwxsStTlL]{9})[+@.]?[ \\t]+\\d+[ \\t]+\\S+[ \\t]+(?:\\S+[ \\t]+)??"
                       "(\\d+|\\d+,[ \\t]*\\d+)[ \\t]+[^\\d\\s]\\S*[ \\t]+\\d{1,2}[ "
                       "\\t]+(?:\\d{1,2}:\\d{2}(?::\\d{2})?|\\d{4}) "
                       "(.+)$"));
    return pattern;
}

// "01-15-21  10:30AM       <DIR>          Folder" and "01-15-2021  22:30   1234 file.txt".
const QRegularExpression& dosLine()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{2})-(\\d{2})-(?:\\d{2}|\\d{4})[ \\t]+(\\d{1,2}):(\\d{2})[ "
                       "\\t]*(?:[AaPp][Mm])?[ \\t]+(<DIR>|\\d+)[ \\t]+(.+)$"));
    return pattern;
}

// A directory's own entries, which no pane shows.
bool isDotName(const QByteArray& name)
{
    return name == "." || name == "..";
}

CFtpListing::LineKind unixEntry(const QRegularExpressionMatch& match, CFtpListEntry* entry)
{
    using CFtpListing::LineKind;
    const char type = match.capturedView(1).at(0).toLatin1();
    if (type != '-' && type != 'd' && type != 'l')
        return LineKind::Ignored; // a device, pipe or socket: nothing to transfer
    QByteArray name = bytes(match.captured(4));
    QByteArray target;
    if (type == 'l') {
        // A link names both ends; one without a target is not a listing line we understand.
        const qsizetype arrow = name.indexOf(" -> ");
        if (arrow <= 0 || arrow + 4 >= name.size())
            return LineKind::Unparsed;
        target = name.mid(arrow + 4);
        name = name.left(arrow);
    }
    if (type == 'd' && isDotName(name))
        return LineKind::Ignored;
    entry->type = type;
    entry->permissions = bytes(match.captured(2));
    entry->size = bytes(match.captured(3));
    entry->name = name;
    entry->linkTarget = target;
    return LineKind::Entry;
}

CFtpListing::LineKind dosEntry(const QRegularExpressionMatch& match, CFtpListEntry* entry)
{
    using CFtpListing::LineKind;
    const int month = match.capturedView(1).toInt();
    const int day = match.capturedView(2).toInt();
    const int hour = match.capturedView(3).toInt();
    const int minute = match.capturedView(4).toInt();
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59)
        return LineKind::Unparsed;
    const bool directory = match.capturedView(5) == QLatin1String("<DIR>");
    const QByteArray name = bytes(match.captured(6));
    if (directory && isDotName(name))
        return LineKind::Ignored;
    entry->type = directory ? 'd' : '-';
    entry->permissions.clear();
    entry->size = directory ? QByteArray() : bytes(match.captured(5));
    entry->name = name;
    entry->linkTarget.clear();
    return LineKind::Entry;
}

} // namespace

namespace CFtpListing {

LineKind ClassifyLine(const QByteArray& raw, CFtpListEntry* entry)
{
    // Only the line end goes: blanks at the end belong to the name.
    QByteArray line = raw;
    while (!line.isEmpty() && (line.back() == '\r' || line.back() == '\n'))
        line.chop(1);
    if (line.trimmed().isEmpty())
        return LineKind::Ignored;
    static const QRegularExpression total(QStringLiteral("^total[ \\t]+\\d+[ \\t]*$"));
    const QString text = latin1(line);
    if (total.match(text).hasMatch())
        return LineKind::Ignored;
    const QRegularExpressionMatch unix = unixLine().match(text);
    if (unix.hasMatch())
        return unixEntry(unix, entry);
    const QRegularExpressionMatch dos = dosLine().match(text);
    if (dos.hasMatch())
        return dosEntry(dos, entry);
    return LineKind::Unparsed;
}

CFtpListingResult ParseAll(
    const QList<QByteArray>& lines, const std::function<bool(qsizetype done)>& progress)
{
    CFtpListingResult result;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (progress && !progress(i))
            break;
        CFtpListEntry entry;
        switch (ClassifyLine(lines[i], &entry)) {
        case LineKind::Entry:
            result.entries.append(entry);
            break;
        case LineKind::Unparsed:
            result.unparsed.append(lines[i]);
            break;
        case LineKind::Ignored:
            break;
        }
    }
    return result;
}

QList<CFtpListEntry> Parse(const QList<QByteArray>& lines)
{
    return ParseAll(lines).entries;
}

bool IsUsableLocalName(const QByteArray& name)
{
    if (name.isEmpty() || isDotName(name))
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

int PermissionValue(const QByteArray& text)
{
    if (text.size() != 9)
        return -1;
    int value = 0;
    for (int triplet = 0; triplet < 3; ++triplet) {
        const char read = text[triplet * 3];
        const char write = text[triplet * 3 + 1];
        const char execute = text[triplet * 3 + 2];
        if ((read != 'r' && read != '-') || (write != 'w' && write != '-'))
            return -1;
        int digit = (read == 'r' ? 4 : 0) + (write == 'w' ? 2 : 0);
        switch (execute) {
        case 'x':
        case 's':
        case 't':
            digit += 1;
            break;
        case '-':
        case 'S':
        case 'T':
        case 'l': // mandatory locking, no execute bit
        case 'L':
            break;
        default:
            return -1;
        }
        value = value * 10 + digit;
    }
    return value;
}

} // namespace CFtpListing
