#pragma once

#include <QWidget>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class CRemoteFilesFoldersSheet;

// The "Remote Files" page: every file ZEPH uploaded, with view, rename, delete, permission change
// and removal from the record.
class CRemoteFilesPg : public QWidget
{
    Q_OBJECT
public:
    explicit CRemoteFilesPg(CRemoteFilesFoldersSheet* sheet);

    void Refill();
    void ChangePermissions();
    void ViewFile();
    void DeleteFile();
    void RemoveFromList();
    void RenameFile();
    void StoreLayout();

    QTreeWidget* List() const { return m_list; }
    // The text the viewer showed last (for tests), and its window title.
    QString LastViewedText() const { return m_lastViewed; }
    QString LastViewedCaption() const { return m_lastViewedCaption; }
    // Whether the next View shows its window (tests switch it off).
    void SetShowViewer(bool show) { m_showViewer = show; }

private:
    // The remote name of the selected row, or empty after telling the user `message`.
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
