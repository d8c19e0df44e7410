#include "gui/app/CommandTable.h"

#include <QHash>

namespace {

const QList<CommandInfo>& table()
{
    static const QList<CommandInfo> commands = {
        { Cmd::New, "&New\tCtrl+N", "Ctrl+N", "Create a new text document", "New", false },
        { Cmd::Open, "&Open...\tCtrl+O", "Ctrl+O", "Open an existing file", "Open", false },
        { Cmd::OpenButtonPage, "Open &Button Page", nullptr, "Open the button page", "Button page", false },
        { Cmd::OpenLogAsText, "Open Log As &Text", nullptr, "Open the current log in the text editor",
            "Log as text", false },
        { Cmd::Close, "&Close", nullptr, "Close the active document", "Close", false },
        { Cmd::CloseAllFiles, "Close All &Files", nullptr,
            "Save the changed documents, then close all documents", "Close all files", false },
        { Cmd::Save, "&Save\tCtrl+S", "Ctrl+S", "Save the active document", "Save", false },
        { Cmd::SaveAs, "Save &As...", nullptr, "Save the active document under a new name", "Save As",
            false },
        { Cmd::SaveAll, "Save A&ll", nullptr, "Save every changed document", "Save all", false },
        { Cmd::Print, "&Print...\tCtrl+P", "Ctrl+P", "Print the active document", "Print", false },
        { Cmd::PrintPreview, "Print Pre&view", nullptr, "Show the pages as they will be printed",
            "Print Preview", false },
        { Cmd::PrintSetup, "P&rint Setup...", nullptr, "Choose a printer and its options", "Print Setup",
            false },
        { Cmd::RecentFile, "Recent File", nullptr, "Open a recently used file", "Recent file", false },
        { Cmd::Exit, "E&xit", nullptr, "Quit ZEPH; you are asked to save changed documents", "Exit", false },
        { Cmd::Undo, "&Undo", "Ctrl+Z", "Undo the last change", "Undo", false },
        { Cmd::Cut, "Cu&t", "Ctrl+X", "Cut the selection and put it on the clipboard", "Cut", false },
        { Cmd::Copy, "&Copy", "Ctrl+C", "Copy the selection and put it on the clipboard", "Copy", false },
        { Cmd::Paste, "&Paste", "Ctrl+V", "Insert the clipboard contents", "Paste", false },
        { Cmd::SelectAll, "Select A&ll", "Ctrl+A", "Select the entire document", "Select All", false },
        { Cmd::Find, "&Find...", "Ctrl+F", "Find the specified text", "Find", false },
        { Cmd::FindNext, "F&ind Next\tF3", "F3", "Repeat the last search", "Find Next", false },
        { Cmd::Replace, "R&eplace\tCtrl+H", "Ctrl+H", "Replace the specified text with different text",
            "Replace", false },
        { Cmd::WordWrap, "&Word Wrap", nullptr, "Wrap long lines at the window edge", "Word wrap", true },
        { Cmd::HardLineWrap, "&Insert Hard Line Wrap", nullptr,
            "Break the lines of the document at a chosen column", "Hard line wrap", false },
        { Cmd::Comment, "Comment", nullptr, "Put the comment string in front of the selected lines",
            "Comment", false },
        { Cmd::Uncomment, "Uncomment", nullptr, "Remove the comment string from the selected lines",
            "Uncomment", false },
        { Cmd::ViewEntryDetails, "View Entry &Details", nullptr,
            "Show every field of the selected log entries", "Entry details", false },
        { Cmd::EditRecipe, "&Edit Recipe", nullptr,
            "Open the recipe of the selected entry in the Recipe Wizard", "Edit recipe", false },
        { Cmd::ManuallyEditRecipe, "&Manually Edit Recipe", nullptr,
            "Show the recipe of the selected entry in the recipe file", "Manually edit recipe", false },
        { Cmd::ViewRecipe, "&View Recipe", nullptr, "Show the text of the selected entry's recipe",
            "View recipe", false },
        { Cmd::ShowButtonToolbar, "&Show", nullptr, "Show or hide the Button Toolbar", "Button Toolbar",
            true },
        { Cmd::AddTextLabels, "&Add Text Labels", nullptr, "Show text labels on the Button Toolbar",
            "Text labels", true },
        { Cmd::CustomizeButtonToolbar, "&Customize...", nullptr, "Choose the buttons of the Button Toolbar",
            "Customize Button Toolbar", false },
        { Cmd::ShowTextToolbar, "&Show", nullptr, "Show or hide the Text Toolbar", "Text Toolbar", true },
        { Cmd::CustomizeTextToolbar, "&Customize...", nullptr, "Choose the buttons of the Text Toolbar",
            "Customize Text Toolbar", false },
        { Cmd::LogToolbar, "Log Toolbar", nullptr, "Show or hide the log toolbar", "Log toolbar", true },
        { Cmd::StatusBar, "&Status Bar", nullptr, "Show or hide the status bar", "Status bar", true },
        { Cmd::WindowTabs, "&Window Tabs", nullptr, "Show or hide the tabs of the open windows",
            "Window tabs", true },
        { Cmd::Windows, "&Windows...", nullptr, "Manages the currently open windows", "Manage windows",
            false },
        { Cmd::Font, "&Font", nullptr, "Choose the font of the text", "Font", false },
        { Cmd::DisableProcmail, "&Disable Procmail", nullptr, "Stop procmail filtering", "Disable Procmail",
            false },
        { Cmd::InitialSetup, "&Initial Setup", nullptr, "Display Initial Setup Wizard", "Initial Setup",
            false },
        { Cmd::Settings, "&Settings", nullptr, "Modify settings", "Settings", false },
        { Cmd::Options, "&Options", nullptr, "Modify Options", "Options", false },
        { Cmd::Disconnect, "Disco&nnect", nullptr, "Disconnect from the remote host", "Disconnect", false },
        { Cmd::FtpDialog, "&FTP Dialog", nullptr, "Browse and transfer files on the remote host",
            "FTP dialog", false },
        { Cmd::RemoteFilesFolders, "&Remote Files && Folders", nullptr,
            "Display Remote Files and Folders Dialog", "Remote files and folders", false },
        { Cmd::SendEmailDialog, "Send &E-Mail Dialog", nullptr, "Send a test message with custom headers",
            "Send e-mail", false },
        { Cmd::NewRecipe, "&New Recipe", nullptr, "Display Recipe Wizard", "New recipe", false },
        { Cmd::PositionEdit, "&Position/Edit", nullptr, "Position and/or edit existing recipes",
            "Position/Edit", false },
        { Cmd::Import, "&Import", nullptr, "Import a recipe made with the Recipe Wizard", "Import recipe",
            false },
        { Cmd::Backup, "&Backup", nullptr, "Display Backup Mail Dialog", "Backup", false },
        { Cmd::Vacation, "&Vacation", nullptr, "Create, change or remove the vacation recipe", "Vacation",
            false },
        { Cmd::ManuallyEdit, "&Manually Edit", nullptr, "Open the recipe file in the text editor",
            "Edit recipe file", false },
        { Cmd::TryMessage, "&Try a Message...", nullptr,
            "Run the recipes on a sample message with the local procmail; nothing is sent", "Try a message",
            false },
        { Cmd::CustomizeDownloadMenu, "&Customize Menu", nullptr, "Choose the files of the Download menu",
            "Customize Download menu", false },
        { Cmd::LogDownload, "&Log", nullptr, "Download zeph.log from the remote host", "Get log", false },
        { Cmd::CustomizeUploadMenu, "&Customize Menu", nullptr, "Choose the files of the Upload menu",
            "Customize Upload menu", false },
        { Cmd::PendingFiles, "&Pending Files", nullptr, "Display Pending Files Dialog", "Pending files",
            false },
        { Cmd::NewWindow, "&New Window", nullptr, "Open another window for the active document", "New Window",
            false },
        { Cmd::Cascade, "&Cascade", nullptr, "Arrange the windows so that they overlap", "Cascade Windows",
            false },
        { Cmd::Tile, "&Tile", nullptr, "Arrange the windows as tiles that do not overlap", "Tile Windows",
            false },
        { Cmd::ArrangeIcons, "&Arrange Icons", nullptr, "Arrange the icons of minimized windows",
            "Arrange Icons", false },
        { Cmd::HelpContents, "Help &Contents", nullptr, "Display Help", "Help", false },
        { Cmd::TipOfTheDay, "&Tip of the Day...", nullptr, "Show a tip about ZEPH", "Tip of the day", false },
        { Cmd::ManProcmail, "&procmail", nullptr, "Show the procmail man page", "procmail", false },
        { Cmd::ManProcmailex, "procmaile&x", nullptr, "Show the procmailex man page", "procmailex", false },
        { Cmd::ManProcmailrc, "procmail&rc", nullptr, "Show the procmailrc man page", "procmailrc", false },
        { Cmd::ManProcmailsc, "procmail&sc", nullptr, "Show the procmailsc man page", "procmailsc", false },
        { Cmd::ManFormail, "&formail", nullptr, "Show the formail man page", "formail", false },
        { Cmd::ManLockfile, "&lockfile", nullptr, "Show the lockfile man page", "lockfile", false },
        { Cmd::ManEgrep, "&egrep", nullptr, "Show the egrep man page", "egrep", false },
        { Cmd::ManGrep, "&grep", nullptr, "Show the grep man page", "grep", false },
        { Cmd::ManSed, "se&d", nullptr, "Show the sed man page", "sed", false },
        { Cmd::ManSysexits, "s&ysexits.h", nullptr, "Show the sysexits.h header of the host", "sysexits.h",
            false },
        { Cmd::ManUpdate, "&Update", nullptr, "Fetch the man pages from the remote host again",
            "Update man pages", false },
        { Cmd::VersionView, "&View", nullptr, "Show the procmail version of the remote host",
            "Procmail version", false },
        { Cmd::VersionUpdate, "&Update", nullptr, "Fetch the procmail version from the remote host again",
            "Update procmail version", false },
        { Cmd::VisitWebSite, "&Visit ZEPH Web Site", nullptr, "Open the ZEPH home page in your browser",
            "ZEPH web site", false },
        { Cmd::CheckForUpdate, "Check for &Update", nullptr, "Check whether a newer ZEPH is available",
            "Check for update", false },
        { Cmd::SendFeedback, "&Send Feedback", nullptr, "Send email to author", "Send feedback", false },
        { Cmd::About, "&About ZEPH...", nullptr, "Show the program's version and home page", "About", false },
        { Cmd::RecipeList, "Recipes", nullptr, "Go to a recipe of the recipe file", "Go to recipe", false },
    };
    return commands;
}

} // namespace

