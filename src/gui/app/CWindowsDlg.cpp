#include "gui/app/CWindowsDlg.h"

#include "core/common/Prompt.h"
#include "gui/app/MainWindow.h"
#include "gui/common/CDocumentWindow.h"
#include "gui/common/Help.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Window titles sort as a reader expects: "Button Page", "sample.txt", "Unparsed Data1".
class TitleItem : public QListWidgetItem
{
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override
    {
        const int folded = QString::compare(text(), other.text(), Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : text() < other.text();
    }
};

} // namespace

CWindowsDlg::CWindowsDlg(MainWindow* main)
    : QDialog(main)
    , m_main(main)
    , m_list(new QListWidget(this))
    , m_activate(new QPushButton(QStringLiteral("&Actvate"), this))
    , m_ok(new QPushButton(QStringLiteral("&Ok"), this))
    , m_save(new QPushButton(QStringLiteral("&Save"), this))
    , m_close(new QPushButton(QStringLiteral("&Close Window(s)"), this))
    , m_cascade(new QPushButton(QStringLiteral("Cascade"), this))
    , m_tileHorizontally(new QPushButton(QStringLiteral("Tile &Horizontaly"), this))
    , m_tileVertically(new QPushButton(QStringLiteral("Tile &Verticaly"), this))
    , m_minimize(new QPushButton(QStringLiteral("Minimize"), this))
{
    setWindowTitle(QStringLiteral("Windows"));
    SetHelpTopic(this, QStringLiteral("dlgWindows.html"));
    auto* layout = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("Select &window:"), this);
    label->setBuddy(m_list);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_list, 1, 0);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button :
        { m_activate, m_ok, m_save, m_close, m_cascade, m_tileHorizontally, m_tileVertically, m_minimize })
        buttons->addWidget(button);
    buttons->addStretch();
    layout->addLayout(buttons, 1, 1);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSortingEnabled(true);
    m_list->setMinimumWidth(320);
    m_ok->setDefault(true);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &CWindowsDlg::updateButtons);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CWindowsDlg::Activate);
    connect(m_activate, &QPushButton::clicked, this, &CWindowsDlg::Activate);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_save, &QPushButton::clicked, this, &CWindowsDlg::SaveSelected);
    connect(m_close, &QPushButton::clicked, this, &CWindowsDlg::CloseSelected);
    connect(m_cascade, &QPushButton::clicked, this, [this] { Arrange(Arrangement::Cascade); });
    connect(
        m_tileHorizontally, &QPushButton::clicked, this, [this] { Arrange(Arrangement::TileHorizontally); });
    connect(m_tileVertically, &QPushButton::clicked, this, [this] { Arrange(Arrangement::TileVertically); });
    connect(m_minimize, &QPushButton::clicked, this, &CWindowsDlg::MinimizeSelected);
    fill();
}

QPushButton* CWindowsDlg::Button(int id) const
{
    switch (id) {
    case ActivateButton:
        return m_activate;
    case OkButton:
        return m_ok;
    case SaveButton:
        return m_save;
    case CloseButton:
        return m_close;
    case CascadeButton:
        return m_cascade;
    case TileHorizontallyButton:
        return m_tileHorizontally;
    case TileVerticallyButton:
        return m_tileVertically;
    case MinimizeButton:
        return m_minimize;
    default:
        return nullptr;
    }
}

void CWindowsDlg::fill()
{
    m_list->clear();
    m_windows.clear();
    QList<QMdiSubWindow*> windows = m_main->MdiArea()->subWindowList(QMdiArea::StackingOrder);
    std::reverse(windows.begin(), windows.end()); // topmost first
    QMdiSubWindow* active = m_main->MdiArea()->currentSubWindow();
    QListWidgetItem* activeItem = nullptr;
    for (QMdiSubWindow* window : windows) {
        auto* item = new TitleItem(window->windowTitle().left(259));
        item->setIcon(window->windowIcon());
        item->setData(Qt::UserRole, int(m_windows.size()));
        m_windows.append(window);
        m_list->addItem(item);
        if (window == active)
            activeItem = item;
    }
    m_list->clearSelection();
    if (activeItem) {
        activeItem->setSelected(true);
        m_list->setCurrentItem(activeItem, QItemSelectionModel::Select);
    }
    updateButtons();
}

QList<int> CWindowsDlg::selectedRows() const
{
    QList<int> rows;
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->isSelected())
            rows.append(row);
    }
    return rows;
}

