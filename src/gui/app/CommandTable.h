#pragma once

#include <QList>
#include <QString>

// Command ids of the main window. Other windows refer to commands by these numbers.
namespace Cmd {
enum : int {
    New = 57600,
    Open = 57601,
    OpenButtonPage = 32935,
    OpenLogAsText = 32912,
    Close = 57602,
    CloseAllFiles = 32931,
    Save = 57603,
    SaveAs = 57604,
    SaveAll = 32932,
    Print = 57607,
    PrintPreview = 57609,
    PrintSetup = 57606,
    RecentFile = 57616,
    Exit = 57665,
    Undo = 57643,
    Cut = 57635,
    Copy = 57634,
    Paste = 57637,
    SelectAll = 57642,
    Find = 57636,
    FindNext = 57640,
    Replace = 57641,
    WordWrap = 32800,
    HardLineWrap = 32994,
    Comment = 32905,
    Uncomment = 32906,
    ViewEntryDetails = 32910,
    EditRecipe = 32913,
    ManuallyEditRecipe = 32914,
    ViewRecipe = 32915,
    ShowButtonToolbar = 59392,
    AddTextLabels = 32999,
    CustomizeButtonToolbar = 33000,
    ShowTextToolbar = 32982,
    CustomizeTextToolbar = 33002,
    LogToolbar = 33018,
    StatusBar = 59393,
    WindowTabs = 32777,
    Windows = 103,
    Font = 32771,
    DisableProcmail = 32950,
    InitialSetup = 32951,
    Settings = 32978,
    Options = 32801,
    Disconnect = 32774,
    FtpDialog = 32949,
    RemoteFilesFolders = 32947,
    SendEmailDialog = 32996,
    NewRecipe = 32977,
    PositionEdit = 32971,
    Import = 32989,
    Backup = 32973,
    Vacation = 32974,
    ManuallyEdit = 32975,
    CustomizeDownloadMenu = 32798,
    LogDownload = 32776,
    CustomizeUploadMenu = 32799,
    PendingFiles = 32920,
    NewWindow = 57648,
    Cascade = 57650,
    Tile = 57651,
    ArrangeIcons = 57649,
    HelpContents = 57667,
    TipOfTheDay = 33020,
    ManProcmail = 32954,
    ManProcmailex = 32955,
    ManProcmailrc = 32956,
    ManProcmailsc = 32957,
    ManFormail = 32958,
    ManLockfile = 32959,
    ManEgrep = 32960,
    ManGrep = 32961,
    ManSed = 32962,
    ManSysexits = 32988,
    ManUpdate = 32968,
    VersionView = 32966,
    VersionUpdate = 32967,
    VisitWebSite = 33023,
    CheckForUpdate = 33022,
    SendFeedback = 33024,
    About = 57664,
    RecipeList = 32916, // the recipe list of the Text Toolbar (a toolbar item, no menu item)
    HelpButtonPage = 1001, // the "Help" button of the button page (no menu item)
    // Custom menu entries: 50 ids each.
    FirstUpload = 32803,
    LastUpload = 32852,
    FirstDownload = 32853,
    LastDownload = 32902,
    FirstRecentFile = 57616,
    LastRecentFile = 57623,
};
constexpr int MaxCustomEntries = 50;
} // namespace Cmd

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
