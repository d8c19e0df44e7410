#include "gui/net/CCustomizeMenuDlg.h"

#include "core/common/Prompt.h"
#include "gui/common/Help.h"
#include "gui/net/CMenuEntryDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

std::function<void()>& menusChangedHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

void CCustomizeMenuDlg::SetMenusChangedHandler(std::function<void()> handler)
{
    menusChangedHandler() = std::move(handler);
}

CCustomizeMenuDlg::CCustomizeMenuDlg(bool upload, QWidget* parent)
    : CResizingDialog(134, parent, QString(), 1.0)
    , m_upload(upload)
{
    setObjectName(QStringLiteral("CustomizeMenuDlg"));
    setWindowTitle(
        upload ? QStringLiteral("Customize upload menu") : QStringLiteral("Customize download menu"));
    auto* layout = new QHBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({ QStringLiteral("Menu label"), QStringLiteral("Remote file name"),
        QStringLiteral("Local file name") });
    layout->addWidget(m_list, 1);
    auto* side = new QVBoxLayout;
    auto button = [&](const QString& text, auto slot) {
        auto* b = new QPushButton(text, this);
        side->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button(QStringLiteral("&Add Entry"), &CCustomizeMenuDlg::AddEntry);
    button(QStringLiteral("&Edit Entry"), &CCustomizeMenuDlg::EditEntry);
    button(QStringLiteral("&Delete Entry"), &CCustomizeMenuDlg::DeleteEntry);
    button(QStringLiteral("Move &Up"), [this] { MoveEntry(-1); });
    button(QStringLiteral("Move D&own"), [this] { MoveEntry(1); });
    side->addStretch();
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, Qt::Vertical, this);
    side->addWidget(buttons);
    layout->addLayout(side);
    const QString topic
        = upload ? QStringLiteral("cusMenuUpDlg.html") : QStringLiteral("cusMenuDownDlg.html");
    SetHelpTopic(this, topic);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCustomizeMenuDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCustomizeMenuDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this, topic] { ShowHelpTopic(this, topic); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CCustomizeMenuDlg::EditEntry);
    for (const CMenuEntry& entry : CustomMenus::LoadMenuEntries(upload))
        addRow(entry);
    // A first opening gets this size, and none is smaller; later ones the size the user left.
    setMinimumSize(640, 320);
}

void CCustomizeMenuDlg::addRow(const CMenuEntry& entry, int at)
{
    auto* item = new QTreeWidgetItem({ entry.menuName, entry.remoteFile, entry.localFile });
    if (at < 0)
        m_list->addTopLevelItem(item);
    else
        m_list->insertTopLevelItem(at, item);
    m_list->setCurrentItem(item);
}

QList<CMenuEntry> CCustomizeMenuDlg::Entries() const
{
    QList<CMenuEntry> entries;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        entries.append({ item->text(0), item->text(1), item->text(2) });
    }
    return entries;
}

bool CCustomizeMenuDlg::hasSelection()
{
    if (m_list->currentItem() && m_list->currentItem()->isSelected())
        return true;
    Prompt::Tell(QStringLiteral("Please select an item in the list or choose cancel to quit."),
        QStringLiteral("Nothing selected"), Prompt::Information);
    return false;
}

void CCustomizeMenuDlg::AddEntry()
{
    if (m_list->topLevelItemCount() >= CustomMenus::MaxEntries) {
        Prompt::Tell(
            QStringLiteral("You can have a maximum of %1 menu entries.  Please delete an item in the list "
                           "before adding another.")
                .arg(CustomMenus::MaxEntries),
            QStringLiteral("Maximum number in list"), Prompt::Information);
        return;
    }
    CMenuEntry entry;
    CMenuEntryDlg dialog(m_upload ? CMenuEntryDlg::AddUpload : CMenuEntryDlg::AddDownload, &entry.menuName,
        &entry.remoteFile, &entry.localFile, this);
    if (dialog.exec() == QDialog::Accepted)
        addRow(entry);
}

void CCustomizeMenuDlg::EditEntry()
{
    if (!hasSelection())
        return;
    QTreeWidgetItem* item = m_list->currentItem();
    CMenuEntry entry { item->text(0), item->text(1), item->text(2) };
    CMenuEntryDlg dialog(m_upload ? CMenuEntryDlg::EditUpload : CMenuEntryDlg::EditDownload, &entry.menuName,
        &entry.remoteFile, &entry.localFile, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    item->setText(0, entry.menuName);
    item->setText(1, entry.remoteFile);
    item->setText(2, entry.localFile);
}

void CCustomizeMenuDlg::DeleteEntry()
{
    if (!hasSelection())
        return;
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the selected entry?"),
            QStringLiteral("Okay to delete?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        != Prompt::Yes)
        return;
    delete m_list->currentItem();
}

void CCustomizeMenuDlg::MoveEntry(int step)
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const int from = m_list->indexOfTopLevelItem(item);
    const int to = from + step;
    if (to < 0 || to >= m_list->topLevelItemCount())
        return;
    m_list->takeTopLevelItem(from);
    m_list->insertTopLevelItem(to, item);
    m_list->setCurrentItem(item);
}

void CCustomizeMenuDlg::accept()
{
    if (!CustomMenus::SaveMenuEntries(m_upload, Entries()))
        Prompt::Tell(QStringLiteral("The menu entries could not be stored."), QStringLiteral("Error"),
            Prompt::Warning);
    if (menusChangedHandler())
        menusChangedHandler()();
    QDialog::accept();
}
