#pragma once

#include <QTreeWidget>

// The list of the Position/Edit dialog: one column, one row per recipe, single full-row
// selection. A row dragged with the mouse is dropped before the row under the drop point, or at
// the end below the last row; the view moves nothing itself and reports the wish instead, so the
// dialog keeps one way of reordering.
class CRecipeListView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CRecipeListView(QWidget* parent);

    // The row a drop at `position` (viewport coordinates) inserts before; topLevelItemCount()
    // below the last row.
    int DropRow(const QPoint& position) const;

signals:
    // The row `from` should go before the row `before` (as counted before the move).
    void moveRequested(int from, int before);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
