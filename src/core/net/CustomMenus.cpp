#include "core/net/CustomMenus.h"

#include "core/settings/Profile.h"

#include <algorithm>

namespace {

struct MenuKeys
{
    Settings::Key entries, menuName, remoteFile, localFile;
};

MenuKeys keysOf(bool upload)
{
    if (upload)
        return { Settings::UploadMenuEntries, Settings::UploadMenuName, Settings::UploadMenuRemoteFile,
            Settings::UploadMenuLocalFile };
    return { Settings::DownloadMenuEntries, Settings::DownloadMenuName, Settings::DownloadMenuRemoteFile,
        Settings::DownloadMenuLocalFile };
}

} // namespace

namespace CustomMenus {

int StoredEntryCount(bool upload)
{
    return std::clamp(GetSetting(keysOf(upload).entries), 0, MaxEntries);
}

CMenuEntry StoredEntry(bool upload, int index)
{
    const MenuKeys keys = keysOf(upload);
    const QString n = QString::number(index);
    return { GetSettingString({ keys.menuName, n }), GetSettingString({ keys.remoteFile, n }),
        GetSettingString({ keys.localFile, n }) };
}

QList<CMenuEntry> LoadMenuEntries(bool upload)
{
    const int count = StoredEntryCount(upload);
    QList<CMenuEntry> entries;
    for (int i = 0; i < count; ++i) {
        const CMenuEntry entry = StoredEntry(upload, i);
        if (entry.menuName.isEmpty() || entry.remoteFile.isEmpty() || entry.localFile.isEmpty())
            break;
        entries.append(entry);
    }
    return entries;
}

bool SaveMenuEntries(bool upload, const QList<CMenuEntry>& entries)
{
    const MenuKeys keys = keysOf(upload);
    const int oldCount = GetSetting(keys.entries);
    const int count = static_cast<int>(std::min<qsizetype>(entries.size(), MaxEntries));
    bool ok = SetSetting(keys.entries, count);
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        ok = SetSetting({ keys.menuName, n }, entries[i].menuName) && ok;
        ok = SetSetting({ keys.remoteFile, n }, entries[i].remoteFile) && ok;
        ok = SetSetting({ keys.localFile, n }, entries[i].localFile) && ok;
    }
    for (int i = count; i < std::min(oldCount, 10000); ++i) {
        for (Settings::Key key : { keys.menuName, keys.remoteFile, keys.localFile })
            DeleteSetting({ key, QString::number(i) });
    }
    return ok;
}

} // namespace CustomMenus
