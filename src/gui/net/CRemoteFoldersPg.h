#pragma once

#include <QWidget>

class QTreeWidget;
class CRemoteFilesFoldersSheet;

// The "Remote Folders" page: every directory ZEPH created, with its listing, deletion, permission
// change and removal from the record. "$HOME" stands for the login directory.
class CRemoteFoldersPg : public QWidget
{
    Q_OBJECT
public:
    explicit CRemoteFoldersPg(CRemoteFilesFoldersSheet* sheet);

    void Refill();
    void ChangePermissions();
    void ViewDirList();
    void DeleteFolder();
    void RemoveFromList();
    void StoreLayout();

    QTreeWidget* List() const { return m_list; }
    QString LastViewedText() const { return m_lastViewed; }
    QString LastViewedCaption() const { return m_lastViewedCaption; }
    void SetShowViewer(bool show) { m_showViewer = show; }

private:
    QString selectedName(const QString& message);
    void sortBy(int column);

    CRemoteFilesFoldersSheet* m_sheet;
    QTreeWidget* m_list = nullptr;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
    bool m_showViewer = true;
    QString m_lastViewed;
    QString m_lastViewedCaption;
};
