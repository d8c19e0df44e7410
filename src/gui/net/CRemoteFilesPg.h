#pragma once

#include "gui/net/CRemoteItemsPg.h"

// The "Remote Files" page: every file ZEPH uploaded, with view, rename, delete, permission change
// and removal from the record.
class CRemoteFilesPg : public CRemoteItemsPg
{
    Q_OBJECT
public:
    explicit CRemoteFilesPg(CRemoteFilesFoldersSheet* sheet);

    void ChangePermissions();
    void ViewFile();
    void DeleteFile();
    void RemoveFromList();
    void RenameFile();

protected:
    QList<QTreeWidgetItem*> makeRows() const override;
};
