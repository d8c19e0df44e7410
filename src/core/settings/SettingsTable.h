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
inline constexpr SettingKey DocumentDirectory{"Settings", "Document Directory", SettingType::String, ""};
inline constexpr SettingKey ZephDir{"Setup", "ZephDir", SettingType::String, ".procmail"};
inline constexpr SettingKey MailDir{"Setup", "MailDir", SettingType::String, "mail"};
inline constexpr SettingKey SetupWizRun{"Setup", "Setup wiz run", SettingType::Int, "0"};
inline constexpr SettingKey SetupWizAttempted{"Setup", "Setup Wiz Attempted", SettingType::Int, "0"};
inline constexpr SettingKey NoSetupFilesWarning{"Settings", "No Setup Files Warning", SettingType::Int, "0"};
inline constexpr SettingKey WarnDownloadLog{"Log Settings", "Warn Download Log", SettingType::Int, "1"};
inline constexpr SettingKey WarnDays{"Log Settings", "Warn Days", SettingType::Int, "7"};
inline constexpr SettingKey LogDownloadTime{"Log Settings", "Log download time", SettingType::Time,
                                            "2000,1,1,1,1,1,"};
inline constexpr SettingKey ShowButtonPage{"Settings", "Show Button Page", SettingType::Int, "1"};
inline constexpr SettingKey ShowTipOfDay{"Settings", "Show tip of day", SettingType::Int, "1"};
inline constexpr SettingKey NextTipOfDay{"Settings", "Next tip of day", SettingType::Int, "0"};
// The three start-up settings whose names the program chooses itself.
inline constexpr SettingKey NewDocumentAtStartup{"Startup", "New document at start", SettingType::Int, "0"};
inline constexpr SettingKey FirstRun{"Startup", "First run", SettingType::Int, "1"};
inline constexpr SettingKey InitialShowState{"Startup", "Show state", SettingType::Int, "3"};
// String array: files opened at start-up.
inline constexpr const char* StartFilesArray = "StartFiles";

// --- Recipes and wizard -------------------------------------------------------------------------

// --- Procmail configuration and guided tasks ----------------------------------------------------

// --- Log viewer ---------------------------------------------------------------------------------

// --- Remote host transfer -----------------------------------------------------------------------
inline constexpr SettingKey Host{"Setup", "Host", SettingType::String, ""};
inline constexpr SettingKey UserName{"Setup", "User Name", SettingType::String, "user"};
inline constexpr SettingKey Port{"Setup", "Port", SettingType::Int, "21"};
inline constexpr SettingKey InitialDir{"Setup", "Initial Dir", SettingType::String, ""};
// The one passive flag of connections, transfers and listings.
inline constexpr SettingKey PasvMode{"Setup", "Pasv mode", SettingType::Int, "0"};
inline constexpr SettingKey LogFtpSessions{"Setup", "Log FTP sessions", SettingType::Int, "0"};
inline constexpr SettingKey SaveFtpPassword{"Setup", "Save password", SettingType::Int, "0"};
inline constexpr SettingKey FtpAdvancedShown{"Setup", "FTP advanced shown", SettingType::Int, "0"};
inline constexpr SettingKey ExpandFtpDialog{"Settings", "Expand FTP Dialog", SettingType::Int, "1"};
// The one temporary-name setting, read by uploads, the remote-files record and the Options.
inline constexpr SettingKey UploadWithTempFile{"Settings", "Upload with temp file", SettingType::Int, "1"};
inline constexpr SettingKey ChmodOnUpload{"Settings", "Chmod on upload", SettingType::Int, "0"};
inline constexpr SettingKey OnUploadChmodPerms{"Settings", "On upload chmod perms", SettingType::Int, "600"};
inline constexpr SettingKey BackslashSpaceWarning{"Settings", "Backslash Space warning", SettingType::Int, "0"};
inline constexpr SettingKey PendingFilesDisconnect{"Settings", "Pending files disconnect", SettingType::Int, "1"};
// String array of pairs: local path, remote name.
inline constexpr const char* PendingFilesArray = "Pending Files";
inline constexpr const char* UploadMenuSection = "Menus\\Upload";
inline constexpr const char* DownloadMenuSection = "Menus\\Download";

// --- Mail and web clients -----------------------------------------------------------------------

// --- Main window and shell ----------------------------------------------------------------------

} // namespace Settings
