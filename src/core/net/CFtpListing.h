#pragma once

#include <QByteArray>
#include <QList>

// One line of a Unix-style LIST reply, classified.
struct CFtpListEntry
{
    char type = '-'; // 'd' directory, '-' file, 'l' link
    QByteArray permissions; // "rwxr-xr-x"
    QByteArray size; // as listed
    QByteArray name; // for a link, the part before " ->"
};

namespace CFtpListing {

// False for lines that are not a file, directory or link with eight fields before the name, and
// for the entries "." and "..".
bool ParseLine(const QByteArray& line, CFtpListEntry* entry);
QList<CFtpListEntry> Parse(const QList<QByteArray>& lines);
// Whether a listed name can be used as a local file name: no "/", "\" or control characters,
// and not "." or "..".
bool IsUsableLocalName(const QByteArray& name);

} // namespace CFtpListing
