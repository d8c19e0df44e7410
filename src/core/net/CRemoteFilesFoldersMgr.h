#pragma once

#include "core/settings/COleDateTime.h"
#include "core/settings/Serializable.h"

#include <QList>
#include <QString>

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

    void Store(CArchive& archive) const override;
    bool Load(CArchive& archive) override;

    bool operator==(const CRemoteFilesFoldersMgr& other) const
    {
        return identityName == other.identityName && files == other.files
            && directories == other.directories;
    }
};
