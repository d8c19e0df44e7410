#pragma once

#include "core/net/CRemoteHost.h"
#include "core/procmail/CBackupMailList.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTreeWidget;

// "Backup Messages": the saved copies on the host with their dates, sortable by either column;
// a copy can be read, and copies can be deleted. The dialog owns its remote connection, which
// stays open after viewing and deleting until "Disconnect" or the dialog closes.
class CBackupMsgListDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CBackupMsgListDlg(QWidget* parent);

    // Lists the folder and shows the dialog; without copies (or when the host cannot be listed)
    // the dialog is not shown and Rejected comes back.
    static int Run(QWidget* parent);
    // Lists the folder. False without copies: the user has been told (and shown the listing).
    bool Load();

    QTreeWidget* List() const { return m_list; }
    QPushButton* ViewButton() const { return m_view; }
    QPushButton* DeleteButton() const { return m_delete; }
    QPushButton* DisconnectButton() const { return m_disconnect; }
    // Sorts by the column as a click on its header does.
    void SortBy(int column);

private:
    void fill();
    void onView();
    void onDelete();
    void onDisconnect();
    void updateDisconnect();

    CRemoteHost m_host;
    CBackupMailList m_backup;
    QList<BackupListing::Entry> m_entries;
    int m_sortColumn = -1;
    bool m_ascending = true;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_view = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_disconnect = nullptr;
};
