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
// Read by the recipe text builder; edited on the Misc settings page.
inline constexpr SettingKey MaildirFormat{"Setup", "Maildir format", SettingType::Int, "0"};
inline constexpr SettingKey ReturnEmailAddress{"Setup", "Return email address", SettingType::String,
                                               "you@example.com"};
inline constexpr SettingKey UserName{"Setup", "Name", SettingType::String, "Your Name"};
inline constexpr SettingKey OutOfMemoryError{"Setup", "Out of memory error", SettingType::Int, "0"};
// The address shown and used where the user has not entered one (an example domain).
inline constexpr const char* PlaceholderAddress = "you@example.com";

// --- Procmail configuration and guided tasks ----------------------------------------------------

// --- Log viewer ---------------------------------------------------------------------------------
// Warn Download Log, Warn Days and Log download time are listed under start-up above.
inline constexpr SettingKey ShowLogToolbar{"Log Settings", "Show Log Toolbar", SettingType::Int, "1"};
inline constexpr SettingKey LogFont{"Log Settings", "Font", SettingType::Font, ""};
inline constexpr SettingKey LogShowGridlines{"Log Settings", "Show Gridlines", SettingType::Int, "0"};
inline constexpr SettingKey LogShowTooltips{"Log Settings", "Show Tooltips", SettingType::Int, "1"};
inline constexpr SettingKey LogUseSavedColSizes{"Log Settings", "Use Saved Col Sizes", SettingType::Int, "0"};
inline constexpr SettingKey LogSortedCol{"Log Settings", "Sorted Col", SettingType::Int, "0"};
inline constexpr SettingKey LogSortAscending{"Log Settings", "Sort Ascending", SettingType::Int, "1"};
inline constexpr SettingKey LogDateFormat{"Log Settings", "Date Format", SettingType::Int, "0"};
inline constexpr SettingKey LogDateSeparator{"Log Settings", "Date Separator", SettingType::String, "/"};
inline constexpr SettingKey LogAlwaysOpenAsText{"Log Settings", "Always open as text", SettingType::Int, "0"};
inline constexpr SettingKey DeleteLogAfterDownload{"Log Settings", "Delete log after download", SettingType::Int,
                                                   "1"};
// Integer arrays: the log list's column widths (by column) and display order.
inline constexpr const char* LogColumnWidthsArray = "Log Display Col widths";
inline constexpr const char* LogColumnOrderArray = "Log Display Col Order";
// Colour rules 1 to 7 live in "Log Settings" under "Color<N>" (colour, -1 none), "Color<N> string"
// (text) and "Color<N> combo" (field, -1 none); CLogColourRules reads them.
inline constexpr const char* LogSettingsSection = "Log Settings";
inline constexpr int LogColourRuleCount = 7;

// --- Remote host transfer -----------------------------------------------------------------------

// --- Mail and web clients -----------------------------------------------------------------------

// --- Main window and shell ----------------------------------------------------------------------

} // namespace Settings
