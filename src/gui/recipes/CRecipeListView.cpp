#include "gui/recipes/CRecipeListView.h"

#include <QDropEvent>
#include <QHeaderView>

CRecipeListView::CRecipeListView(QWidget* parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("RecipeList"));
    setColumnCount(1);
    setHeaderLabels({ QStringLiteral("Recipe Name") });
    header()->setSectionsMovable(false);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    // Near the top or bottom edge a drag scrolls the list row by row.
    setAutoScroll(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

int CRecipeListView::DropRow(const QPoint& position) const
{
    const QModelIndex index = indexAt(position);
    return index.isValid() ? index.row() : topLevelItemCount();
}

void CRecipeListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CRecipeListView::dragMoveEvent(QDragMoveEvent* event)
{
    // The base class draws the drop indicator and scrolls near the edges.
    QTreeWidget::dragMoveEvent(event);
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CRecipeListView::dropEvent(QDropEvent* event)
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (event->source() != this || selected.isEmpty()) {
        event->ignore();
        return;
    }
    const int from = indexOfTopLevelItem(selected.first());
    const int before = DropRow(event->position().toPoint());
    // Reported as a copy, so the drag does not remove the source row after the drop moved it.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    emit moveRequested(from, before);
}
