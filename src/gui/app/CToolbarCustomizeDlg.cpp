#include "gui/app/CToolbarCustomizeDlg.h"

#include "core/common/Prompt.h"
#include "gui/app/CCustomToolBar.h"
#include "gui/app/CommandTable.h"
#include "gui/common/Help.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CToolbarCustomizeDlg::CToolbarCustomizeDlg(CCustomToolBar* toolbar, QWidget* parent)
    : QDialog(parent)
    , m_toolbar(toolbar)
    , m_saved(toolbar->Layout())
    , m_available(new QListWidget(this))
    , m_current(new QListWidget(this))
    , m_add(new QPushButton(QStringLiteral("&Add ->"), this))
    , m_remove(new QPushButton(QStringLiteral("<- &Remove"), this))
    , m_up(new QPushButton(QStringLiteral("Move &Up"), this))
    , m_down(new QPushButton(QStringLiteral("Move &Down"), this))
{
    setWindowTitle(QStringLiteral("Customize Toolbar"));
    SetHelpTopic(this, QStringLiteral("cusToolbarDlg.html"));
    auto* grid = new QGridLayout(this);
    auto* availableLabel = new QLabel(QStringLiteral("A&vailable toolbar buttons:"), this);
    availableLabel->setBuddy(m_available);
    auto* currentLabel = new QLabel(QStringLiteral("Toolbar b&uttons:"), this);
    currentLabel->setBuddy(m_current);
    grid->addWidget(availableLabel, 0, 0);
    grid->addWidget(currentLabel, 0, 2);
    grid->addWidget(m_available, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(m_add);
    middle->addWidget(m_remove);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_current, 1, 2);
    auto* side = new QVBoxLayout;
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    auto* reset = new QPushButton(QStringLiteral("R&eset"), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    close->setDefault(true);
    side->addWidget(close);
    side->addWidget(reset);
    side->addWidget(help);
    side->addSpacing(12);
    side->addWidget(m_up);
    side->addWidget(m_down);
    side->addStretch();
    grid->addLayout(side, 1, 3);
    m_available->setSelectionMode(QAbstractItemView::ExtendedSelection);

    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(reset, &QPushButton::clicked, this, &CToolbarCustomizeDlg::Reset);
    connect(help, &QPushButton::clicked, this,
        [this] { ShowHelpTopic(this, QStringLiteral("cusToolbarDlg.html")); });
    connect(m_add, &QPushButton::clicked, this, &CToolbarCustomizeDlg::AddSelected);
    connect(m_remove, &QPushButton::clicked, this, &CToolbarCustomizeDlg::RemoveSelected);
    connect(m_up, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { MoveSelected(1); });
    connect(m_available, &QListWidget::itemDoubleClicked, this, &CToolbarCustomizeDlg::AddSelected);
    connect(m_current, &QListWidget::itemDoubleClicked, this, &CToolbarCustomizeDlg::RemoveSelected);
    connect(m_available, &QListWidget::itemSelectionChanged, this, &CToolbarCustomizeDlg::updateButtons);
    connect(m_current, &QListWidget::itemSelectionChanged, this, &CToolbarCustomizeDlg::updateButtons);
    fill();
}

QString CToolbarCustomizeDlg::labelFor(int id) const
{
    if (id == 0)
        return QStringLiteral("Separator");
    if (QAction* action = m_toolbar->Action(id)) {
        QString text = action->text();
        text
            = text.left(text.indexOf(QLatin1Char('\t')) >= 0 ? text.indexOf(QLatin1Char('\t')) : text.size());
        text.remove(QLatin1Char('&'));
        if (!action->toolTip().isEmpty() && action->toolTip() != text)
            return QStringLiteral("%1 (%2)").arg(text, action->toolTip());
        return text;
    }
    const CommandInfo* info = FindCommand(id);
    return info ? QString::fromLatin1(info->tooltip) : QString::number(id);
}

void CToolbarCustomizeDlg::fill()
{
    const QList<int> layout = m_toolbar->Layout();
    m_available->clear();
    auto* separator = new QListWidgetItem(labelFor(0), m_available);
    separator->setData(Qt::UserRole, 0);
    for (int id : m_toolbar->Available()) {
        if (id == 0 || layout.contains(id))
            continue;
        auto* item = new QListWidgetItem(labelFor(id), m_available);
        item->setData(Qt::UserRole, id);
    }
    const int row = m_current->currentRow();
    m_current->clear();
    for (int id : layout) {
        auto* item = new QListWidgetItem(labelFor(id), m_current);
        item->setData(Qt::UserRole, id);
    }
    if (row >= 0 && row < m_current->count())
        m_current->setCurrentRow(row);
    updateButtons();
}

void CToolbarCustomizeDlg::apply()
{
    QList<int> ids;
    for (int i = 0; i < m_current->count(); ++i)
        ids.append(m_current->item(i)->data(Qt::UserRole).toInt());
    m_toolbar->SetLayout(ids);
}

void CToolbarCustomizeDlg::AddSelected()
{
    const QList<QListWidgetItem*> chosen = m_available->selectedItems();
    if (chosen.isEmpty())
        return;
    int insertAt = m_current->currentRow() >= 0 ? m_current->currentRow() + 1 : m_current->count();
    for (QListWidgetItem* item : chosen) {
        auto* copy = new QListWidgetItem(item->text());
        copy->setData(Qt::UserRole, item->data(Qt::UserRole));
        m_current->insertItem(insertAt++, copy);
    }
    m_current->setCurrentRow(insertAt - 1);
    apply();
    fill();
}

void CToolbarCustomizeDlg::RemoveSelected()
{
    const int row = m_current->currentRow();
    if (row < 0)
        return;
    delete m_current->takeItem(row);
    m_current->setCurrentRow(qMin(row, m_current->count() - 1));
    apply();
    fill();
}

void CToolbarCustomizeDlg::MoveSelected(int delta)
{
    const int row = m_current->currentRow();
    const int target = row + delta;
    if (row < 0 || target < 0 || target >= m_current->count())
        return;
    QListWidgetItem* item = m_current->takeItem(row);
    m_current->insertItem(target, item);
    m_current->setCurrentRow(target);
    apply();
    fill();
}

void CToolbarCustomizeDlg::Reset()
{
    m_toolbar->SetLayout(m_saved);
    fill();
}

void CToolbarCustomizeDlg::updateButtons()
{
    m_add->setEnabled(!m_available->selectedItems().isEmpty());
    const int row = m_current->currentRow();
    m_remove->setEnabled(row >= 0);
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row < m_current->count() - 1);
}

void CToolbarCustomizeDlg::done(int result)
{
    if (!m_toolbar->SaveLayout())
        Prompt::Tell(QStringLiteral("The toolbar layout could not be saved in %1.")
                         .arg(QStringLiteral("the settings file")),
            QStringLiteral("Customize Toolbar"), Prompt::Warning);
    QDialog::done(result);
}
