#include "gui/net/CRemoteFilesFoldersSheet.h"

#include "core/common/Prompt.h"
#include "gui/common/CPermissionsDlg.h"
#include "gui/common/Help.h"
#include "gui/net/CRemoteFilesPg.h"
#include "gui/net/CRemoteFoldersPg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

CRemoteFilesFoldersSheet::CRemoteFilesFoldersSheet(const QString& caption, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RemoteFilesFoldersSheet"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_files = new CRemoteFilesPg(this);
    m_folders = new CRemoteFoldersPg(this);
    m_tabs->addTab(m_files, QStringLiteral("Remote Files"));
    m_tabs->addTab(m_folders, QStringLiteral("Remote Folders"));
    layout->addWidget(m_tabs, 1);
    auto* buttons = new QHBoxLayout;
    m_disconnect = new QPushButton(QStringLiteral("Disconnect"), this);
    m_disconnect->setEnabled(false);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_help = new QPushButton(QStringLiteral("Help"), this);
    buttons->addStretch();
    buttons->addWidget(m_disconnect);
    buttons->addWidget(m_close);
    buttons->addWidget(m_help);
    layout->addLayout(buttons);
    connect(m_disconnect, &QPushButton::clicked, this, &CRemoteFilesFoldersSheet::Disconnect);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_help, &QPushButton::clicked, this, [this] {
        ShowHelpTopic(this,
            m_tabs->currentIndex() == 0 ? QStringLiteral("dlgRemoteFiles.html")
                                        : QStringLiteral("dlgRemoteFolders.html"));
    });
    // F1 follows the page that is shown.
    SetHelpTopic(this, QStringLiteral("dlgRemoteFiles.html"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        SetHelpTopic(this,
            index == 0 ? QStringLiteral("dlgRemoteFiles.html") : QStringLiteral("dlgRemoteFolders.html"));
        QTimer::singleShot(10, this, &CRemoteFilesFoldersSheet::focusHelp);
    });
    m_disconnect->setAutoDefault(false);
    m_close->setAutoDefault(false);
    m_help->setDefault(true);
    focusHelp();
    resize(720, 400);
}

CRemoteFilesFoldersSheet::~CRemoteFilesFoldersSheet()
{
    m_host.Disconnect();
    m_host.CloseProgress();
}

void CRemoteFilesFoldersSheet::focusHelp()
{
    m_help->setDefault(true);
    m_help->setFocus();
}

bool CRemoteFilesFoldersSheet::Connect()
{
    if (!m_host.Connect())
        return false;
    m_disconnect->setEnabled(true);
    return true;
}

void CRemoteFilesFoldersSheet::Disconnect()
{
    m_host.Disconnect();
    m_host.CloseProgress();
    m_disconnect->setEnabled(false);
}

void CRemoteFilesFoldersSheet::done(int result)
{
    m_files->StoreLayout();
    m_folders->StoreLayout();
    Disconnect();
    QDialog::done(result);
}

bool CRemoteFilesFoldersSheet::ChangePermissions(QWidget* page, const QString& sentName,
    const QString& recordName, bool isFile, int current, int* newPermissions)
{
    int value = current;
    CPermissionsDlg dialog(&value, isFile, page);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    bool ok = false;
    if (Connect()) {
        if (m_host.Chmod(sentName, value)) {
            *newPermissions = value;
            ok = true;
            m_host.CloseProgress();
            Prompt::Tell(QStringLiteral("The permissions for %1 were successfully changed to %2.")
                             .arg(recordName, CFtpClient::PermissionText(value)),
                QStringLiteral("Permissions updated."), Prompt::Information);
        } else if (m_host.WasCanceled()) {
            m_host.CloseProgress();
            Prompt::Tell(
                QStringLiteral("chmod canceled."), QStringLiteral("Operation canceled"), Prompt::Information);
        } else {
            m_host.CloseProgress();
            Prompt::Tell(QStringLiteral(
                             "Error trying to change permissions for %1.  The last response from the remote "
                             "host was:\n\n%2")
                             .arg(recordName, m_host.LastResponse()),
                QStringLiteral("Error!"), Prompt::Warning);
        }
    }
    m_host.CloseProgress();
    if (!m_host.IsConnected())
        m_disconnect->setEnabled(false);
    return ok;
}
