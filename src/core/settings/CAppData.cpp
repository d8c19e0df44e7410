#include "core/settings/CAppData.h"

#include "core/settings/CArchive.h"
#include "core/settings/CProtectedFile.h"
#include "core/settings/CRandom.h"
#include "core/settings/ProtectedKeys.h"

#include <QDir>
#include <QFileInfo>

const QByteArray CAppData::Magic = QByteArrayLiteral("ZEPH data file");

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

CAppData::CAppData(const QString& path)
    : m_path(path)
{
}

bool CAppData::Load()
{
    users.clear();
    remoteFiles.clear();
    if (!QFileInfo(m_path).isFile()) {
        m_errorText = QStringLiteral("File doesn't exist.");
        return false;
    }
    CProtectedFile file;
    if (!file.LoadObject(*this, m_path, DataFileKey())) {
        m_errorText = file.GetErrorText();
        return false;
    }
    return true;
}

bool CAppData::Save()
{
    if (m_path.isEmpty()) {
        m_errorText = QStringLiteral("The data file has no path.");
        return false;
    }
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        m_errorText = QStringLiteral("The folder %1 could not be created.").arg(folder);
        return false;
    }
    CProtectedFile file;
    if (!file.SaveObject(*this, m_path, DataFileKey())) {
        m_errorText = file.GetErrorText();
        return false;
    }
    return true;
}

void CAppData::Store(CArchive& archive) const
{
    archive.WriteDword(1);
    archive.WriteString(Magic);
    CRandom random;
    random.Seed(0);
    archive.WriteString(random.RandomString(19, 57));
    // A version-0 object in memory is written as version 1 with empty lists.
    const bool empty = version == 0;
    archive.WriteDword(empty ? 0 : static_cast<quint32>(users.size()));
    archive.WriteDword(empty ? 0 : static_cast<quint32>(remoteFiles.size()));
    if (empty)
        return;
    for (const auto& user : users)
        user.Store(archive);
    for (const auto& record : remoteFiles)
        record.Store(archive);
}

bool CAppData::Load(CArchive& archive)
{
    const QString badFormat = QStringLiteral("The file has a bad format.");
    QByteArray magic;
    if (!archive.ReadDword(&version) || !archive.ReadString(&magic))
        return false;
    if (magic != Magic)
        return archive.Fail(badFormat);
    // A version-0 file holds no records. It becomes an empty version-1 store, so that what is
    // added to it is saved rather than dropped by the version-0 rule of Store.
    if (version == 0) {
        version = 1;
        return true;
    }
    if (version != 1)
        return archive.Fail(badFormat);
    QByteArray filler;
    quint32 userCount = 0, remoteCount = 0;
    // A user record takes at least 21 bytes, a remote-files record 42.
    if (!archive.ReadString(&filler) || !archive.ReadCountedDword(&userCount, 21)
        || !archive.ReadCountedDword(&remoteCount, 42))
        return false;
    for (quint32 i = 0; i < userCount; ++i) {
        CUserData user;
        if (!user.Load(archive))
            return false;
        users.append(user);
    }
    for (quint32 i = 0; i < remoteCount; ++i) {
        CRemoteFilesFoldersMgr record;
        if (!record.Load(archive))
            return false;
        remoteFiles.append(record);
    }
    return true;
}

bool CAppData::FindUser(const QString& name, CUserData* record) const
{
    for (const auto& user : users) {
        if (sameName(user.name, name)) {
            *record = user;
            return true;
        }
    }
    return false;
}

bool CAppData::PutUser(const CUserData& record)
{
    if (record.name.isEmpty())
        return false;
    for (auto& user : users) {
        if (sameName(user.name, record.name)) {
            user = record;
            return true;
        }
    }
    users.append(record);
    return true;
}

void CAppData::RemoveUser(const QString& name)
{
    for (qsizetype i = 0; i < users.size(); ++i) {
        if (sameName(users[i].name, name)) {
            users.removeAt(i);
            return;
        }
    }
}

QStringList CAppData::GetUserNames() const
{
    QStringList names;
    for (const auto& user : users)
        names << user.name;
    return names;
}

bool CAppData::FindRemoteFiles(const QString& name, CRemoteFilesFoldersMgr* record) const
{
    for (const auto& r : remoteFiles) {
        if (sameName(r.identityName, name)) {
            *record = r;
            return true;
        }
    }
    return false;
}

bool CAppData::PutRemoteFiles(const CRemoteFilesFoldersMgr& record)
{
    if (record.identityName.isEmpty())
        return false;
    for (auto& r : remoteFiles) {
        if (sameName(r.identityName, record.identityName)) {
            r = record;
            return true;
        }
    }
    remoteFiles.append(record);
    return true;
}

void CAppData::RemoveRemoteFiles(const QString& name)
{
    for (qsizetype i = 0; i < remoteFiles.size(); ++i) {
        if (sameName(remoteFiles[i].identityName, name)) {
            remoteFiles.removeAt(i);
            return;
        }
    }
}

QString CAppData::GetErrorText() const
{
    return m_errorText.isEmpty() ? QStringLiteral("Unknown error.") : m_errorText;
}
