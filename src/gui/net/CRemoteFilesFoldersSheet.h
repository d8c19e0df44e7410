#pragma once

#include "core/net/CRemoteHost.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class CRemoteFilesPg;
class CRemoteFoldersPg;

// "Remote Files and Folders": what ZEPH put on the host, with the files and the folders on two
// pages that share one connection. "Disconnect" ends it; closing the window ends it too.
class CRemoteFilesFoldersSheet : public QDialog
{
    Q_OBJECT
public:
    CRemoteFilesFoldersSheet(const QString& caption, QWidget* parent = nullptr);
    ~CRemoteFilesFoldersSheet() override;

    CRemoteHost& Host() { return m_host; }
    // Connects when needed; on success "Disconnect" becomes available.
    bool Connect();
    void Disconnect();

    // Asks for new permissions starting from `current` and changes them on the host. `sentName`
    // is what goes into the command, `recordName` what the list shows. On success the new value
    // is stored in `*newPermissions`. Tells the user the outcome.
    bool ChangePermissions(QWidget* page, const QString& sentName, const QString& recordName, bool isFile,
        int current, int* newPermissions);

    QTabWidget* Tabs() const { return m_tabs; }
    CRemoteFilesPg* FilesPage() const { return m_files; }
    CRemoteFoldersPg* FoldersPage() const { return m_folders; }
    QPushButton* DisconnectButton() const { return m_disconnect; }
    QPushButton* HelpButton() const { return m_help; }

protected:
    void done(int result) override;

private:
    void focusHelp();

    CRemoteHost m_host;
    QTabWidget* m_tabs = nullptr;
    CRemoteFilesPg* m_files = nullptr;
    CRemoteFoldersPg* m_folders = nullptr;
    QPushButton* m_disconnect = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_help = nullptr;
};
