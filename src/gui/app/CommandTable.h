#pragma once

#include "gui/common/CommandIds.h"

#include <QList>
#include <QString>

struct CommandInfo
{
    int id;
    const char* text; // menu text, shortcut after a tab as the menu shows it
    const char* shortcut; // key sequence, or nullptr
    const char* prompt; // status-bar prompt
    const char* tooltip;
    bool checkable;
};

// Every fixed command of the main window. Custom and recent-file entries are made at run time.
const QList<CommandInfo>& CommandTable();
const CommandInfo* FindCommand(int id);

// The four menu bars: no document, a text document, a log, the button page.
enum class MenuKind { NoDocument = 128, Text = 129, Log = 130, ButtonPage = 179 };

struct MenuEntry
{
    int id = 0; // 0 with no submenu: a separator
    QString submenu; // text of a submenu; its items are `children`
    QList<int> children; // ids, 0 for a separator
};

struct MenuPopup
{
    QString text;
    QList<MenuEntry> entries;
};

// The popups of one menu bar in order. The Download and Upload popups end with a separator after
// which the custom entries go; the Window popup's document list goes before "&Windows...".
QList<MenuPopup> MenuLayout(MenuKind kind);
