#include "gui/app/MainMenus.h"

#include "gui/app/CViewManager.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/CustomMenuCommands.h"
#include "gui/app/RecentFileList.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <algorithm>

namespace {

// Marks the window list's items, which are made anew each time the menu opens.
const char DynamicProperty[] = "zephDynamicItem";

} // namespace

MainMenus::MainMenus(QMenuBar* bar, CommandRegistry& commands, RecentFileList& recent,
    CustomMenuCommands& custom, CViewManager* tabs, QMdiArea* area, QObject* parent)
    : QObject(parent)
    , m_bar(bar)
    , m_commands(commands)
    , m_recent(recent)
    , m_custom(custom)
    , m_tabs(tabs)
    , m_area(area)
{
}

void MainMenus::fill(QMenu* menu, const QList<int>& ids)
{
    for (int id : ids) {
        if (id == 0)
            menu->addSeparator();
        else if (QAction* action = m_commands.Action(id))
            menu->addAction(action);
    }
}

void MainMenus::Rebuild()
{
    if (!m_bar->actions().isEmpty())
        Build(m_kind);
}

void MainMenus::Build(MenuKind kind)
{
    m_kind = kind;
    // Menus are rebuilt from the layout; the actions themselves live on.
    const QList<QAction*> old = m_bar->actions();
    m_bar->clear();
    for (QAction* action : old) {
        if (QMenu* menu = action->menu())
            menu->deleteLater();
    }
    QAction* recentFile = m_commands.Action(Cmd::RecentFile);
    const QList<MenuPopup> popups = MenuLayout(kind);
    for (const MenuPopup& popup : popups) {
        QMenu* menu = m_bar->addMenu(popup.text);
        menu->setToolTipsVisible(false);
        for (const MenuEntry& entry : popup.entries) {
            if (!entry.submenu.isEmpty()) {
                QMenu* sub = menu->addMenu(entry.submenu);
                fill(sub, entry.children);
            } else {
                fill(menu, { entry.id });
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &MainMenus::AboutToShow);
        const QList<QAction*> items = menu->actions();
        if (items.contains(recentFile)) {
            connect(menu, &QMenu::aboutToShow, this,
                [this, menu, recentFile] { m_recent.FillMenu(menu, recentFile); });
            m_recent.FillMenu(menu, recentFile);
        }
        if (items.contains(m_commands.Action(Cmd::Windows))) {
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowList(menu); });
            fillWindowList(menu);
        }
        if (!items.isEmpty() && items.first() == m_commands.Action(Cmd::CustomizeDownloadMenu))
            m_custom.AppendEntries(menu, false);
        if (!items.isEmpty() && items.first() == m_commands.Action(Cmd::CustomizeUploadMenu))
            m_custom.AppendEntries(menu, true);
    }
}

void MainMenus::RefreshSubmenus()
{
    const QList<QAction*> popups = m_bar->actions();
    for (QAction* popup : popups) {
        const QList<QAction*> entries = popup->menu() ? popup->menu()->actions() : QList<QAction*>();
        for (QAction* entry : entries) {
            QMenu* sub = entry->menu();
            if (!sub)
                continue;
            const QList<QAction*> items = sub->actions();
            const bool any = std::any_of(items.begin(), items.end(),
                [](const QAction* item) { return !item->isSeparator() && item->isVisible(); });
            if (entry->isVisible() != any)
                entry->setVisible(any);
        }
    }
}

void MainMenus::fillWindowList(QMenu* menu)
{
    const QList<QAction*> items = menu->actions();
    for (QAction* action : items) {
        if (action->property(DynamicProperty).toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    QAction* windowsItem = m_commands.Action(Cmd::Windows);
    // The system's list of windows stops at nine; "&Windows..." always closes the menu.
    const QList<QMdiSubWindow*> windows = m_tabs->Windows();
    for (int i = 0; i < windows.size() && i < 9; ++i) {
        QMdiSubWindow* window = windows[i];
        if (!window)
            continue;
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title), menu);
        action->setProperty(DynamicProperty, true);
        action->setCheckable(true);
        action->setChecked(window == m_area->currentSubWindow());
        QPointer<QMdiSubWindow> target = window;
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                m_area->setActiveSubWindow(target);
        });
        menu->insertAction(windowsItem, action);
    }
    if (!windows.isEmpty()) {
        auto* separator = new QAction(menu);
        separator->setSeparator(true);
        separator->setProperty(DynamicProperty, true);
        menu->insertAction(windowsItem, separator);
    }
}
