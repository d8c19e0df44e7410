#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;

// The eight files opened last, newest first, kept in the identity's registry file under "Recent
// File List". In the File menu they stand in place of the "Recent File" placeholder.
class RecentFileList : public QObject
{
    Q_OBJECT

public:
    using Opener = std::function<void(const QString& path)>;

    // `open` opens a chosen file.
    RecentFileList(Opener open, QObject* parent);

    void Add(const QString& path);
    QStringList Files() const;
    // Puts the files after `placeholder`, which shows only while the list is empty.
    void FillMenu(QMenu* menu, QAction* placeholder);

private:
    void choose(int index);

    Opener m_open;
    QList<QAction*> m_actions;
};
