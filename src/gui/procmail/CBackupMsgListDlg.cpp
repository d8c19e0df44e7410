#include "gui/procmail/CBackupMsgListDlg.h"

#include "core/common/Prompt.h"
#include "core/settings/Profile.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/Help.h"
#include "gui/common/ThemeIcon.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString HelpTopic = QStringLiteral("rBackupVerify.html");
const QString Unknown = QStringLiteral("unknown");

// A viewer that lives on its own until the user closes it.
void showText(const QString& text, const QString& persistenceName, const QString& caption, QWidget* parent)
{
    auto* viewer = new CTextViewerDlg(text, persistenceName, parent, caption, true, 1.5);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
}

} // namespace

CBackupMsgListDlg::CBackupMsgListDlg(QWidget* parent)
    : QDialog(parent)
    , m_backup(m_host)
{
    setWindowTitle(QStringLiteral("Backup Messages"));
    SetHelpTopic(this, HelpTopic);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({ QStringLiteral("Backup messages"), QStringLiteral("Date") });
    for (int column = 0; column < 2; ++column)
        m_list->headerItem()->setToolTip(column, QStringLiteral("Click to sort"));
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(true);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CBackupMsgListDlg::SortBy);

    m_view = new QPushButton(QStringLiteral("View"), this);
    m_delete = new QPushButton(QStringLiteral("Delete"), this);
    m_disconnect = new QPushButton(QStringLiteral("Disconnect"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    m_disconnect->setEnabled(false);
    connect(m_view, &QPushButton::clicked, this, &CBackupMsgListDlg::onView);
    connect(m_delete, &QPushButton::clicked, this, &CBackupMsgListDlg::onDelete);
    connect(m_disconnect, &QPushButton::clicked, this, &CBackupMsgListDlg::onDisconnect);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CBackupMsgListDlg::onView);
    connect(this, &QDialog::finished, this, [this] { m_host.Disconnect(); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : { m_view, m_delete, m_disconnect, close, help })
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(560, 360);
}

int CBackupMsgListDlg::Run(QWidget* parent)
{
    CBackupMsgListDlg dialog(parent);
    if (!dialog.Load())
        return QDialog::Rejected;
    return dialog.exec();
}

bool CBackupMsgListDlg::Load()
{
    QList<QByteArray> lines;
    if (!m_backup.Load(&m_entries, &lines))
        return false;
    updateDisconnect();
    if (m_entries.isEmpty()) {
        Prompt::Tell(
            QStringLiteral(
                "No backup mail messages were found in the backup directory.  If you did not have the backup "
                "recipe enabled or if the recipe was placed after other recipes that delivered your mail, "
                "your "
                "mail would not have been backed up.\r\n\r\nIf you just created the backup recipe, no "
                "messages "
                "will be listed until some new mail arrives.  The directory listing will be displayed "
                "next.\n\nFor more information please hit the help button"),
            QStringLiteral("No messages found"), Prompt::Information);
        // This dialog closes at once: the listing's window belongs to the one that opened it.
        showText(CBackupMailList::JoinLines(lines), QStringLiteral("Remote directory list"),
            QStringLiteral("Remote directory list"), parentWidget());
        return false;
    }
    Prompt::Tell(QStringLiteral("There were %1 backup mail messages found in the backup directory.  The "
                                "messages will be listed.")
                     .arg(m_entries.size()),
        QStringLiteral("Files found"), Prompt::Information);
    m_sortColumn = -1;
    SortBy(1);
    return true;
}

void CBackupMsgListDlg::SortBy(int column)
{
    m_ascending = column == m_sortColumn ? !m_ascending : true;
    m_sortColumn = column;
    // Dates sort in time order only when every row has one; otherwise as the texts read.
    const bool asText = column == 0
        || std::any_of(m_entries.begin(), m_entries.end(),
            [](const BackupListing::Entry& e) { return e.date == Unknown; });
    const int format = GetSetting(Settings::LogDateFormat);
    const auto key = [&](const BackupListing::Entry& e) {
        if (column == 0)
            return e.name;
        return asText ? e.date : BackupListing::DateSortKey(e.date, format);
    };
    std::stable_sort(m_entries.begin(), m_entries.end(), [&](const auto& a, const auto& b) {
        const int order = QString::compare(key(a), key(b), asText ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return m_ascending ? order < 0 : order > 0;
    });
    m_list->header()->setSortIndicator(column, m_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    fill();
}

void CBackupMsgListDlg::fill()
{
    m_list->clear();
    const QIcon icon = ThemeIcon(QStringLiteral("mail-message-new"));
    for (const BackupListing::Entry& entry : m_entries) {
        auto* item = new QTreeWidgetItem(m_list, { entry.name, entry.date });
        item->setIcon(0, icon);
    }
    m_list->resizeColumnToContents(0);
}

void CBackupMsgListDlg::onView()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        Prompt::Tell(QStringLiteral("Please select a message to view."),
            QStringLiteral("No message selected"), Prompt::Information);
        return;
    }
    const QString name = selected.first()->text(0);
    QByteArray text;
    if (m_backup.View(name, &text))
        showText(QString::fromUtf8(text), QStringLiteral("Backup Message"),
            QStringLiteral("Remote file: %1").arg(name), this);
    updateDisconnect();
}

void CBackupMsgListDlg::onDelete()
{
    // From the last row up, as the rows are removed.
    QStringList names;
    for (int row = m_list->topLevelItemCount() - 1; row >= 0; --row) {
        if (m_list->topLevelItem(row)->isSelected())
            names << m_list->topLevelItem(row)->text(0);
    }
    QStringList deleted;
    m_backup.Delete(names, &deleted);
    m_entries.removeIf([&deleted](const BackupListing::Entry& e) { return deleted.contains(e.name); });
    if (!deleted.isEmpty())
        fill();
    updateDisconnect();
}

void CBackupMsgListDlg::onDisconnect()
{
    m_host.Disconnect();
    updateDisconnect();
}

void CBackupMsgListDlg::updateDisconnect()
{
    m_disconnect->setEnabled(m_host.IsConnected());
}
