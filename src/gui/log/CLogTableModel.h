#pragma once

#include <QAbstractTableModel>

class CLogDisplayDoc;

// The log document as a table: one row per entry in the document's current order. It holds no
// text: each cell asks the document when it is painted, so a million rows cost nothing here.
class CLogTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CLogTableModel(const CLogDisplayDoc* doc, QObject* parent = nullptr);

    static QString ColumnHeader(int column);
    // Cells show at most this many bytes of a field; the details window shows all of it.
    static constexpr qsizetype CellLimit = 1024;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // After the document's order or colours changed.
    void OrderChanged();
    void ColoursChanged();

private:
    const CLogDisplayDoc* m_doc;
};
