#pragma once

#include <QList>
#include <QString>

// The user's own entries of the Upload and Download menus.
struct CMenuEntry
{
    QString menuName;
    QString remoteFile;
    QString localFile;

    bool operator==(const CMenuEntry&) const = default;
};

namespace CustomMenus {

constexpr int MaxEntries = 50;
constexpr int MaxMenuName = 50;

// The stored entry count, bounded to MaxEntries, and one entry as stored (parts may be empty).
int StoredEntryCount(bool upload);
CMenuEntry StoredEntry(bool upload, int index);
// The complete entries in entry order, stopping at the first incomplete entry and after MaxEntries.
QList<CMenuEntry> LoadMenuEntries(bool upload);
// Writes the entries and removes the keys of former entries beyond the new count.
bool SaveMenuEntries(bool upload, const QList<CMenuEntry>& entries);

} // namespace CustomMenus
