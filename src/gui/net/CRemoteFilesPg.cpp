#include "gui/net/CRemoteFilesPg.h"

#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/CUserData.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/ColumnLayout.h"
#include "gui/common/FontSetting.h"
#include "gui/net/CRemoteFilesFoldersSheet.h"

#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString OrderName = QStringLiteral("Remote Files Col Order");
const QString WidthsName = QStringLiteral("Remote Files Col widths");
constexpr int DateColumn = 2;
constexpr int DateRole = Qt::UserRole + 1;
constexpr int RecordRole = Qt::UserRole + 2;

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

CRemoteFilesFoldersMgr& record()
{
    return CAppState::Instance().RemoteFiles();
}

// The remote log files stay listed after a delete: procmail writes the log again.
bool isLogFile(const QString& remote)
{
    const QString dir = Workspace::GetRemoteZephDir() + QLatin1Char('/');
    return remote.compare(dir + QStringLiteral("zeph.log"), Qt::CaseInsensitive) == 0
        || remote.compare(dir + QStringLiteral("zeph.log.old"), Qt::CaseInsensitive) == 0;
}

} // namespace

CRemoteFilesPg::CRemoteFilesPg(CRemoteFilesFoldersSheet* sheet)
    : QWidget(sheet)
    , m_sheet(sheet)
{
    setObjectName(QStringLiteral("RemoteFilesPg"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({QStringLiteral("Remote Filename"), QStringLiteral("Permissions"),
                             QStringLiteral("Date uploaded"), QStringLiteral("Local Filename")});
    m_list->header()->setSectionsMovable(true);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setToolTip(QStringLiteral("Click to sort. Drag to reposition"));
    m_list->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"));
    QFont font;
    if (LoadFontSetting(QStringLiteral("Log Settings"), QStringLiteral("Font"), &font))
        m_list->setFont(font);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    auto add = [&](const QString& text, const QString& name, void (CRemoteFilesPg::*slot)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, slot);
    };
    add(QStringLiteral("Change permissions"), QStringLiteral("chmodButton"), &CRemoteFilesPg::ChangePermissions);
    add(QStringLiteral("View file"), QStringLiteral("viewButton"), &CRemoteFilesPg::ViewFile);
    add(QStringLiteral("Delete file"), QStringLiteral("deleteButton"), &CRemoteFilesPg::DeleteFile);
    add(QStringLiteral("Remove from list"), QStringLiteral("removeButton"), &CRemoteFilesPg::RemoveFromList);
    add(QStringLiteral("Rename file"), QStringLiteral("renameButton"), &CRemoteFilesPg::RenameFile);
    layout->addLayout(buttons);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CRemoteFilesPg::sortBy);
    Refill();
    RestoreColumnOrder(m_list->header(), OrderName);
    RestoreColumnWidths(m_list->header(), WidthsName);
}

void CRemoteFilesPg::StoreLayout()
{
    SaveColumnOrder(m_list->header(), OrderName);
    SaveColumnWidths(m_list->header(), WidthsName);
}

void CRemoteFilesPg::Refill()
{
    const QString current = m_list->currentItem() ? m_list->currentItem()->text(0) : QString();
    m_list->clear();
    QFileIconProvider icons;
    for (int i = 0; i < record().FileCount(); ++i) {
        CRemoteFileEntry entry;
        if (!record().GetFile(i, &entry))
            continue;
        auto* item = new FileItem(QStringList{entry.remoteName, CFtpClient::PermissionText(entry.permissions),
                                              CRemoteFilesFoldersMgr::UploadDateText(entry.dateUploaded),
                                              entry.localName});
        item->setIcon(0, icons.icon(QFileInfo(entry.localName)));
        item->setData(DateColumn, DateRole,
                      entry.dateUploaded.status == COleDateTime::Valid ? entry.dateUploaded.days : -1e9);
        item->setData(0, RecordRole, entry.remoteName);
        m_list->addTopLevelItem(item);
        if (entry.remoteName == current)
            m_list->setCurrentItem(item);
    }
    if (m_sortColumn >= 0)
        m_list->sortItems(m_sortColumn, m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CRemoteFilesPg::sortBy(int column)
{
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : true;
    m_sortColumn = column;
    m_list->sortItems(column, m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QString CRemoteFilesPg::selectedName(const QString& message)
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        Prompt::Tell(message, QStringLiteral("No file selected"), Prompt::Information);
        return QString();
    }
    return item->data(0, RecordRole).toString();
}

void CRemoteFilesPg::ChangePermissions()
{
    const QString name = selectedName(QStringLiteral("Please select a remote file to change permissions for."));
    if (name.isEmpty())
        return;
    int current = -1;
    for (const CRemoteFileEntry& entry : std::as_const(record().files)) {
        if (entry.remoteName.compare(name, Qt::CaseInsensitive) == 0) {
            current = entry.permissions;
            break;
        }
    }
    int value = -1;
    if (m_sheet->ChangePermissions(this, name, name, true, current, &value))
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
    if (temporary.isEmpty() || !host.Transfer(temporary, name, true, false, CRemoteHost::PassiveSetting() != 0)) {
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
    m_lastViewed = QString::fromUtf8(bytes);
    m_lastViewedCaption = QStringLiteral("Remote file: %1").arg(name);
    if (m_showViewer) {
        CTextViewerDlg viewer(m_lastViewed, QStringLiteral("Remote file"), this, m_lastViewedCaption, false, 1.7);
        viewer.exec();
    }
}

void CRemoteFilesPg::DeleteFile()
{
    const QString name = selectedName(QStringLiteral("Please select a remote file to delete."));
    if (name.isEmpty())
        return;
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the remote file %1?").arg(name),
                    QStringLiteral("Confirm file delete"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
                    Prompt::No)
        != Prompt::Yes)
        return;
    if (!m_sheet->Connect())
        return;
    CRemoteHost& host = m_sheet->Host();
    const bool ok = host.DeleteFile(name);
    host.CloseProgress();
    if (ok) {
        if (!isLogFile(name))
            record().ForgetFile(name);
        Refill();
        host.ShowMessage();
    } else {
        host.ShowResult();
    }
}

void CRemoteFilesPg::RemoveFromList()
{
    const QString name = selectedName(QStringLiteral("Please select a remote file to remove from the list."));
    if (name.isEmpty())
        return;
    if (Prompt::Ask(QStringLiteral("Are you sure you want to remove the remote file %1 from the list?  (This will not "
                                   "delete the remote file, it will only be removed from this list of files.)  Only "
                                   "advanced users should select 'Yes'.  If the file is removed from this list it will "
                                   "not be deleted by ZEPH if you later try to delete remote files using the Disable "
                                   "Procmail Dialog.\n\nOkay to remove from the list?")
                        .arg(name),
                    QStringLiteral("Confirm removal from list"), Prompt::Question,
                    Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        != Prompt::Yes)
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
    CInputDlg dialog(QStringLiteral("Renaming %1").arg(name), QStringLiteral("New file name:"), &newName, QString(),
                     nullptr, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!CRemoteHost::IsCommandSafe(newName)) {
        CRemoteHost::TellInvalidEntry();
        return;
    }
    if (!m_sheet->Connect())
        return;
    CRemoteHost& host = m_sheet->Host();
    const bool ok = host.Rename(name, newName);
    host.CloseProgress();
    if (ok) {
        record().RenameFile(name, newName);
        Refill();
        host.ShowMessage();
    } else {
        host.ShowResult();
    }
}
