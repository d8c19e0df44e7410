#include "core/net/CustomMenus.h"

#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"

namespace {

QString sectionOf(bool upload)
{
    return QLatin1String(upload ? Settings::UploadMenuSection : Settings::DownloadMenuSection);
}

// Entries left over from a longer list are removed up to this index: a damaged count must not
// make the removal run for ever.
constexpr int MaxStaleEntries = 10000;

QString keyOf(int index, const char* name)
{
    return QString::number(index) + QLatin1String(name);
}

} // namespace

namespace CustomMenus {

QList<CMenuEntry> LoadMenuEntries(bool upload)
{
    const QString section = sectionOf(upload);
    const int count = std::min(GetProfileInt(section, QStringLiteral("Entries"), 0), MaxEntries);
    QList<CMenuEntry> entries;
    for (int i = 0; i < count; ++i) {
        CMenuEntry entry;
        entry.menuName = GetProfileString(section, keyOf(i, "MenuName"), QString());
        entry.remoteFile = GetProfileString(section, keyOf(i, "RemoteFile"), QString());
        entry.localFile = GetProfileString(section, keyOf(i, "LocalFile"), QString());
        if (entry.menuName.isEmpty() || entry.remoteFile.isEmpty() || entry.localFile.isEmpty())
            break;
        entries.append(entry);
    }
    return entries;
}

bool SaveMenuEntries(bool upload, const QList<CMenuEntry>& entries)
{
    const QString section = sectionOf(upload);
    const int oldCount = GetProfileInt(section, QStringLiteral("Entries"), 0);
    const int count = static_cast<int>(std::min<qsizetype>(entries.size(), MaxEntries));
    bool ok = WriteProfileInt(section, QStringLiteral("Entries"), count);
    for (int i = 0; i < count; ++i) {
        ok = WriteProfileString(section, keyOf(i, "MenuName"), entries[i].menuName) && ok;
        ok = WriteProfileString(section, keyOf(i, "RemoteFile"), entries[i].remoteFile) && ok;
        ok = WriteProfileString(section, keyOf(i, "LocalFile"), entries[i].localFile) && ok;
    }
    for (int i = count; i < std::min(oldCount, MaxStaleEntries); ++i) {
        for (const char* name : { "MenuName", "RemoteFile", "LocalFile" })
            CurrentUserData().DeleteKey(section, keyOf(i, name));
    }
    return ok;
}

} // namespace CustomMenus
