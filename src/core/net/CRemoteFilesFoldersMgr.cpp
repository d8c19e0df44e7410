#include "core/net/CRemoteFilesFoldersMgr.h"

#include "core/settings/CArchive.h"

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
