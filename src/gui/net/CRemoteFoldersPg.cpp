#include "gui/net/CRemoteFoldersPg.h"

#include "core/common/Prompt.h"
#include "core/settings/CRemoteFilesFoldersMgr.h"
#include "gui/net/CRemoteFilesFoldersSheet.h"

#include <QApplication>
#include <QStyle>
#include <QTreeWidget>

namespace {

const QString Home = QStringLiteral("$HOME");

} // namespace

CRemoteFoldersPg::CRemoteFoldersPg(CRemoteFilesFoldersSheet* sheet)
    : CRemoteItemsPg(sheet,
        { QStringLiteral("RemoteFoldersPg"),
            { QStringLiteral("Remote directory (folder)"), QStringLiteral("Permsissions") },
            Settings::RemoteFoldersColumnOrder, Settings::RemoteFoldersColumnWidths,
            QStringLiteral("No folder selected") })
{
    addButton(
        QStringLiteral("Change permissions"), QStringLiteral("chmodButton"), [this] { ChangePermissions(); });
    addButton(QStringLiteral("View dir list"), QStringLiteral("viewButton"), [this] { ViewDirList(); });
    addButton(QStringLiteral("Delete folder"), QStringLiteral("deleteButton"), [this] { DeleteFolder(); });
    addButton(
        QStringLiteral("Remove from list"), QStringLiteral("removeButton"), [this] { RemoveFromList(); });
    finishSetup();
}

QList<QTreeWidgetItem*> CRemoteFoldersPg::makeRows() const
{
    QList<QTreeWidgetItem*> rows;
    const QIcon folder = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    for (int i = 0; i < record().DirCount(); ++i) {
        CRemoteDirEntry entry;
        if (!record().GetDir(i, &entry))
            continue;
        auto* item
            = new QTreeWidgetItem(QStringList { entry.name, CFtpClient::PermissionText(entry.permissions) });
        item->setIcon(0, folder);
        item->setData(0, KeyRole, entry.name);
        rows.append(item);
    }
    return rows;
}

void CRemoteFoldersPg::ChangePermissions()
{
    const QString name
        = selectedName(QStringLiteral("Please select a remote directory to change permissions for."));
    if (name.isEmpty())
        return;
    const QString sent = name == Home ? QStringLiteral(".") : name;
    int value = -1;
    if (m_sheet->ChangePermissions(this, sent, name, false, record().DirPermissions(name), &value))
        record().SetDirPermissions(name, value);
    Refill();
}

void CRemoteFoldersPg::ViewDirList()
{
    const QString name = selectedName(QStringLiteral("Please select a remote folder to view."));
    if (name.isEmpty() || !m_sheet->Connect())
        return;
    CRemoteHost& host = m_sheet->Host();
    const bool home = name == Home;
    // The way back is the directory we start from; counting slashes goes wrong for "a//b",
    // "./x" or linked directories.
    QString start;
    if (!home) {
        start = host.CurrentDir();
        if (!host.Command(QStringLiteral("CWD ") + name)) {
            host.CloseProgress();
            host.ShowResult();
            m_sheet->Disconnect();
            return;
        }
    }
    QByteArray listing;
    const bool listed = host.RawList(&listing);
    if (!home && host.IsConnected()) {
        if (!start.isEmpty()) {
            host.Command(QStringLiteral("CWD ") + start);
        } else {
            const qsizetype ups = name.count(QLatin1Char('/')) + 1;
            for (qsizetype i = 0; i < ups && host.IsConnected(); ++i)
                host.Command(QStringLiteral("CDUP"));
        }
    }
    host.CloseProgress();
    if (!listed) {
        host.ShowResult();
        return;
    }
    showViewed(QString::fromUtf8(listing), QStringLiteral("Remote directory %1").arg(name),
        QStringLiteral("Remote directory list"), true, 1.0);
}

void CRemoteFoldersPg::DeleteFolder()
{
    const QString name = selectedName(QStringLiteral("Please select a remote folder to delete."));
    if (name.isEmpty())
        return;
    if (name == Home) {
        Prompt::Tell(QStringLiteral("You are not allowed to delete your $HOME directory."),
            QStringLiteral("Cannot delete $HOME"), Prompt::Stop);
        return;
    }
    if (!confirm(QStringLiteral("Are you sure you want to delete the remote directory %1?").arg(name),
            QStringLiteral("Confirm directory delete")))
        return;
    runOnHost([&](CRemoteHost& host) { return host.RemoveDir(name); }, [&] { record().ForgetDir(name); });
}

void CRemoteFoldersPg::RemoveFromList()
{
    const QString name
        = selectedName(QStringLiteral("Please select a remote folder to remove from the list."));
    if (name.isEmpty())
        return;
    if (!confirm(QStringLiteral(
                     "Are you sure you want to remove the remote directory %1 from the list?  (This will "
                     "not delete the remote directory, it will only be removed from this list of "
                     "directories.)")
                     .arg(name),
            QStringLiteral("Confirm removal from list")))
        return;
    record().ForgetDir(name);
    Refill();
}
