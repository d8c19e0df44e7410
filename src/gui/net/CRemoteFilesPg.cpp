#include "gui/net/CRemoteFilesPg.h"

#include "core/settings/CRemoteFilesFoldersMgr.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CInputDlg.h"
#include "gui/net/CRemoteFilesFoldersSheet.h"

#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QTreeWidget>

namespace {

constexpr int DateColumn = 2;
constexpr int DateRole = Qt::UserRole + 1;

// Rows compare by the stored upload date in the date column and by text elsewhere.
class FileItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == DateColumn)
            return data(DateColumn, DateRole).toDouble() < other.data(DateColumn, DateRole).toDouble();
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

// The remote log files stay listed after a delete: procmail writes the log again.
bool isLogFile(const QString& remote)
{
    const QString dir = Workspace::GetRemoteZephDir() + QLatin1Char('/');
    return remote.compare(dir + QStringLiteral("zeph.log"), Qt::CaseInsensitive) == 0
        || remote.compare(dir + QStringLiteral("zeph.log.old"), Qt::CaseInsensitive) == 0;
}

} // namespace

CRemoteFilesPg::CRemoteFilesPg(CRemoteFilesFoldersSheet* sheet)
    : CRemoteItemsPg(sheet,
        { QStringLiteral("RemoteFilesPg"),
            { QStringLiteral("Remote Filename"), QStringLiteral("Permissions"),
                QStringLiteral("Date uploaded"), QStringLiteral("Local Filename") },
            Settings::RemoteFilesColumnOrder, Settings::RemoteFilesColumnWidths,
            QStringLiteral("No file selected") })
{
    addButton(
        QStringLiteral("Change permissions"), QStringLiteral("chmodButton"), [this] { ChangePermissions(); });
    addButton(QStringLiteral("View file"), QStringLiteral("viewButton"), [this] { ViewFile(); });
    addButton(QStringLiteral("Delete file"), QStringLiteral("deleteButton"), [this] { DeleteFile(); });
    addButton(
        QStringLiteral("Remove from list"), QStringLiteral("removeButton"), [this] { RemoveFromList(); });
    addButton(QStringLiteral("Rename file"), QStringLiteral("renameButton"), [this] { RenameFile(); });
    finishSetup();
}

QList<QTreeWidgetItem*> CRemoteFilesPg::makeRows() const
{
    QList<QTreeWidgetItem*> rows;
    QFileIconProvider icons;
    for (int i = 0; i < record().FileCount(); ++i) {
        CRemoteFileEntry entry;
        if (!record().GetFile(i, &entry))
            continue;
        auto* item
            = new FileItem(QStringList { entry.remoteName, CFtpClient::PermissionText(entry.permissions),
                CRemoteFilesFoldersMgr::UploadDateText(entry.dateUploaded), entry.localName });
        item->setIcon(0, icons.icon(QFileInfo(entry.localName)));
        item->setData(DateColumn, DateRole,
            entry.dateUploaded.status == COleDateTime::Valid ? entry.dateUploaded.days : -1e9);
        item->setData(0, KeyRole, entry.remoteName);
        rows.append(item);
    }
    return rows;
}

void CRemoteFilesPg::ChangePermissions()
{
    const QString name
        = selectedName(QStringLiteral("Please select a remote file to change permissions for."));
    if (name.isEmpty())
        return;
    int value = -1;
    if (m_sheet->ChangePermissions(this, name, name, true, record().FilePermissions(name), &value))
        record().SetFilePermissions(name, value);
    Refill();
}

void CRemoteFilesPg::ViewFile()
{
    const QString name = selectedName(QStringLiteral("Please select a remote file to view."));
    if (name.isEmpty() || !m_sheet->Connect())
        return;
    CRemoteHost& host = m_sheet->Host();
    const QString temporary = Workspace::MakeTempFile();
    if (temporary.isEmpty()
        || !host.Transfer(temporary, name, true, false, CRemoteHost::PassiveSetting() != 0)) {
        host.CloseProgress();
        host.ShowResult();
        if (!temporary.isEmpty())
            QFile::remove(temporary);
        m_sheet->Disconnect();
        return;
    }
    host.CloseProgress();
    QFile file(temporary);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    file.close();
    QFile::remove(temporary);
    showViewed(QString::fromUtf8(bytes), QStringLiteral("Remote file: %1").arg(name),
        QStringLiteral("Remote file"), false, 1.7);
}

void CRemoteFilesPg::DeleteFile()
{
    const QString name = selectedName(QStringLiteral("Please select a remote file to delete."));
    if (name.isEmpty())
        return;
    if (!confirm(QStringLiteral("Are you sure you want to delete the remote file %1?").arg(name),
            QStringLiteral("Confirm file delete")))
        return;
    runOnHost([&](CRemoteHost& host) { return host.DeleteFile(name); },
        [&] {
            if (!isLogFile(name))
                record().ForgetFile(name);
        });
}

void CRemoteFilesPg::RemoveFromList()
{
    const QString name = selectedName(QStringLiteral("Please select a remote file to remove from the list."));
    if (name.isEmpty())
        return;
    if (!confirm(QStringLiteral(
                     "Are you sure you want to remove the remote file %1 from the list?  (This will not "
                     "delete the remote file, it will only be removed from this list of files.)  Only "
                     "advanced users should select 'Yes'.  If the file is removed from this list it will "
                     "not be deleted by ZEPH if you later try to delete remote files using the Disable "
                     "Procmail Dialog.\n\nOkay to remove from the list?")
                     .arg(name),
            QStringLiteral("Confirm removal from list")))
        return;
    record().ForgetFile(name);
    Refill();
}

void CRemoteFilesPg::RenameFile()
{
    const QString name = selectedName(QStringLiteral("Please select a remote file to rename."));
    if (name.isEmpty())
        return;
    QString newName;
    CInputDlg dialog(QStringLiteral("Renaming %1").arg(name), QStringLiteral("New file name:"), &newName,
        QString(), nullptr, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!CRemoteHost::IsCommandSafe(newName)) {
        CRemoteHost::TellInvalidEntry();
        return;
    }
    runOnHost([&](CRemoteHost& host) { return host.Rename(name, newName); },
        [&] { record().RenameFile(name, newName); });
}
