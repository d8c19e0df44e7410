#pragma once

#include "core/net/CRemoteHost.h"
#include "gui/common/CResizingDialog.h"

#include <QHash>

class CFtpPaneModel;
class IShell;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QTreeView;

// "FTP": a small two-pane file manager, local files on the left and the remote host's current
// directory on the right. It owns its connection; every remote action runs on the FTP worker
// with the progress window and its Cancel, while the FTP dialogue goes to the dialog's own log
// box. Nothing connects until "Connect".
class CFtpDlg : public CResizingDialog
{
    Q_OBJECT
public:
    // The controls, by the ids that tie them to their texts.
    enum Control : int {
        DriveSelector = 1003,
        LocalPathLabel = 1008,
        LocalList = 1001,
        LocalChangeDirectory = 1018,
        ConnectButton = 1007,
        ExitButton = 2,
        SendFileButton = 1005,
        GetFileButton = 1010,
        AsciiButton = 1144,
        BinaryButton = 1145,
        HelpButton = 1020,
        StatusText = 1147,
        RemotePathLabel = 1009,
        RemoteList = 1006,
        ViewButton = 1078,
        PermissionButton = 1011,
        DeleteButton = 1012,
        RenameButton = 1013,
        MakeDirButton = 1014,
        RawDirListButton = 1017,
        RemoteChangeDirectory = 1019,
        LogBox = 1146,
    };

    // `shell` (may be null) is asked before a download replaces a file open as a document and
    // before an upload sends a file with unsaved edits.
    CFtpDlg(QWidget* parent, IShell* shell);
    ~CFtpDlg() override;

    QWidget* ControlWidget(int id) const { return m_controls.value(id); }
    QPushButton* Button(int id) const;
    QTreeView* LocalView() const { return m_localView; }
    QTreeView* RemoteView() const { return m_remoteView; }
    CFtpPaneModel* LocalModel() const { return m_localModel; }
    CFtpPaneModel* RemoteModel() const { return m_remoteModel; }
    CRemoteHost& Host() { return m_host; }
    // The local directory shown, ending in '/'.
    QString LocalFolder() const { return m_localFolder; }
    void SetLocalFolder(const QString& folder);

    // The path labels: a long local path keeps its first three and its last characters, a long
    // remote path its last 30.
    static QString ShortLocalPath(const QString& path);
    static QString ShortRemotePath(const QString& path);

    static QString HelpTopic() { return QStringLiteral("dlgFTP.html"); }

    // Exit and closing the window disconnect first; a connection that stays open keeps the
    // dialog open.
    void reject() override;

private:
    void buildControls();
    QPushButton* addButton(int id, const QString& text);
    void readLocalList();
    bool readRemoteList();
    void updateConnectionState();
    int selectedRow(QTreeView* view) const;
    // Shows the outcome of a remote action and, after a change on the host, lists it again.
    void finishRemote(bool ok, bool changed);
    bool binary() const;
    bool passive() const;

    void onConnect();
    void onDriveChosen(int index);
    void onLocalChangeDirectory();
    void onRemoteChangeDirectory();
    void onSendFile();
    void onGetFile();
    void onView();
    void onPermission();
    void onDelete();
    void onRename();
    void onMakeDir();
    void onRawDirList();

    IShell* m_shell;
    CRemoteHost m_host;
    QString m_localFolder;
    QHash<int, QWidget*> m_controls;
    QComboBox* m_drives = nullptr;
    QLabel* m_localPath = nullptr;
    QLabel* m_remotePath = nullptr;
    QLabel* m_status = nullptr;
    QTreeView* m_localView = nullptr;
    QTreeView* m_remoteView = nullptr;
    CFtpPaneModel* m_localModel = nullptr;
    CFtpPaneModel* m_remoteModel = nullptr;
    QRadioButton* m_ascii = nullptr;
    QRadioButton* m_binary = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QTimer* m_stateTimer = nullptr;
    bool m_lastConnected = false;
    bool m_busy = false;
};
