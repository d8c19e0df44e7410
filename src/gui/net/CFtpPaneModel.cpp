#include "gui/net/CFtpPaneModel.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QStyle>

#include <algorithm>

namespace {

void sortWithoutCase(QList<CFtpPaneModel::Item>* items)
{
    std::sort(items->begin(), items->end(), [](const CFtpPaneModel::Item& a, const CFtpPaneModel::Item& b) {
        const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.name < b.name;
    });
}

} // namespace

CFtpPaneModel::CFtpPaneModel(const QString& header, QObject* parent)
    : QAbstractListModel(parent)
    , m_header(header)
{
}

void CFtpPaneModel::SetItems(bool withUp, QList<Item> directories, QList<Item> links, QList<Item> files)
{
    beginResetModel();
    sortWithoutCase(&directories);
    sortWithoutCase(&links);
    sortWithoutCase(&files);
    m_withUp = withUp;
    m_directories = std::move(directories);
    m_links = std::move(links);
    m_files = std::move(files);
    endResetModel();
}

CFtpPaneModel::Kind CFtpPaneModel::KindOf(int row) const
{
    if (m_withUp) {
        if (row == 0)
            return Up;
        --row;
    }
    if (row < m_directories.size())
        return Directory;
    row -= int(m_directories.size());
    return row < m_links.size() ? Link : File;
}

const CFtpPaneModel::Item& CFtpPaneModel::ItemAt(int row) const
{
    if (m_withUp)
        --row;
    if (row < m_directories.size())
        return m_directories[row];
    row -= int(m_directories.size());
    if (row < m_links.size())
        return m_links[row];
    return m_files[row - m_links.size()];
}

QStringList CFtpPaneModel::Names(Kind kind) const
{
    const QList<Item>& items = kind == Directory ? m_directories : kind == Link ? m_links : m_files;
    QStringList names;
    if (kind == Up)
        return names;
    for (const Item& item : items)
        names.append(item.name);
    return names;
}

QString CFtpPaneModel::IconKey(const QString& name)
{
    const qsizetype point = name.lastIndexOf(QLatin1Char('.'));
    return point < 0 ? QStringLiteral("*.unknownExt") : QLatin1Char('*') + name.mid(point);
}

int CFtpPaneModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_directories.size() + m_links.size() + m_files.size()) + (m_withUp ? 1 : 0);
}

QVariant CFtpPaneModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const Kind kind = KindOf(index.row());
    const QString name = kind == Up ? QString() : ItemAt(index.row()).name;
    if (role == Qt::DisplayRole)
        return kind == Up ? QStringLiteral("..Up One Level") : name;
    if (role == Qt::DecorationRole)
        return iconFor(kind, name);
    return QVariant();
}

QVariant CFtpPaneModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_header;
    return QVariant();
}

QIcon CFtpPaneModel::iconFor(Kind kind, const QString& name) const
{
    const QString key = kind == Up ? QStringLiteral("Up one level")
        : kind == Directory        ? QStringLiteral("Folder")
        : kind == Link             ? QStringLiteral("Remote file Link")
                                   : IconKey(name);
    const auto found = m_icons.constFind(key);
    if (found != m_icons.constEnd())
        return *found;
    QIcon icon;
    QFileIconProvider provider;
    switch (kind) {
    case Up:
        icon = QApplication::style()->standardIcon(QStyle::SP_FileDialogToParent);
        break;
    case Directory:
        icon = provider.icon(QAbstractFileIconProvider::Folder);
        break;
    case Link:
        icon = QApplication::style()->standardIcon(QStyle::SP_DirLinkIcon);
        break;
    case File: {
        // By the extension alone: remote names have no local file to look at.
        const QMimeType type = QMimeDatabase().mimeTypeForFile(
            QStringLiteral("x") + key.mid(1), QMimeDatabase::MatchExtension);
        const QIcon generic = provider.icon(QAbstractFileIconProvider::File);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), generic));
        break;
    }
    }
    m_icons.insert(key, icon);
    return icon;
}
