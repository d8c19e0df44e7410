#include "core/settings/SettingsTable.h"

#include <iterator>

namespace {

using namespace Settings;

// One row per Settings::Key, in the same order (checked below). The names the program chose itself
// where no stored file fixed them: the "Startup" section, "Log Display Col ..." arrays, "Dialogs".
// PasvMode is the one passive flag of connections, transfers and listings; UploadWithTempFile the
// one temporary-name setting read by uploads, the remote-files record and the Options.
constexpr SettingKey Rows[] = {
    // Start-up and workspace
    { DocumentDirectory, "Settings", "Document Directory", SettingType::String, "" },
    // As written into .procmailrc; readers that need a path below the login directory drop "$HOME/".
    { ZephDir, "Setup", "ZephDir", SettingType::String, "$HOME/.procmail" },
    { MailDir, "Setup", "MailDir", SettingType::String, "$HOME/mail" },
    { SetupWizRun, "Setup", "Setup wiz run", SettingType::Int, "0" },
    { SetupWizAttempted, "Setup", "Setup Wiz Attempted", SettingType::Int, "0" },
    { NoSetupFilesWarning, "Settings", "No Setup Files Warning", SettingType::Int, "0" },
    { WarnDownloadLog, "Log Settings", "Warn Download Log", SettingType::Int, "1" },
    { WarnDays, "Log Settings", "Warn Days", SettingType::Int, "7" },
    { LogDownloadTime, "Log Settings", "Log download time", SettingType::Time, "2000,1,1,1,1,1," },
    { ShowButtonPage, "Settings", "Show Button Page", SettingType::Int, "1" },
    { ShowTipOfDay, "Settings", "Show tip of day", SettingType::Int, "1" },
    { NextTipOfDay, "Settings", "Next tip of day", SettingType::Int, "0" },
    { NewDocumentAtStartup, "Startup", "New document at start", SettingType::Int, "0" },
    { FirstRun, "Startup", "First run", SettingType::Int, "1" },
    { InitialShowState, "Startup", "Show state", SettingType::Int, "3" },
    { StartFiles, "", "StartFiles", SettingType::StringArray, "" },
    // Recipes and wizard
    { MaildirFormat, "Setup", "Maildir format", SettingType::Int, "0" },
    { ReturnEmailAddress, "Setup", "Return email address", SettingType::String, "you@example.com" },
    { PersonalName, "Setup", "Name", SettingType::String, "Your Name" },
    { OutOfMemoryError, "Setup", "Out of memory error", SettingType::Int, "0" },
    { ToMacro, "Settings", "To macro", SettingType::Int, "100" },
    { LinebufWarning, "Settings", "Linebuf warning", SettingType::Int, "1" },
    { NoRegexWarning, "Settings", "No Regex warning", SettingType::Int, "0" },
    { NoSedRegexWarning, "Settings", "No sed regex warning", SettingType::Int, "0" },
    { DontShowLockfileWarning, "Settings", "Don't show lockfile warning", SettingType::Int, "0" },
    { WizTextColor, "Settings", "Wiz Text Color", SettingType::Int, "0" },
    { WizHighlightColor, "Settings", "Wiz Highlight Color", SettingType::Int, "16714250" },
    { WizBackgroundColor, "Settings", "Wiz Background Color", SettingType::Int, "16777215" },
    // Empty: the Document Folder.
    { DefaultImportFolder, "Settings", "Default Import folder", SettingType::String, "" },
    { ShowRecipeListAfterWizard, "Settings", "Show recipe list after wizard", SettingType::Int, "1" },
    { RecipeListShowPendingFiles, "Settings", "Recipe list shows pending files", SettingType::Int, "1" },
    // .procmailrc, e-mail and .forward/.qmail settings
    { LoggingOn, "Setup", "Logging On", SettingType::Int, "1" },
    { VerboseOn, "Setup", "Verbose On", SettingType::Int, "0" },
    { ProcmailrcAdvancedShown, "Setup", "Procmailrc advanced shown", SettingType::Int, "0" },
    { EmailAddress, "Setup", "Email address", SettingType::String, "you@example.com" },
    { ShowPendingFilesDlg, "Setup", "Show Pending Files Dlg", SettingType::Int, "1" },
    // 0 .forward, 1 .qmail, 2 neither, 3 not chosen yet.
    { ForwardQmailRadio, "Setup", "ForwardQmail Radio", SettingType::Int, "3" },
    // Log viewer
    { ShowLogToolbar, "Log Settings", "Show Log Toolbar", SettingType::Int, "1" },
    { LogFont, "Log Settings", "Font", SettingType::Font, "" },
    { LogShowGridlines, "Log Settings", "Show Gridlines", SettingType::Int, "0" },
    { LogShowTooltips, "Log Settings", "Show Tooltips", SettingType::Int, "1" },
    { LogUseSavedColSizes, "Log Settings", "Use Saved Col Sizes", SettingType::Int, "0" },
    { LogSortedCol, "Log Settings", "Sorted Col", SettingType::Int, "0" },
    { LogSortAscending, "Log Settings", "Sort Ascending", SettingType::Int, "1" },
    { LogDateFormat, "Log Settings", "Date Format", SettingType::Int, "0" },
    { LogDateSeparator, "Log Settings", "Date Separator", SettingType::String, "/" },
    // The log viewer asks before it reads a log of more megabytes than this into memory; 0 never asks.
    { LogAskAboveMegabytes, "Log Settings", "Ask above MB", SettingType::Int, "512" },
    { LogAlwaysOpenAsText, "Log Settings", "Always open as text", SettingType::Int, "0" },
    { DeleteLogAfterDownload, "Log Settings", "Delete log after download", SettingType::Int, "1" },
    { LogColumnWidths, "", "Log Display Col widths", SettingType::IntArray, "" },
    { LogColumnOrder, "", "Log Display Col Order", SettingType::IntArray, "" },
    { LogColourRuleColour, "Log Settings", "Color%1", SettingType::Int, "-1" },
    { LogColourRuleText, "Log Settings", "Color%1 string", SettingType::String, "" },
    { LogColourRuleField, "Log Settings", "Color%1 combo", SettingType::Int, "-1" },
    // Remote host transfer
    { Host, "Setup", "Host", SettingType::String, "" },
    { UserName, "Setup", "User Name", SettingType::String, "user" },
    { Port, "Setup", "Port", SettingType::Int, "21" },
    { InitialDir, "Setup", "Initial Dir", SettingType::String, "" },
    { PasvMode, "Setup", "Pasv mode", SettingType::Int, "0" },
    // 0 none, 1 explicit (AUTH TLS), 2 implicit. Records from before the option read as none; an
    // identity created since starts with explicit (CAppState::LoadIdentityData).
    { FtpTls, "Setup", "FTP TLS", SettingType::Int, "0" },
    // The SHA-256 fingerprint the user trusted for one server, keyed by service and host (TlsPinKey).
    { TlsPin, "TLS Pins", "%1", SettingType::String, "" },
    { LogFtpSessions, "Setup", "Log FTP sessions", SettingType::Int, "0" },
    { SaveFtpPassword, "Setup", "Save password", SettingType::Int, "0" },
    { FtpAdvancedShown, "Setup", "FTP advanced shown", SettingType::Int, "0" },
    { ExpandFtpDialog, "Settings", "Expand FTP Dialog", SettingType::Int, "1" },
    { UploadWithTempFile, "Settings", "Upload with temp file", SettingType::Int, "1" },
    { ChmodOnUpload, "Settings", "Chmod on upload", SettingType::Int, "0" },
    { OnUploadChmodPerms, "Settings", "On upload chmod perms", SettingType::Int, "600" },
    { BackslashSpaceWarning, "Settings", "Backslash Space warning", SettingType::Int, "0" },
    { PreflightUpload, "Settings", "Try recipe file before upload", SettingType::Int, "1" },
    { PendingFilesDisconnect, "Settings", "Pending files disconnect", SettingType::Int, "1" },
    { LogDisconnect, "Settings", "Log disconnect", SettingType::Int, "1" },
    { PendingFiles, "", "Pending Files", SettingType::StringArray, "" },
    { RemoteFilesColumnOrder, "", "Remote Files Col Order", SettingType::IntArray, "" },
    { RemoteFilesColumnWidths, "", "Remote Files Col widths", SettingType::IntArray, "" },
    { RemoteFoldersColumnOrder, "", "Remote Dir Col Order", SettingType::IntArray, "" },
    { RemoteFoldersColumnWidths, "", "Remote Dir Col widths", SettingType::IntArray, "" },
    { UploadMenuEntries, "Menus\\Upload", "Entries", SettingType::Int, "0" },
    { UploadMenuName, "Menus\\Upload", "%1MenuName", SettingType::String, "" },
    { UploadMenuLocalFile, "Menus\\Upload", "%1LocalFile", SettingType::String, "" },
    { UploadMenuRemoteFile, "Menus\\Upload", "%1RemoteFile", SettingType::String, "" },
    { DownloadMenuEntries, "Menus\\Download", "Entries", SettingType::Int, "0" },
    { DownloadMenuName, "Menus\\Download", "%1MenuName", SettingType::String, "" },
    { DownloadMenuLocalFile, "Menus\\Download", "%1LocalFile", SettingType::String, "" },
    { DownloadMenuRemoteFile, "Menus\\Download", "%1RemoteFile", SettingType::String, "" },
    // Test mail and the version check. No SMTP host by default: the send then asks for one
    // instead of trying a made-up host. The password is never a setting: SavedPassword::Smtp keeps
    // it (keychain or protected value). Auth Method: 0 none, 1 AUTH LOGIN, 2 PLAIN, 3 POP before send,
    // 4 CRAM-MD5.
    { SmtpHost, "Smtp Config Dlg", "Smtp Host", SettingType::String, "" },
    { SmtpPort, "Smtp Config Dlg", "Smtp Port", SettingType::Int, "25" },
    { SmtpAuthMethod, "Smtp Config Dlg", "Auth Method", SettingType::Int, "0" },
    { SmtpUserName, "Smtp Config Dlg", "Username", SettingType::String, "" },
    { SaveSmtpPassword, "Smtp Config Dlg", "Save password", SettingType::Int, "0" },
    { PopHost, "Smtp Config Dlg", "Pop Host", SettingType::String, "" },
    { PopPort, "Smtp Config Dlg", "Pop Port", SettingType::Int, "110" },
    // 0 none, 1 STARTTLS (STLS for POP3), 2 implicit TLS.
    { SmtpTls, "Smtp Config Dlg", "Smtp TLS", SettingType::Int, "0" },
    { PopTls, "Smtp Config Dlg", "Pop TLS", SettingType::Int, "0" },
    { MailEnvelopeFrom, "Smtp Dlg", "Env From", SettingType::String, "" },
    { MailEnvelopeTo, "Smtp Dlg", "Env To", SettingType::String, "" },
    { MailToHeader, "Smtp Dlg", "To", SettingType::String, "" },
    { MailFromHeader, "Smtp Dlg", "From", SettingType::String, "" },
    { MailSubject, "Smtp Dlg", "Subject", SettingType::String, "" },
    { MailCustomHeader, "Smtp Dlg", "Custom%1", SettingType::String, "" },
    { MailBody, "Smtp Dlg", "Body", SettingType::String, "" },
    { MailAddDateHeader, "Smtp Dlg", "Add Date Hdr", SettingType::Int, "1" },
    { MailCloseOnSend, "Smtp Dlg", "Close on Send", SettingType::Int, "0" },
    { MailWarnOnSend, "Smtp Dlg", "Warn on Send", SettingType::Int, "1" },
    { MailLastHeaderModified, "Smtp Dlg", "Last hdr modified", SettingType::Int, "-1" },
    // Where the version check looks; fixed addresses that tests point at their own server.
    { VersionFileUrl, "Settings", "Version file URL", SettingType::String,
        "http://zeph.example.org/zeph.version.txt" },
    { DownloadPageUrl, "Settings", "Download page URL", SettingType::String,
        "https://zeph.example.org/download.html" },
    // Backup. The prefix is procmail's MSGPREFIX, which names the copies it writes into a folder.
    { BackupDlgToCombo, "Settings", "Backup Dlg To Combo", SettingType::Int, "0" },
    { BackupDlgMsgNumber, "Settings", "Backup Dlg msg number", SettingType::Int, "100" },
    { BackupDlgMsgPrefix, "Settings", "Backup Dlg Backup Mail Msg Prefix", SettingType::String, "msg." },
    // Vacation. The first and last day (yyyy-MM-dd, empty: open) bound the replies on the host.
    { VacationDlgToCombo, "Settings", "Vacation Dlg To Combo", SettingType::Int, "0" },
    { VacationDlgLastFilename, "Settings", "Vacation Dlg Last Filename", SettingType::String, "" },
    { VacationDlgOldVersion, "Settings", "Vacation Dlg Old Version", SettingType::Int, "0" },
    { VacationDlgFirstDay, "Settings", "Vacation Dlg First Day", SettingType::String, "" },
    { VacationDlgLastDay, "Settings", "Vacation Dlg Last Day", SettingType::String, "" },
    // Main window and shell
    { MainTop, "Window", "MainTop", SettingType::Int, "0" },
    { MainLeft, "Window", "MainLeft", SettingType::Int, "0" },
    { MainRight, "Window", "MainRight", SettingType::Int, "550" },
    { MainBottom, "Window", "MainBottom", SettingType::Int, "400" },
    { MainMinMaxState, "Window", "MainMinMaxState", SettingType::Int, "1" },
    { ChildTop, "Window", "ChildTop", SettingType::Int, "0" },
    { ChildLeft, "Window", "ChildLeft", SettingType::Int, "0" },
    { ChildRight, "Window", "ChildRight", SettingType::Int, "500" },
    { ChildBottom, "Window", "ChildBottom", SettingType::Int, "350" },
    { ChildMinMaxState, "Window", "ChildMinMaxState", SettingType::Int, "3" },
    { ToolbarNeverSaved, "Settings", "Toolbar never saved", SettingType::Int, "1" },
    { SmallToolbarButtons, "Settings", "Small Toolbar Buttons", SettingType::Int, "1" },
    { ToolbarComboWidth, "Settings", "Toolbar comboBox width", SettingType::Int, "100" },
    { ToolbarComboLength, "Settings", "Toolbar comboBox length", SettingType::Int, "100" },
    { ToolbarComboAlphabetical, "Settings", "Toolbar comboBox alphabetical", SettingType::Int, "1" },
    { DisconnectAfterCustom, "Settings", "Disconnect after custom up/down load", SettingType::Int, "1" },
    { WordWrapOn, "Settings", "WordWrapOn", SettingType::Int, "0" },
    { EditorFont, "Settings", "Font", SettingType::Font, "" },
    { CommentString, "Settings", "Comment string", SettingType::String, "# " },
    { LineWrapColumn, "Settings", "Line Wrap Column", SettingType::Int, "72" },
    { RecipeWizEditTab, "Settings", "Recipe Wiz EditTab", SettingType::Int, "2" },
    { HelpButtonOnButtonPageUsed, "Setup", "Help button on Btn Pg used", SettingType::Int, "0" },
    { DialogWidth, "Dialogs", "%1Width", SettingType::Int, "0" },
    { DialogHeight, "Dialogs", "%1Height", SettingType::Int, "0" },
    { DialogMaximize, "Dialogs", "%1Maximize", SettingType::Int, "0" },
};

static_assert(std::size(Rows) == Count, "one row per Settings::Key");

constexpr bool rowsInOrder()
{
    for (int i = 0; i < Count; ++i) {
        if (Rows[i].id != i)
            return false;
    }
    return true;
}
static_assert(rowsInOrder(), "rows follow the order of Settings::Key");

} // namespace

const SettingKey& SettingRow(Settings::Key key)
{
    Q_ASSERT(key >= 0 && key < Count);
    return Rows[key];
}

const SettingKey* SettingRows()
{
    return Rows;
}

QString SettingSection(Settings::Key key)
{
    return QLatin1String(SettingRow(key).section);
}

QString SettingName(Settings::Key key, const QString& arg)
{
    const QString name = QLatin1String(SettingRow(key).key);
    Q_ASSERT(name.contains(QLatin1String("%1")) == !arg.isEmpty());
    return arg.isEmpty() ? name : name.arg(arg);
}
