#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QList>

// One pane of the FTP dialog: a single-column list of "..Up One Level" (when there is a level
// above), the directories, the links (remote only) and the files, each group sorted without
// regard to case. Rows are produced on demand, so a directory of thousands of entries costs only
// its sorting.
class CFtpPaneModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Kind { Up, Directory, Link, File };
    struct Item
    {
        QString name; // as shown and as sent in commands
        QByteArray listed; // the name's bytes as the host listed them (remote only)
        int permissions = -1; // from the listing; -1 when unknown
    };

    CFtpPaneModel(const QString& header, QObject* parent);

    // Replaces the content; the lists are sorted here.
    void SetItems(bool withUp, QList<Item> directories, QList<Item> links, QList<Item> files);

    Kind KindOf(int row) const;
    // The item of a directory, link or file row.
    const Item& ItemAt(int row) const;
    QStringList Names(Kind kind) const;

    // The key under which a file's icon is kept: "*" and the extension with its point, or
    // "*.unknownExt" for a name without one.
    static QString IconKey(const QString& name);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QIcon iconFor(Kind kind, const QString& name) const;

    QString m_header;
    bool m_withUp = false;
    QList<Item> m_directories;
    QList<Item> m_links;
    QList<Item> m_files;
    mutable QHash<QString, QIcon> m_icons;
};
