#pragma once

#include "core/settings/CRemoteFilesFoldersMgr.h"
#include "core/settings/CUserData.h"

#include <QList>
#include <QString>
#include <QStringList>

// The identity this instance serves and its records, owned for the whole run; and the data-file
// operations on it.
class CAppState
{
public:
    static CAppState& Instance();

    static const QString UninstallIdentity;

    // "Default" for an empty name; the uninstall name selects uninstall mode and "Default".
    void SetIdentity(const QString& name);
    QString IdentityName() const { return m_identityName; }
    bool UninstallMode() const { return m_uninstallMode; }

    CUserData& UserData() { return m_userData; }
    CRemoteFilesFoldersMgr& RemoteFiles() { return m_remoteFiles; }

    // The data file's path; tests point it elsewhere.
    QString DataFilePath() const;
    void SetDataFilePath(const QString& path) { m_dataFilePath = path; }

    // Reads the identity's records from the data file. A file that exists but cannot be read is
    // renamed aside and the user is told once; the identity then starts from defaults.
    void LoadIdentityData();
    bool DataLoaded() const { return m_loaded; }
    // Writes the identity's records back, keeping every other identity's. False with the reason.
    bool SaveIdentityData(QString* error = nullptr);
    // The same for the saves made along the way (opening a connection, listing identities): a
    // failure is shown to the user, once per run.
    bool SaveIdentityDataAndReport();
    // The message for a failed save, with the reason.
    QString SaveFailureText(const QString& error) const;
    QList<CUserData> GetAllIdentities();
    QStringList GetIdentityNames();
    bool DeleteIdentityData(const QString& name, QString* error = nullptr);
    bool GetRemoteFilesOf(const QString& name, CRemoteFilesFoldersMgr* record);

    // For tests: forget the identity's records and the loaded flag.
    void Reset();

private:
    class CAppData LoadForUpdate(bool* ok, QString* error);

    QString m_identityName = QStringLiteral("Default");
    bool m_uninstallMode = false;
    bool m_loaded = false;
    bool m_saveFailureShown = false;
    CUserData m_userData;
    CRemoteFilesFoldersMgr m_remoteFiles;
    QString m_dataFilePath;
};
