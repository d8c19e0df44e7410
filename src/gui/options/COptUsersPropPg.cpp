#include "gui/options/COptUsersPropPg.h"

#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/workspace/Identities.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CInputDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

COptUsersPropPg::COptUsersPropPg(QWidget* parent)
    : QWidget(parent)
    , m_list(new QTreeWidget(this))
    , m_create(new QPushButton(QStringLiteral("Create New Identity"), this))
    , m_delete(new QPushButton(QStringLiteral("Delete"), this))
{
    m_list->setHeaderLabels({ QStringLiteral("Identities") });
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(0, Qt::AscendingOrder);
    m_list->header()->setSectionsClickable(false);
    m_create->setAutoDefault(false);
    m_delete->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_create);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    connect(m_create, &QPushButton::clicked, this, &COptUsersPropPg::createIdentity);
    connect(m_delete, &QPushButton::clicked, this, &COptUsersPropPg::deleteIdentity);
}

QPushButton* COptUsersPropPg::Button(int id) const
{
    return id == CreateButton ? m_create : id == DeleteButton ? m_delete : nullptr;
}

void COptUsersPropPg::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_filled)
        Refill();
}

void COptUsersPropPg::Refill()
{
    m_filled = true;
    CAppState::Instance().SaveIdentityDataAndReport();
    m_list->clear();
    for (const QString& name : CAppState::Instance().GetIdentityNames())
        new QTreeWidgetItem(m_list, { name });
    m_list->resizeColumnToContents(0);
}

void COptUsersPropPg::createIdentity()
{
    QString name;
    CInputDlg input(
        QStringLiteral("New Identity"), QStringLiteral("Identity Name:"), &name, QString(), nullptr, this);
    if (input.exec() != QDialog::Accepted)
        return;
    const QString refusal = Workspace::CheckIdentityName(name, false);
    if (!refusal.isEmpty()) {
        Prompt::Tell(refusal, QStringLiteral("Invalid name"), Prompt::Information);
        return;
    }
    Identities::CreateShortcut(Identities::Place::Menu, name);
    if (Identities::CreateShortcut(Identities::Place::Desktop, name))
        Prompt::Tell(
            QStringLiteral("A shortcut to ZEPH for the identity named \"%1\" has been created on the desktop")
                .arg(name),
            QStringLiteral("Shortcut created"), Prompt::Information);
    else
        Prompt::Tell(QStringLiteral("An unexpected error occurred, the shortcut has not been created."),
            QStringLiteral("Unexpected error"), Prompt::Warning);
}

void COptUsersPropPg::deleteIdentity()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        Prompt::Tell(QStringLiteral("Please select an identity to delete"),
            QStringLiteral("No identity selected"), Prompt::Information);
        return;
    }
    const QString name = selected.first()->text(0);
    const QString inUse = Identities::InUseReason(name);
    if (!inUse.isEmpty()) {
        Prompt::Tell(inUse, QStringLiteral("Identity in use"), Prompt::Information);
        return;
    }
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the \"%1\" identity?").arg(name),
            QStringLiteral("Okay to delete?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        != Prompt::Yes)
        return;
    // The list shows what the data file holds: the row goes only when the records went.
    if (Identities::DeleteIdentity(name))
        Refill();
}
