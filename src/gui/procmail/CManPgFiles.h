#pragma once

#include <QList>
#include <QWidget>

class QListWidget;

// "Select Manuals To Retrieve": the eleven retrievable files, each ticked when the Document
// Folder has no copy of it yet.
class CManPgFiles : public QWidget
{
    Q_OBJECT

public:
    explicit CManPgFiles(QWidget* parent);

    QListWidget* List() const { return m_list; }
    // One flag per file, in the list's order.
    QList<bool> Selection() const;

private:
    QListWidget* m_list = nullptr;
};
