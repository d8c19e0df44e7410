#pragma once

#include "gui/net/CRemoteItemsPg.h"

// The "Remote Folders" page: every directory ZEPH created, with its listing, deletion, permission
// change and removal from the record. "$HOME" stands for the login directory.
class CRemoteFoldersPg : public CRemoteItemsPg
{
    Q_OBJECT
public:
    explicit CRemoteFoldersPg(CRemoteFilesFoldersSheet* sheet);

    void ChangePermissions();
    void ViewDirList();
    void DeleteFolder();
    void RemoveFromList();

protected:
    QList<QTreeWidgetItem*> makeRows() const override;
};
