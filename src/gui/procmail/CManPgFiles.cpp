#include "gui/procmail/CManPgFiles.h"

#include "core/procmail/ManPageFiles.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CManPgFiles::CManPgFiles(QWidget* parent)
    : QWidget(parent)
{
    auto* text = new QLabel(
        QStringLiteral(
            "You may want ZEPH to retrieve any or all of the files listed below from the remote host.  "
            "Files that have a check next to them are files that were not found locally, it's a good "
            "idea to get a copy of those files to have them on hand for future reference.  Any file "
            "that has a check next to it will be downloaded from the remote host.  Check or uncheck "
            "any item as desired.  Items not checked will be ignored.  When you have decided which "
            "files you would like ZEPH to retrieve, please hit 'Next'."),
        this);
    text->setWordWrap(true);
    auto* heading = new QLabel(QStringLiteral("Files"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("files"));
    for (int item = 0; item < ManPageFiles::Count; ++item) {
        auto* row = new QListWidgetItem(ManPageFiles::ListText(item), m_list);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(QFileInfo::exists(ManPageFiles::LocalPath(item)) ? Qt::Unchecked : Qt::Checked);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(heading);
    layout->addWidget(m_list);
}

QList<bool> CManPgFiles::Selection() const
{
    QList<bool> selection;
    for (int row = 0; row < m_list->count(); ++row)
        selection << (m_list->item(row)->checkState() == Qt::Checked);
    return selection;
}
