#pragma once

#include "gui/app/CommandTable.h"

#include <QObject>

class CViewManager;
class CommandRegistry;
class CustomMenuCommands;
class QMdiArea;
class QMenu;
class QMenuBar;
class RecentFileList;

// The menu bar of one MenuKind, made of the command actions after the menu layout, with the
// parts that change while the program runs: the recent files in the File menu, the window list
// before "&Windows...", the custom entries at the end of the Download and Upload menus.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    MainMenus(QMenuBar* bar, CommandRegistry& commands, RecentFileList& recent, CustomMenuCommands& custom,
        CViewManager* tabs, QMdiArea* area, QObject* parent);

    MenuKind Kind() const { return m_kind; }
    void Build(MenuKind kind);
    // Builds the current menu bar again (after the custom entries changed); nothing before the
    // first Build.
    void Rebuild();
    // Hides a submenu whose commands are all hidden (and shows it again when one appears).
    void RefreshSubmenus();

signals:
    // A menu is about to open: the command states are wanted fresh.
    void AboutToShow();

private:
    void fill(QMenu* menu, const QList<int>& ids);
    void fillWindowList(QMenu* menu);

    QMenuBar* m_bar;
    CommandRegistry& m_commands;
    RecentFileList& m_recent;
    CustomMenuCommands& m_custom;
    CViewManager* m_tabs;
    QMdiArea* m_area;
    MenuKind m_kind = MenuKind::NoDocument;
};
