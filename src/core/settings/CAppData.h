#pragma once

#include "core/settings/CRemoteFilesFoldersMgr.h"
#include "core/settings/CUserData.h"
#include "core/settings/Serializable.h"

#include <QList>
#include <QString>
#include <QStringList>

// The content of the identities' data file: every identity's settings and remote-files record,
// enciphered as a protected file.
class CAppData : public Serializable
{
public:
    explicit CAppData(const QString& path);

    quint32 version = 1;
    QList<CUserData> users;
    QList<CRemoteFilesFoldersMgr> remoteFiles;

    QString Path() const { return m_path; }

    bool Load();
    bool Save();

    bool FindUser(const QString& name, CUserData* record) const;
    bool PutUser(const CUserData& record);
    void RemoveUser(const QString& name);
    QStringList GetUserNames() const;
    QList<CUserData> GetUsers() const { return users; }

    bool FindRemoteFiles(const QString& name, CRemoteFilesFoldersMgr* record) const;
    bool PutRemoteFiles(const CRemoteFilesFoldersMgr& record);
    void RemoveRemoteFiles(const QString& name);

    QString GetErrorText() const;

    void Store(CArchive& archive) const override;
    bool Load(CArchive& archive) override;

    static const QByteArray Magic;

private:
    QString m_path;
    QString m_errorText;
};
