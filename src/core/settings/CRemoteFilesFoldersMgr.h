#pragma once

#include "core/settings/COleDateTime.h"
#include "core/settings/Serializable.h"

#include <QList>
#include <QString>
#include <QStringList>

// One file that ZEPH uploaded to the host.
struct CRemoteFileEntry
{
    QString remoteName; // the key, compared without regard to case
    QString localName;
    COleDateTime dateUploaded;
    COleDateTime localFileTime;
    qint32 permissions = -1; // octal digits written as a decimal number; -1 "Default"

    bool operator==(const CRemoteFileEntry&) const = default;
};

// One directory that ZEPH created on the host.
struct CRemoteDirEntry
{
    QString name; // the key, compared with regard to case; "$HOME" for the login directory
    qint32 permissions = -1;

    bool operator==(const CRemoteDirEntry&) const = default;
};

// Per identity, everything ZEPH put on the host.
class CRemoteFilesFoldersMgr : public Serializable
{
public:
    QString identityName;
    QList<CRemoteFileEntry> files;
    QList<CRemoteDirEntry> directories;

    // Records an upload; an existing entry of that remote name (any case) is updated.
    void AddUpload(const QString& remote, const QString& local, const COleDateTime& uploaded,
        const COleDateTime& localTime, int permissions);
    bool RenameFile(const QString& oldRemote, const QString& newRemote);
    void ForgetFile(const QString& remote);
    void SetFilePermissions(const QString& remote, int permissions);
    // The recorded mode of that remote file, or -1 when it is not recorded.
    int FilePermissions(const QString& remote) const;
    int FileCount() const { return static_cast<int>(files.size()); }
    bool GetFile(int index, CRemoteFileEntry* entry) const;
    void RemoteNames(QStringList* list) const;
    // True when the local file has not changed since it was uploaded under that remote name.
    bool IsUnchanged(const QString& remote, const QString& local) const;
    // Marks the local file as changed since its upload.
    void TouchLocal(const QString& local);
    // The mode uploads give their files, or -1 when they change none.
    static int UploadPermissions();

    void AddDir(const QString& name, int permissions);
    void SetDirPermissions(const QString& name, int permissions);
    int DirPermissions(const QString& name) const;
    void ForgetDir(const QString& name);
    int DirCount() const { return static_cast<int>(directories.size()); }
    bool GetDir(int index, CRemoteDirEntry* entry) const;

    // An upload date as the Remote Files list shows it: after "Log Settings"/"Date Format" and
    // "Date Separator", with two-digit years and the time of day; empty for a time not valid.
    static QString UploadDateText(const COleDateTime& time);

    // The local file's last-modified time as recorded, or a null time when it cannot be read.
    static COleDateTime LocalFileTime(const QString& local);

    void Store(CArchive& archive) const override;
    bool Load(CArchive& archive) override;

    bool operator==(const CRemoteFilesFoldersMgr& other) const
    {
        return identityName == other.identityName && files == other.files && directories == other.directories;
    }
};