const QList<CommandInfo>& CommandTable()
{
    return table();
}

const CommandInfo* FindCommand(int id)
{
    static const QHash<int, int> index = [] {
        QHash<int, int> map;
        for (int i = 0; i < table().size(); ++i)
            map.insert(table()[i].id, i);
        return map;
    }();
    const auto it = index.constFind(id);
    return it == index.constEnd() ? nullptr : &table()[*it];
}

QList<MenuPopup> MenuLayout(MenuKind kind)
{
    using namespace Cmd;
    const bool text = kind == MenuKind::Text;
    const bool log = kind == MenuKind::Log;
    const bool document = kind != MenuKind::NoDocument;

    MenuPopup file { QStringLiteral("&File"), {} };
    auto add = [](MenuPopup& popup, std::initializer_list<int> ids) {
        for (int id : ids)
            popup.entries.append(MenuEntry { id, QString(), {} });
    };
    add(file, { New, Open, OpenButtonPage });
    if (log)
        add(file, { OpenLogAsText });
    if (document)
        add(file, { Close, CloseAllFiles });
    add(file, { 0 });
    if (document)
        add(file, { Save, SaveAs, SaveAll, 0 });
    if (text)
        add(file, { Print, PrintPreview });
    add(file, { PrintSetup, 0, RecentFile, 0, Exit });

    QList<MenuPopup> popups { file };
    if (text) {
        MenuPopup edit { QStringLiteral("&Edit"), {} };
        add(edit,
            { Undo, 0, Cut, Copy, Paste, SelectAll, 0, Find, FindNext, Replace, 0, Comment, Uncomment,
                HardLineWrap, 0, WordWrap, Font });
        popups.append(edit);
    } else if (log) {
        MenuPopup edit { QStringLiteral("&Edit"), {} };
        add(edit,
            { Copy, SelectAll, 0, Find, FindNext, 0, ViewEntryDetails, EditRecipe, ManuallyEditRecipe,
                ViewRecipe, 0, Font });
        popups.append(edit);
    }

    MenuPopup view { QStringLiteral("&View"), {} };
    view.entries.append(MenuEntry {
        0, QStringLiteral("&Button Toolbar"), { ShowButtonToolbar, AddTextLabels, CustomizeButtonToolbar } });
    view.entries.append(
        MenuEntry { 0, QStringLiteral("&Text Toolbar"), { ShowTextToolbar, CustomizeTextToolbar } });
    if (log)
        add(view, { LogToolbar });
    add(view, { StatusBar, WindowTabs });
    popups.append(view);

    MenuPopup tools { QStringLiteral("&Tools"), {} };
    add(tools,
        { DisableProcmail, InitialSetup, Settings, Options, 0, Disconnect, FtpDialog, RemoteFilesFolders,
            SendEmailDialog });
    popups.append(tools);

    MenuPopup recipes { QStringLiteral("&Recipes"), {} };
    add(recipes, { NewRecipe, PositionEdit, Import, 0, Backup, Vacation, 0, ManuallyEdit, TryMessage });
    popups.append(recipes);

    MenuPopup download { QStringLiteral("&Download"), {} };
    add(download, { CustomizeDownloadMenu, LogDownload, 0 });
    popups.append(download);

    MenuPopup upload { QStringLiteral("&Upload"), {} };
    add(upload, { CustomizeUploadMenu, PendingFiles, 0 });
    popups.append(upload);

    if (text || log) {
        MenuPopup window { QStringLiteral("&Window"), {} };
        add(window, { NewWindow, Cascade, Tile, ArrangeIcons, 0, Windows });
        popups.append(window);
    }

    MenuPopup help { QStringLiteral("&Help"), {} };
    add(help, { HelpContents, TipOfTheDay, 0 });
    help.entries.append(MenuEntry { 0, QStringLiteral("&Man Pages"),
        { ManProcmail, ManProcmailex, ManProcmailrc, ManProcmailsc, ManFormail, ManLockfile, ManEgrep,
            ManGrep, ManSed, ManSysexits, 0, ManUpdate } });
    help.entries.append(MenuEntry { 0, QStringLiteral("Procmail &Version"), { VersionView, VersionUpdate } });
    add(help, { 0, VisitWebSite, CheckForUpdate, SendFeedback, 0, About });
    popups.append(help);
    return popups;
}
