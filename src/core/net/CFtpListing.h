#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

// One line of a LIST reply, classified.
struct CFtpListEntry
{
    char type = '-'; // 'd' directory, '-' file, 'l' link
    QByteArray permissions; // "rwxr-xr-x"; empty where the server's dialect has none (DOS style)
    QByteArray size; // as listed; empty for a DOS-style directory
    QByteArray name; // for a link, the part before " -> "
    QByteArray linkTarget; // for a link, the part after " -> "
};

// A whole LIST reply: the entries, and the lines that no known dialect explains. Those are kept
// (and shown) rather than guessed at: a wrong guess names a file that is not there.
struct CFtpListingResult
{
    QList<CFtpListEntry> entries;
    QList<QByteArray> unparsed;
};

// The listing dialects of the servers in the field: Unix "ls -l" (with a time or a year, with or
// without the group column, symbolic links with their targets) and the DOS style of Windows
// servers ("01-15-21  10:30AM  <DIR>  name").
namespace CFtpListing {

enum class LineKind {
    Entry, // a file, directory or link: *entry is filled
    Ignored, // understood but nothing to show: "total", empty lines, "." and "..", devices, pipes
    Unparsed, // no dialect explains the line
};

LineKind ClassifyLine(const QByteArray& line, CFtpListEntry* entry);
// `progress` (may be empty) is told the lines done so far now and then; returning false stops
// the parse with what was classified until then.
CFtpListingResult ParseAll(
    const QList<QByteArray>& lines, const std::function<bool(qsizetype done)>& progress = {});
// The entries only.
QList<CFtpListEntry> Parse(const QList<QByteArray>& lines);
// Whether a listed name can be used as a local file name: no "/", "\" or control characters,
// and not "." or "..".
bool IsUsableLocalName(const QByteArray& name);
// The mode of "rwxr-x---" as three octal digits written as a decimal number (750); the set-id
// and sticky marks count for their execute bit ("s" and "t" with it, "S" and "T" without). -1
// for anything but nine mode characters (a DOS-style listing has none).
int PermissionValue(const QByteArray& text);

} // namespace CFtpListing
