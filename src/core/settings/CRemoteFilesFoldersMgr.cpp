#include "core/settings/CRemoteFilesFoldersMgr.h"

#include "core/common/Clock.h"
#include "core/common/DateText.h"
#include "core/settings/CArchive.h"
#include "core/settings/Profile.h"

#include <QFileInfo>

namespace {

const QByteArray Magic = QByteArrayLiteral("Remote file and folders dlg info");
constexpr quint32 Version = 2;
constexpr quint32 FileSchema = 2;
constexpr quint32 DirSchema = 1;

void storeTime(CArchive& archive, const COleDateTime& time)
{
    archive.WriteDword(time.status);
    archive.WriteDouble(time.days);
}

bool loadTime(CArchive& archive, COleDateTime* time)
{
    quint32 status = 0;
    if (!archive.ReadDword(&status) || !archive.ReadDouble(&time->days))
        return false;
    if (status > COleDateTime::Null)
        return archive.Fail(QStringLiteral("The file has a bad format."));
    time->status = static_cast<COleDateTime::Status>(status);
    return true;
}

} // namespace

void CRemoteFilesFoldersMgr::Store(CArchive& archive) const
{
    archive.WriteText(identityName);
    archive.WriteString(Magic);
    archive.WriteDword(Version);
    archive.WriteDword(static_cast<quint32>(files.size()));
    archive.WriteDword(static_cast<quint32>(directories.size()));
    for (const auto& file : files) {
        archive.WriteDword(FileSchema);
        archive.WriteText(file.remoteName);
        archive.WriteText(file.localName);
        storeTime(archive, file.dateUploaded);
        storeTime(archive, file.localFileTime);
        archive.WriteInt32(file.permissions);
    }
    for (const auto& dir : directories) {
        archive.WriteDword(DirSchema);
        archive.WriteText(dir.name);
        archive.WriteInt32(dir.permissions);
    }
}

bool CRemoteFilesFoldersMgr::Load(CArchive& archive)
{
    const QString badFormat = QStringLiteral("The file has a bad format.");
    QByteArray magic;
    quint32 version = 0, fileCount = 0, dirCount = 0;
    if (!archive.ReadText(&identityName) || !archive.ReadString(&magic) || !archive.ReadDword(&version))
        return false;
    if (magic != Magic || version != Version)
        return archive.Fail(badFormat);
    // A file entry takes at least 34 bytes, a directory entry 9.
    if (!archive.ReadCountedDword(&fileCount, 1) || !archive.ReadCountedDword(&dirCount, 1)
        || qsizetype(fileCount) * 34 + qsizetype(dirCount) * 9 > archive.BytesLeft())
        return archive.Fail(badFormat);
    for (quint32 i = 0; i < fileCount; ++i) {
        CRemoteFileEntry file;
        quint32 schema = 0;
        if (!archive.ReadDword(&schema))
            return false;
        if (schema != FileSchema)
            return archive.Fail(badFormat);
        if (!archive.ReadText(&file.remoteName) || !archive.ReadText(&file.localName)
            || !loadTime(archive, &file.dateUploaded) || !loadTime(archive, &file.localFileTime)
            || !archive.ReadInt32(&file.permissions))
            return false;
        files.append(file);
    }
    for (quint32 i = 0; i < dirCount; ++i) {
        CRemoteDirEntry dir;
        quint32 schema = 0;
        if (!archive.ReadDword(&schema))
            return false;
        if (schema != DirSchema)
            return archive.Fail(badFormat);
        if (!archive.ReadText(&dir.name) || !archive.ReadInt32(&dir.permissions))
            return false;
        directories.append(dir);
    }
    return true;
}

