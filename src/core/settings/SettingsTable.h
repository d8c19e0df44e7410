#pragma once

// Every setting of ZEPH: section, key, type and default, in one place. Read and write them with
// GetSetting/SetSetting (Profile.h). Keep each area's rows together under its heading.

enum class SettingType { Int, String, Time, Font };

struct SettingKey
{
    const char* section;
    const char* key;
    SettingType type;
    const char* defaultValue; // as stored text: "0", ".procmail", "" ...
};

namespace Settings {

// --- Start-up and workspace ---------------------------------------------------------------------
inline constexpr SettingKey DocumentDirectory { "Settings", "Document Directory", SettingType::String, "" };
inline constexpr SettingKey ZephDir { "Setup", "ZephDir", SettingType::String, ".procmail" };
inline constexpr SettingKey MailDir { "Setup", "MailDir", SettingType::String, "mail" };
inline constexpr SettingKey SetupWizRun { "Setup", "Setup wiz run", SettingType::Int, "0" };
inline constexpr SettingKey SetupWizAttempted { "Setup", "Setup Wiz Attempted", SettingType::Int, "0" };
inline constexpr SettingKey NoSetupFilesWarning { "Settings", "No Setup Files Warning", SettingType::Int,
    "0" };
inline constexpr SettingKey WarnDownloadLog { "Log Settings", "Warn Download Log", SettingType::Int, "1" };
inline constexpr SettingKey WarnDays { "Log Settings", "Warn Days", SettingType::Int, "7" };
inline constexpr SettingKey LogDownloadTime { "Log Settings", "Log download time", SettingType::Time,
    "2000,1,1,1,1,1," };
inline constexpr SettingKey ShowButtonPage { "Settings", "Show Button Page", SettingType::Int, "1" };
inline constexpr SettingKey ShowTipOfDay { "Settings", "Show tip of day", SettingType::Int, "1" };
inline constexpr SettingKey NextTipOfDay { "Settings", "Next tip of day", SettingType::Int, "0" };
// The three start-up settings whose names the program chooses itself.
inline constexpr SettingKey NewDocumentAtStartup { "Startup", "New document at start", SettingType::Int,
    "0" };
inline constexpr SettingKey FirstRun { "Startup", "First run", SettingType::Int, "1" };
inline constexpr SettingKey InitialShowState { "Startup", "Show state", SettingType::Int, "3" };
// String array: files opened at start-up.
inline constexpr const char* StartFilesArray = "StartFiles";

// --- Recipes and wizard -------------------------------------------------------------------------
// Read by the recipe text builder; edited on the Misc settings page.
inline constexpr SettingKey MaildirFormat { "Setup", "Maildir format", SettingType::Int, "0" };
inline constexpr SettingKey ReturnEmailAddress { "Setup", "Return email address", SettingType::String,
    "you@example.com" };
inline constexpr SettingKey PersonalName { "Setup", "Name", SettingType::String, "Your Name" };
inline constexpr SettingKey OutOfMemoryError { "Setup", "Out of memory error", SettingType::Int, "0" };
// The address shown and used where the user has not entered one (an example domain).
inline constexpr const char* PlaceholderAddress = "you@example.com";

// --- Procmail configuration and guided tasks ----------------------------------------------------

// --- Log viewer ---------------------------------------------------------------------------------
// Warn Download Log, Warn Days and Log download time are listed under start-up above.
inline constexpr SettingKey ShowLogToolbar { "Log Settings", "Show Log Toolbar", SettingType::Int, "1" };
inline constexpr SettingKey LogFont { "Log Settings", "Font", SettingType::Font, "" };
inline constexpr SettingKey LogShowGridlines { "Log Settings", "Show Gridlines", SettingType::Int, "0" };
inline constexpr SettingKey LogShowTooltips { "Log Settings", "Show Tooltips", SettingType::Int, "1" };
inline constexpr SettingKey LogUseSavedColSizes { "Log Settings", "Use Saved Col Sizes", SettingType::Int,
    "0" };
inline constexpr SettingKey LogSortedCol { "Log Settings", "Sorted Col", SettingType::Int, "0" };
inline constexpr SettingKey LogSortAscending { "Log Settings", "Sort Ascending", SettingType::Int, "1" };
inline constexpr SettingKey LogDateFormat { "Log Settings", "Date Format", SettingType::Int, "0" };
inline constexpr SettingKey LogDateSeparator { "Log Settings", "Date Separator", SettingType::String, "/" };
inline constexpr SettingKey LogAlwaysOpenAsText { "Log Settings", "Always open as text", SettingType::Int,
    "0" };
inline constexpr SettingKey DeleteLogAfterDownload { "Log Settings", "Delete log after download",
    SettingType::Int, "1" };
// Integer arrays: the log list's column widths (by column) and display order.
inline constexpr const char* LogColumnWidthsArray = "Log Display Col widths";
inline constexpr const char* LogColumnOrderArray = "Log Display Col Order";
// Colour rules 1 to 7 live in "Log Settings" under "Color<N>" (colour, -1 none), "Color<N> string"
// (text) and "Color<N> combo" (field, -1 none); CLogColourRules reads them.
inline constexpr const char* LogSettingsSection = "Log Settings";
inline constexpr int LogColourRuleCount = 7;

// --- Remote host transfer -----------------------------------------------------------------------
inline constexpr SettingKey Host { "Setup", "Host", SettingType::String, "" };
inline constexpr SettingKey UserName { "Setup", "User Name", SettingType::String, "user" };
inline constexpr SettingKey Port { "Setup", "Port", SettingType::Int, "21" };
inline constexpr SettingKey InitialDir { "Setup", "Initial Dir", SettingType::String, "" };
// The one passive flag of connections, transfers and listings.
inline constexpr SettingKey PasvMode { "Setup", "Pasv mode", SettingType::Int, "0" };
inline constexpr SettingKey LogFtpSessions { "Setup", "Log FTP sessions", SettingType::Int, "0" };
inline constexpr SettingKey SaveFtpPassword { "Setup", "Save password", SettingType::Int, "0" };
inline constexpr SettingKey FtpAdvancedShown { "Setup", "FTP advanced shown", SettingType::Int, "0" };
inline constexpr SettingKey ExpandFtpDialog { "Settings", "Expand FTP Dialog", SettingType::Int, "1" };
// The one temporary-name setting, read by uploads, the remote-files record and the Options.
inline constexpr SettingKey UploadWithTempFile { "Settings", "Upload with temp file", SettingType::Int, "1" };
inline constexpr SettingKey ChmodOnUpload { "Settings", "Chmod on upload", SettingType::Int, "0" };
inline constexpr SettingKey OnUploadChmodPerms { "Settings", "On upload chmod perms", SettingType::Int,
    "600" };
inline constexpr SettingKey BackslashSpaceWarning { "Settings", "Backslash Space warning", SettingType::Int,
    "0" };
inline constexpr SettingKey PendingFilesDisconnect { "Settings", "Pending files disconnect", SettingType::Int,
    "1" };
inline constexpr SettingKey LogDisconnect { "Settings", "Log disconnect", SettingType::Int, "1" };
// String array of pairs: local path, remote name.
inline constexpr const char* PendingFilesArray = "Pending Files";
// Custom Upload and Download menus: "Entries", then "%dMenuName", "%dLocalFile", "%dRemoteFile".
inline constexpr const char* UploadMenuSection = "Menus\\Upload";
inline constexpr const char* DownloadMenuSection = "Menus\\Download";

// --- Mail and web clients -----------------------------------------------------------------------

// --- Main window and shell ----------------------------------------------------------------------
inline constexpr SettingKey MainTop { "Window", "MainTop", SettingType::Int, "0" };
inline constexpr SettingKey MainLeft { "Window", "MainLeft", SettingType::Int, "0" };
inline constexpr SettingKey MainRight { "Window", "MainRight", SettingType::Int, "550" };
inline constexpr SettingKey MainBottom { "Window", "MainBottom", SettingType::Int, "400" };
inline constexpr SettingKey MainMinMaxState { "Window", "MainMinMaxState", SettingType::Int, "1" };
inline constexpr SettingKey ChildTop { "Window", "ChildTop", SettingType::Int, "0" };
inline constexpr SettingKey ChildLeft { "Window", "ChildLeft", SettingType::Int, "0" };
inline constexpr SettingKey ChildRight { "Window", "ChildRight", SettingType::Int, "500" };
inline constexpr SettingKey ChildBottom { "Window", "ChildBottom", SettingType::Int, "350" };
inline constexpr SettingKey ChildMinMaxState { "Window", "ChildMinMaxState", SettingType::Int, "3" };
inline constexpr SettingKey ToolbarNeverSaved { "Settings", "Toolbar never saved", SettingType::Int, "1" };
inline constexpr SettingKey SmallToolbarButtons { "Settings", "Small Toolbar Buttons", SettingType::Int,
    "1" };
inline constexpr SettingKey ToolbarComboWidth { "Settings", "Toolbar comboBox width", SettingType::Int,
    "100" };
inline constexpr SettingKey ToolbarComboLength { "Settings", "Toolbar comboBox length", SettingType::Int,
    "100" };
inline constexpr SettingKey ToolbarComboAlphabetical { "Settings", "Toolbar comboBox alphabetical",
    SettingType::Int, "1" };
inline constexpr SettingKey DisconnectAfterCustom { "Settings", "Disconnect after custom up/down load",
    SettingType::Int, "1" };
inline constexpr SettingKey WordWrapOn { "Settings", "WordWrapOn", SettingType::Int, "0" };
inline constexpr SettingKey EditorFont { "Settings", "Font", SettingType::Font, "" };
inline constexpr SettingKey CommentString { "Settings", "Comment string", SettingType::String, "# " };
inline constexpr SettingKey LineWrapColumn { "Settings", "Line Wrap Column", SettingType::Int, "72" };
inline constexpr SettingKey RecipeWizEditTab { "Settings", "Recipe Wiz EditTab", SettingType::Int, "2" };
inline constexpr SettingKey HelpButtonOnButtonPageUsed { "Setup", "Help button on Btn Pg used",
    SettingType::Int, "0" };

} // namespace Settings