QMdiSubWindow* CWindowsDlg::WindowOfRow(int row) const
{
    if (row < 0 || row >= m_list->count())
        return nullptr;
    const int index = m_list->item(row)->data(Qt::UserRole).toInt();
    return index >= 0 && index < m_windows.size() ? m_windows[index].data() : nullptr;
}

void CWindowsDlg::SelectWindows(const QList<QMdiSubWindow*>& windows)
{
    m_list->clearSelection();
    for (int row = 0; row < m_list->count(); ++row) {
        if (windows.contains(WindowOfRow(row)))
            m_list->item(row)->setSelected(true);
    }
    updateButtons();
}

void CWindowsDlg::updateButtons()
{
    const qsizetype selected = selectedRows().size();
    m_activate->setEnabled(selected == 1);
    m_save->setEnabled(selected >= 1);
    m_close->setEnabled(selected >= 1);
    m_cascade->setEnabled(selected >= 2);
    m_tileHorizontally->setEnabled(selected >= 2);
    m_tileVertically->setEnabled(selected >= 2);
    m_minimize->setEnabled(selected >= 1);
}

void CWindowsDlg::Activate()
{
    const QList<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    if (QMdiSubWindow* window = WindowOfRow(rows.first())) {
        if (window->isMinimized())
            window->showNormal();
        m_main->MdiArea()->setActiveSubWindow(window);
    }
    accept();
}

void CWindowsDlg::SaveSelected()
{
    const QList<int> rows = selectedRows();
    for (int row : rows) {
        QMdiSubWindow* window = WindowOfRow(row);
        auto* document = window ? qobject_cast<CDocumentWindow*>(window->widget()) : nullptr;
        if (!document || !document->IsModified())
            continue;
        QString name
            = document->Path().isEmpty() ? document->Title() : document->Path().section(QLatin1Char('/'), -1);
        if (name.endsWith(QLatin1String(" *")))
            name.chop(2);
        const Prompt::Button answer = Prompt::Ask(QStringLiteral("Save changes to %1?").arg(name),
            QStringLiteral("ZEPH"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::Yes);
        if (answer == Prompt::Cancel)
            break;
        if (answer == Prompt::Yes && !document->Save())
            break;
    }
    m_main->UpdateCommandStates();
    fill();
}

void CWindowsDlg::CloseSelected()
{
    const QList<int> rows = selectedRows();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        QPointer<QMdiSubWindow> window = WindowOfRow(*it);
        if (!window)
            continue;
        // As the window's close box would: a cancelled save question keeps it open and stops here.
        if (!window->close())
            break;
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_main->UpdateCommandStates();
    fill();
    if (m_list->count() == 0)
        accept();
}

void CWindowsDlg::Arrange(Arrangement arrangement)
{
    QMdiArea* area = m_main->MdiArea();
    area->setUpdatesEnabled(false);
    const QList<int> rows = selectedRows();
    QList<QMdiSubWindow*> shown;
    for (int row = m_list->count() - 1; row >= 0; --row) {
        QMdiSubWindow* window = WindowOfRow(row);
        if (!window)
            continue;
        if (rows.contains(row)) {
            window->showNormal();
            shown.prepend(window);
        } else {
            window->showMinimized();
        }
    }
    const QRect space = area->viewport()->rect();
    const int count = int(shown.size());
    if (arrangement == Arrangement::Cascade) {
        const int step = 24;
        for (int i = 0; i < count; ++i)
            shown[i]->setGeometry(i * step, i * step, qMax(150, space.width() - (count - 1) * step),
                qMax(100, space.height() - (count - 1) * step));
    } else if (count > 0) {
        for (int i = 0; i < count; ++i) {
            if (arrangement == Arrangement::TileVertically) {
                const int width = space.width() / count;
                shown[i]->setGeometry(i * width, 0, width, space.height());
            } else {
                const int height = space.height() / count;
                shown[i]->setGeometry(0, i * height, space.width(), height);
            }
        }
    }
    area->setUpdatesEnabled(true);
    m_main->UpdateCommandStates();
}

void CWindowsDlg::MinimizeSelected()
{
    const QList<int> rows = selectedRows();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        if (QMdiSubWindow* window = WindowOfRow(*it))
            window->showMinimized();
    }
    m_main->UpdateCommandStates();
    fill();
}
