#include "gui/app/RecentFileList.h"

#include "core/common/Prompt.h"
#include "core/settings/CRegistry.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace {

constexpr int MaxFiles = 8;

QString section()
{
    return QStringLiteral("Recent File List");
}

QString valueName()
{
    return QStringLiteral("Files");
}

} // namespace

RecentFileList::RecentFileList(Opener open, QObject* parent)
    : QObject(parent)
    , m_open(std::move(open))
{
    for (int i = 0; i < MaxFiles; ++i) {
        auto* action = new QAction(this);
        action->setProperty("recentIndex", i);
        action->setStatusTip(QStringLiteral("Open this document"));
        connect(action, &QAction::triggered, this, [this, i] { choose(i); });
        m_actions.append(action);
    }
}

void RecentFileList::Add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = Files();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > MaxFiles)
        files.removeLast();
    CRegistry::SetList(section(), valueName(), files);
}

QStringList RecentFileList::Files() const
{
    return CRegistry::GetList(section(), valueName());
}

void RecentFileList::FillMenu(QMenu* menu, QAction* placeholder)
{
    for (QAction* action : std::as_const(m_actions))
        menu->removeAction(action);
    const QStringList files = Files();
    placeholder->setVisible(files.isEmpty());
    QAction* before = nullptr;
    const QList<QAction*> items = menu->actions();
    const int at = int(items.indexOf(placeholder));
    if (at >= 0 && at + 1 < items.size())
        before = items[at + 1];
    for (int i = 0; i < files.size() && i < m_actions.size(); ++i) {
        QString shown = files[i];
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        m_actions[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        menu->insertAction(before, m_actions[i]);
    }
}

void RecentFileList::choose(int index)
{
    const QStringList files = Files();
    if (index < 0 || index >= files.size())
        return;
    if (!QFileInfo::exists(files[index])) {
        Prompt::Tell(QStringLiteral(
                         "The file %1 no longer exists.  It has been removed from the list of recent files.")
                         .arg(files[index]),
            QStringLiteral("ZEPH"), Prompt::Warning);
        QStringList rest = files;
        rest.removeAt(index);
        CRegistry::SetList(section(), valueName(), rest);
        return;
    }
    m_open(files[index]);
}
