#include "gui/net/CRemoteFoldersPg.h"

#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/ColumnLayout.h"
#include "gui/common/FontSetting.h"
#include "gui/net/CRemoteFilesFoldersSheet.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString OrderName = QStringLiteral("Remote Dir Col Order");
const QString WidthsName = QStringLiteral("Remote Dir Col widths");
const QString Home = QStringLiteral("$HOME");
constexpr int RecordRole = Qt::UserRole + 2;

CRemoteFilesFoldersMgr& record()
{
    return CAppState::Instance().RemoteFiles();
}

} // namespace

CRemoteFoldersPg::CRemoteFoldersPg(CRemoteFilesFoldersSheet* sheet)
    : QWidget(sheet)
    , m_sheet(sheet)
{
    setObjectName(QStringLiteral("RemoteFoldersPg"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({QStringLiteral("Remote directory (folder)"), QStringLiteral("Permsissions")});
    m_list->header()->setSectionsMovable(true);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setToolTip(QStringLiteral("Click to sort. Drag to reposition"));
    m_list->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"));
    QFont font;
    if (LoadFontSetting(QStringLiteral("Log Settings"), QStringLiteral("Font"), &font))
        m_list->setFont(font);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    auto add = [&](const QString& text, const QString& name, void (CRemoteFoldersPg::*slot)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, slot);
    };
    add(QStringLiteral("Change permissions"), QStringLiteral("chmodButton"), &CRemoteFoldersPg::ChangePermissions);
    add(QStringLiteral("View dir list"), QStringLiteral("viewButton"), &CRemoteFoldersPg::ViewDirList);
    add(QStringLiteral("Delete folder"), QStringLiteral("deleteButton"), &CRemoteFoldersPg::DeleteFolder);
    add(QStringLiteral("Remove from list"), QStringLiteral("removeButton"), &CRemoteFoldersPg::RemoveFromList);
    layout->addLayout(buttons);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CRemoteFoldersPg::sortBy);
    Refill();
    RestoreColumnOrder(m_list->header(), OrderName);
    RestoreColumnWidths(m_list->header(), WidthsName);
}

void CRemoteFoldersPg::StoreLayout()
{
    SaveColumnOrder(m_list->header(), OrderName);
    SaveColumnWidths(m_list->header(), WidthsName);
}

void CRemoteFoldersPg::Refill()
{
    const QString current = m_list->currentItem() ? m_list->currentItem()->data(0, RecordRole).toString() : QString();
    m_list->clear();
    const QIcon folder = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    for (int i = 0; i < record().DirCount(); ++i) {
        CRemoteDirEntry entry;
        if (!record().GetDir(i, &entry))
            continue;
        auto* item = new QTreeWidgetItem(QStringList{entry.name, CFtpClient::PermissionText(entry.permissions)});
        item->setIcon(0, folder);
        item->setData(0, RecordRole, entry.name);
        m_list->addTopLevelItem(item);
        if (entry.name == current)
            m_list->setCurrentItem(item);
    }
    if (m_sortColumn >= 0)
        m_list->sortItems(m_sortColumn, m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CRemoteFoldersPg::sortBy(int column)
{
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : true;
    m_sortColumn = column;
    m_list->sortItems(column, m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QString CRemoteFoldersPg::selectedName(const QString& message)
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        Prompt::Tell(message, QStringLiteral("No folder selected"), Prompt::Information);
        return QString();
    }
    return item->data(0, RecordRole).toString();
}

void CRemoteFoldersPg::ChangePermissions()
{
    const QString name = selectedName(QStringLiteral("Please select a remote directory to change permissions for."));
    if (name.isEmpty())
        return;
    int current = -1;
    for (const CRemoteDirEntry& entry : std::as_const(record().directories)) {
        if (entry.name == name) {
            current = entry.permissions;
            break;
        }
    }
    const QString sent = name == Home ? QStringLiteral(".") : name;
    int value = -1;
    if (m_sheet->ChangePermissions(this, sent, name, false, current, &value))
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
    m_lastViewed = QString::fromUtf8(listing);
    m_lastViewedCaption = QStringLiteral("Remote directory %1").arg(name);
    if (m_showViewer) {
        CTextViewerDlg viewer(m_lastViewed, QStringLiteral("Remote directory list"), this, m_lastViewedCaption, true,
                              1.0);
        viewer.exec();
    }
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
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the remote directory %1?").arg(name),
                    QStringLiteral("Confirm directory delete"), Prompt::Question,
                    Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        != Prompt::Yes)
        return;
    if (!m_sheet->Connect())
        return;
    CRemoteHost& host = m_sheet->Host();
    const bool ok = host.RemoveDir(name);
    host.CloseProgress();
    if (ok) {
        record().ForgetDir(name);
        Refill();
        host.ShowMessage();
    } else {
        host.ShowResult();
    }
}

void CRemoteFoldersPg::RemoveFromList()
{
    const QString name = selectedName(QStringLiteral("Please select a remote folder to remove from the list."));
    if (name.isEmpty())
        return;
    if (Prompt::Ask(QStringLiteral("Are you sure you want to remove the remote directory %1 from the list?  (This will "
                                   "not delete the remote directory, it will only be removed from this list of "
                                   "directories.)")
                        .arg(name),
                    QStringLiteral("Confirm removal from list"), Prompt::Question,
                    Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        != Prompt::Yes)
        return;
    record().ForgetDir(name);
    Refill();
}
