#include "gui/net/CRemoteItemsPg.h"

#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/CAppState.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/ColumnLayout.h"
#include "gui/common/FontSetting.h"
#include "gui/net/CRemoteFilesFoldersSheet.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CRemoteItemsPg::CRemoteItemsPg(CRemoteFilesFoldersSheet* sheet, const Setup& setup)
    : QWidget(sheet)
    , m_sheet(sheet)
    , m_setup(setup)
{
    setObjectName(setup.objectName);
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels(setup.headers);
    m_list->header()->setSectionsMovable(true);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setToolTip(QStringLiteral("Click to sort. Drag to reposition"));
    m_list->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"));
    QFont font;
    if (LoadFontSetting(Settings::LogFont, &font))
        m_list->setFont(font);
    layout->addWidget(m_list, 1);
    m_buttons = new QHBoxLayout;
    layout->addLayout(m_buttons);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CRemoteItemsPg::sortBy);
}

CRemoteFilesFoldersMgr& CRemoteItemsPg::record()
{
    return CAppState::Instance().RemoteFiles();
}

void CRemoteItemsPg::addButton(const QString& text, const QString& name, std::function<void()> action)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    m_buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, std::move(action));
}

void CRemoteItemsPg::finishSetup()
{
    Refill();
    RestoreColumnOrder(m_list->header(), m_setup.orderSetting);
    RestoreColumnWidths(m_list->header(), m_setup.widthsSetting);
}

void CRemoteItemsPg::StoreLayout()
{
    SaveColumnOrder(m_list->header(), m_setup.orderSetting);
    SaveColumnWidths(m_list->header(), m_setup.widthsSetting);
}

void CRemoteItemsPg::Refill()
{
    const QString current
        = m_list->currentItem() ? m_list->currentItem()->data(0, KeyRole).toString() : QString();
    m_list->clear();
    for (QTreeWidgetItem* item : makeRows()) {
        m_list->addTopLevelItem(item);
        if (!current.isEmpty() && item->data(0, KeyRole).toString() == current)
            m_list->setCurrentItem(item);
    }
    if (m_sortColumn >= 0)
        m_list->sortItems(m_sortColumn, m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CRemoteItemsPg::sortBy(int column)
{
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : true;
    m_sortColumn = column;
    m_list->sortItems(column, m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QString CRemoteItemsPg::selectedName(const QString& message)
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        Prompt::Tell(message, m_setup.noSelectionCaption, Prompt::Information);
        return QString();
    }
    return item->data(0, KeyRole).toString();
}

bool CRemoteItemsPg::confirm(const QString& text, const QString& caption)
{
    return Prompt::Ask(text, caption, Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        == Prompt::Yes;
}

void CRemoteItemsPg::runOnHost(
    const std::function<bool(CRemoteHost&)>& operation, const std::function<void()>& recordChange)
{
    if (!m_sheet->Connect())
        return;
    CRemoteHost& host = m_sheet->Host();
    const bool ok = operation(host);
    host.CloseProgress();
    if (!ok) {
        host.ShowResult();
        return;
    }
    recordChange();
    Refill();
    host.ShowMessage();
}

void CRemoteItemsPg::showViewed(
    const QString& text, const QString& caption, const QString& persistenceName, bool noWrap, double growth)
{
    m_lastViewed = text;
    m_lastViewedCaption = caption;
    if (m_showViewer) {
        CTextViewerDlg viewer(m_lastViewed, persistenceName, this, m_lastViewedCaption, noWrap, growth);
        viewer.exec();
    }
}