namespace {

qsizetype findFile(const QList<CRemoteFileEntry>& files, const QString& remote)
{
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (files[i].remoteName.compare(remote, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype findDir(const QList<CRemoteDirEntry>& directories, const QString& name)
{
    for (qsizetype i = 0; i < directories.size(); ++i) {
        if (directories[i].name == name)
            return i;
    }
    return -1;
}

} // namespace

void CRemoteFilesFoldersMgr::AddUpload(const QString& remote, const QString& local,
    const COleDateTime& uploaded, const COleDateTime& localTime, int permissions)
{
    const qsizetype i = findFile(files, remote);
    if (i < 0) {
        files.append(CRemoteFileEntry { remote, local, uploaded, localTime, permissions });
        return;
    }
    CRemoteFileEntry& entry = files[i];
    entry.localName = local;
    entry.dateUploaded = uploaded;
    entry.localFileTime = localTime;
    // A temporary-name upload makes a new file with the host's default mode.
    if (permissions != -1 || GetSetting(Settings::UploadWithTempFile))
        entry.permissions = permissions;
}

bool CRemoteFilesFoldersMgr::RenameFile(const QString& oldRemote, const QString& newRemote)
{
    const qsizetype i = findFile(files, oldRemote);
    if (i < 0)
        return false;
    files[i].remoteName = newRemote;
    return true;
}

void CRemoteFilesFoldersMgr::ForgetFile(const QString& remote)
{
    const qsizetype i = findFile(files, remote);
    if (i >= 0)
        files.removeAt(i);
}

void CRemoteFilesFoldersMgr::SetFilePermissions(const QString& remote, int permissions)
{
    const qsizetype i = findFile(files, remote);
    if (i >= 0)
        files[i].permissions = permissions;
}

int CRemoteFilesFoldersMgr::FilePermissions(const QString& remote) const
{
    const qsizetype i = findFile(files, remote);
    return i >= 0 ? files[i].permissions : -1;
}

bool CRemoteFilesFoldersMgr::GetFile(int index, CRemoteFileEntry* entry) const
{
    if (index < 0 || index >= files.size())
        return false;
    *entry = files[index];
    return true;
}

void CRemoteFilesFoldersMgr::RemoteNames(QStringList* list) const
{
    list->clear();
    for (const CRemoteFileEntry& entry : files)
        list->append(entry.remoteName);
}

COleDateTime CRemoteFilesFoldersMgr::LocalFileTime(const QString& local)
{
    const QFileInfo info(local);
    if (!info.exists())
        return COleDateTime();
    return COleDateTime::FromDateTime(info.lastModified());
}

bool CRemoteFilesFoldersMgr::IsUnchanged(const QString& remote, const QString& local) const
{
    for (const CRemoteFileEntry& entry : files) {
        if (entry.remoteName.compare(remote, Qt::CaseInsensitive) != 0
            || entry.localName.compare(local, Qt::CaseInsensitive) != 0)
            continue;
        const COleDateTime now = LocalFileTime(local);
        if (now.status != COleDateTime::Valid)
            return false;
        return now == entry.localFileTime;
    }
    return false;
}

void CRemoteFilesFoldersMgr::TouchLocal(const QString& local)
{
    for (CRemoteFileEntry& entry : files) {
        if (entry.localName.compare(local, Qt::CaseInsensitive) == 0) {
            entry.localFileTime = COleDateTime::FromDateTime(Clock::Now());
            // A file written in this very millisecond must still count as changed.
            if (entry.localFileTime == LocalFileTime(local))
                entry.localFileTime.status = COleDateTime::Invalid;
            return;
        }
    }
}

int CRemoteFilesFoldersMgr::UploadPermissions()
{
    return GetSetting(Settings::ChmodOnUpload) ? GetSetting(Settings::OnUploadChmodPerms) : -1;
}

void CRemoteFilesFoldersMgr::AddDir(const QString& name, int permissions)
{
    const qsizetype i = findDir(directories, name);
    if (i < 0)
        directories.append(CRemoteDirEntry { name, permissions });
    else if (permissions != -1)
        directories[i].permissions = permissions;
}

void CRemoteFilesFoldersMgr::SetDirPermissions(const QString& name, int permissions)
{
    const qsizetype i = findDir(directories, name);
    if (i >= 0)
        directories[i].permissions = permissions;
}

int CRemoteFilesFoldersMgr::DirPermissions(const QString& name) const
{
    const qsizetype i = findDir(directories, name);
    return i >= 0 ? directories[i].permissions : -1;
}

void CRemoteFilesFoldersMgr::ForgetDir(const QString& name)
{
    const qsizetype i = findDir(directories, name);
    if (i >= 0)
        directories.removeAt(i);
}

bool CRemoteFilesFoldersMgr::GetDir(int index, CRemoteDirEntry* entry) const
{
    if (index < 0 || index >= directories.size())
        return false;
    *entry = directories[index];
    return true;
}

QString CRemoteFilesFoldersMgr::UploadDateText(const COleDateTime& time)
{
    return DateText::Format(
        time.ToDateTime(), GetSetting(Settings::LogDateFormat), GetSettingString(Settings::LogDateSeparator));
}
