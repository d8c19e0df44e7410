#include "core/settings/CAppState.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/settings/AppDataFolder.h"
#include "core/settings/CAppData.h"
#include "core/settings/DataFileLock.h"
#include "core/settings/SettingsTable.h"

#include <QFile>
#include <QFileInfo>

const QString CAppState::UninstallIdentity = QStringLiteral("_Z_e_p_H___uNiNSTaLl__");

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// An existing data file that cannot be read holds other identities' records: it is renamed
// aside (never overwritten) and the user is told.
void keepUnreadableFile(const CAppData& data)
{
    const QString path = data.Path();
    const QString aside
        = path + QStringLiteral(".bad-") + Clock::Now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (!QFile::rename(path, aside))
        return;
    Prompt::Tell(
        QStringLiteral("The ZEPH data file %1 could not be read (%2).  It has been renamed to %3 and "
                       "kept; ZEPH uses default settings for this identity.")
            .arg(path, data.GetErrorText(), aside),
        QStringLiteral("Data file not readable"), Prompt::Warning);
}

} // namespace

CAppState& CAppState::Instance()
{
    static CAppState state;
    return state;
}

void CAppState::SetIdentity(const QString& name)
{
    m_uninstallMode = name == UninstallIdentity;
    m_identityName = (m_uninstallMode || name.isEmpty()) ? QStringLiteral("Default") : name;
}

QString CAppState::DataFilePath() const
{
    return m_dataFilePath.isEmpty() ? GetAppDataFolder() + QStringLiteral("zeph.dat") : m_dataFilePath;
}

void CAppState::LoadIdentityData()
{
    m_loaded = true;
    CAppData data(DataFilePath());
    const bool exists = QFileInfo(data.Path()).isFile();
    m_userData = CUserData();
    m_remoteFiles = CRemoteFilesFoldersMgr();
    bool found = false;
    if (data.Load()) {
        found = data.FindUser(m_identityName, &m_userData);
        data.FindRemoteFiles(m_identityName, &m_remoteFiles);
    } else if (exists) {
        keepUnreadableFile(data);
    }
    m_userData.name = m_identityName;
    // A new identity talks TLS to its FTP host from the start; one saved before TLS existed keeps
    // the plain connection it was set up with until the user changes it.
    if (!found)
        m_userData.SetInt(SettingSection(Settings::FtpTls), SettingName(Settings::FtpTls), 1);
    m_remoteFiles.identityName = m_identityName;
}

CAppData CAppState::LoadForUpdate(bool* ok, QString* error)
{
    CAppData data(DataFilePath());
    *ok = true;
    if (!QFileInfo(data.Path()).isFile())
        return data;
    if (!data.Load()) {
        keepUnreadableFile(data);
        if (QFileInfo(data.Path()).exists()) {
            // Could not even move it aside: refuse rather than overwrite it.
            *ok = false;
            if (error)
                *error = data.GetErrorText();
        }
        data.users.clear();
        data.remoteFiles.clear();
    }
    return data;
}

bool CAppState::SaveIdentityData(QString* error)
{
    DataFileLock lock(DataFilePath());
    if (!lock.Acquire(error))
        return false;
    bool ok = false;
    CAppData data = LoadForUpdate(&ok, error);
    if (!ok)
        return false;
    m_userData.name = m_identityName;
    m_remoteFiles.identityName = m_identityName;
    data.PutUser(m_userData);
    data.PutRemoteFiles(m_remoteFiles);
    if (!data.Save()) {
        if (error)
            *error = data.GetErrorText();
        return false;
    }
    return true;
}

bool CAppState::SaveIdentityDataAndReport()
{
    QString error;
    if (SaveIdentityData(&error))
        return true;
    if (!m_saveFailureShown) {
        m_saveFailureShown = true;
        Prompt::Tell(SaveFailureText(error), QStringLiteral("Error!"), Prompt::Warning);
    }
    return false;
}

bool CAppState::SaveAtExit()
{
    if (!m_loaded || m_uninstallMode)
        return true;
    for (;;) {
        QString error;
        if (SaveIdentityData(&error))
            return true;
        const Prompt::Button answer = Prompt::Ask(SaveFailureText(error), QStringLiteral("Error!"),
            Prompt::Warning, Prompt::Retry | Prompt::Cancel, Prompt::Retry);
        if (answer != Prompt::Retry)
            return false;
    }
}

QString CAppState::SaveFailureText(const QString& error) const
{
    return QStringLiteral("The ZEPH data file %1 could not be saved.  The error was:\r\n\r\n%2")
        .arg(DataFilePath(), error);
}

QList<CUserData> CAppState::GetAllIdentities()
{
    CAppData data(DataFilePath());
    if (!data.Load())
        return {};
    data.PutUser(m_userData);
    return data.GetUsers();
}

QStringList CAppState::GetIdentityNames()
{
    CAppData data(DataFilePath());
    if (!data.Load())
        return {};
    return data.GetUserNames();
}

bool CAppState::DeleteIdentityData(const QString& name, QString* error)
{
    DataFileLock lock(DataFilePath());
    if (!lock.Acquire(error))
        return false;
    CAppData data(DataFilePath());
    if (!data.Load()) {
        if (error)
            *error = data.GetErrorText();
        return false;
    }
    data.RemoveUser(name);
    data.RemoveRemoteFiles(name);
    if (!data.Save()) {
        if (error)
            *error = data.GetErrorText();
        return false;
    }
    return true;
}

bool CAppState::GetRemoteFilesOf(const QString& name, CRemoteFilesFoldersMgr* record)
{
    if (sameName(name, m_identityName)) {
        *record = m_remoteFiles;
        return true;
    }
    CAppData data(DataFilePath());
    return data.Load() && data.FindRemoteFiles(name, record);
}

void CAppState::Reset()
{
    m_loaded = false;
    m_saveFailureShown = false;
    m_userData = CUserData();
    m_remoteFiles = CRemoteFilesFoldersMgr();
}
