#pragma once

#include <QString>

// Every setting of ZEPH in one table: section, key, type and default. Code names a setting by its
// Settings::Key and reads or writes it with GetSetting/SetSetting (Profile.h), so a new setting is
// one enumerator here and one row in SettingsTable.cpp. Keep each area's settings together.

enum class SettingType { Int, String, Time, Font, IntArray, StringArray };

namespace Settings {

enum Key : int {
    // Start-up and workspace
    DocumentDirectory,
    ZephDir,
    MailDir,
    SetupWizRun,
    SetupWizAttempted,
    NoSetupFilesWarning,
    WarnDownloadLog,
    WarnDays,
    LogDownloadTime,
    ShowButtonPage,
    ShowTipOfDay,
    NextTipOfDay,
    NewDocumentAtStartup,
    FirstRun,
    InitialShowState,
    StartFiles,
    // Recipes and wizard
    MaildirFormat,
    ReturnEmailAddress,
    PersonalName,
    OutOfMemoryError,
    ToMacro,
    LinebufWarning,
    NoRegexWarning,
    NoSedRegexWarning,
    DontShowLockfileWarning,
    WizTextColor,
    WizHighlightColor,
    WizBackgroundColor,
    DefaultImportFolder,
    ShowRecipeListAfterWizard,
    RecipeListShowPendingFiles,
    // .procmailrc, e-mail and .forward/.qmail settings
    LoggingOn,
    VerboseOn,
    ProcmailrcAdvancedShown,
    EmailAddress,
    ShowPendingFilesDlg,
    ForwardQmailRadio,
    // Log viewer
    ShowLogToolbar,
    LogFont,
    LogShowGridlines,
    LogShowTooltips,
    LogUseSavedColSizes,
    LogSortedCol,
    LogSortAscending,
    LogDateFormat,
    LogDateSeparator,
    LogAskAboveMegabytes,
    LogAlwaysOpenAsText,
    DeleteLogAfterDownload,
    LogColumnWidths,
    LogColumnOrder,
    LogColourRuleColour,
    LogColourRuleText,
    LogColourRuleField,
    // Remote host transfer
    Host,
    UserName,
    Port,
    InitialDir,
    PasvMode,
    FtpTls,
    TlsPin,
    LogFtpSessions,
    SaveFtpPassword,
    FtpAdvancedShown,
    ExpandFtpDialog,
    UploadWithTempFile,
    ChmodOnUpload,
    OnUploadChmodPerms,
    BackslashSpaceWarning,
    PreflightUpload,
    PendingFilesDisconnect,
    LogDisconnect,
    PendingFiles,
    RemoteFilesColumnOrder,
    RemoteFilesColumnWidths,
    RemoteFoldersColumnOrder,
    RemoteFoldersColumnWidths,
    UploadMenuEntries,
    UploadMenuName,
    UploadMenuLocalFile,
    UploadMenuRemoteFile,
    DownloadMenuEntries,
    DownloadMenuName,
    DownloadMenuLocalFile,
    DownloadMenuRemoteFile,
    // Test mail (SMTP, POP before send) and the version check
    SmtpHost,
    SmtpPort,
    SmtpAuthMethod,
    SmtpUserName,
    SaveSmtpPassword,
    PopHost,
    PopPort,
    SmtpTls,
    PopTls,
    MailEnvelopeFrom,
    MailEnvelopeTo,
    MailToHeader,
    MailFromHeader,
    MailSubject,
    MailCustomHeader,
    MailBody,
    MailAddDateHeader,
    MailCloseOnSend,
    MailWarnOnSend,
    MailLastHeaderModified,
    VersionFileUrl,
    DownloadPageUrl,
    // Backup
    BackupDlgToCombo,
    BackupDlgMsgNumber,
    BackupDlgMsgPrefix,
    // Vacation
    VacationDlgToCombo,
    VacationDlgLastFilename,
    VacationDlgOldVersion,
    VacationDlgFirstDay,
    VacationDlgLastDay,
    // Main window and shell
    MainTop,
    MainLeft,
    MainRight,
    MainBottom,
    MainMinMaxState,
    ChildTop,
    ChildLeft,
    ChildRight,
    ChildBottom,
    ChildMinMaxState,
    ToolbarNeverSaved,
    SmallToolbarButtons,
    ToolbarComboWidth,
    ToolbarComboLength,
    ToolbarComboAlphabetical,
    DisconnectAfterCustom,
    WordWrapOn,
    EditorFont,
    CommentString,
    LineWrapColumn,
    RecipeWizEditTab,
    HelpButtonOnButtonPageUsed,
    DialogWidth,
    DialogHeight,
    DialogMaximize,
    Count
};

} // namespace Settings

struct SettingKey
{
    Settings::Key id;
    const char* section; // empty for arrays, which live in a name space of their own
    const char* key; // "%1" marks a family: the argument of each call fills it in
    SettingType type;
    const char* defaultValue; // as stored text: "0", ".procmail", "" ...
};

// The row of a setting.
const SettingKey& SettingRow(Settings::Key key);
// All rows, in the order of Settings::Key.
const SettingKey* SettingRows();

// The section and key text of a setting; `arg` fills a family's "%1" and must be empty otherwise.
QString SettingSection(Settings::Key key);
QString SettingName(Settings::Key key, const QString& arg = QString());

namespace Settings {
// The address shown and used where the user has not entered one (an example domain).
inline constexpr const char* PlaceholderAddress = "you@example.com";
// How many colour rules the log viewer keeps (LogColourRule* settings 1 to 7).
inline constexpr int LogColourRuleCount = 7;
} // namespace Settings
