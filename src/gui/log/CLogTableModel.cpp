#include "gui/log/CLogTableModel.h"

#include "core/log/CLogDisplayDoc.h"

#include <QBrush>
#include <QColor>

CLogTableModel::CLogTableModel(const CLogDisplayDoc* doc, QObject* parent)
    : QAbstractTableModel(parent)
    , m_doc(doc)
{
}

QString CLogTableModel::ColumnHeader(int column)
{
    switch (column) {
    case CLogEntry::RecipeNameColumn:
        return QStringLiteral("Recipe Name");
    case CLogEntry::HeaderFromColumn:
        return QStringLiteral("From");
    case CLogEntry::SubjectColumn:
        return QStringLiteral("Subject");
    case CLogEntry::HeaderToColumn:
        return QStringLiteral("To");
    case CLogEntry::DateColumn:
        return QStringLiteral("Date");
    case CLogEntry::EnvelopeSenderColumn:
        return QStringLiteral("Envelope From");
    case CLogEntry::FolderColumn:
        return QStringLiteral("Folder");
    case CLogEntry::SizeColumn:
        return QStringLiteral("Size");
    default:
        return QString();
    }
}

int CLogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_doc->GetEntryCount());
}

int CLogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : CLogEntry::ColumnCount;
}

QVariant CLogTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_doc->GetEntryCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_doc->CellText(index.row(), index.column(), CellLimit);
    case Qt::ForegroundRole: {
        const quint32 colour = m_doc->EntryColour(index.row());
        if (colour == CLogEntry::AutomaticColour)
            return QVariant();
        // Stored as 0x00RRGGBB, like the colour palette gives it.
        return QBrush(QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
    }
    case Qt::TextAlignmentRole:
        return index.column() == CLogEntry::SizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                       : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant CLogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole)
        return ColumnHeader(section);
    if (role == Qt::ToolTipRole)
        return QStringLiteral("Click to sort. Drag to reposition");
    if (role == Qt::TextAlignmentRole)
        return section == CLogEntry::SizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

void CLogTableModel::OrderChanged()
{
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

void CLogTableModel::ColoursChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::ForegroundRole });
}
