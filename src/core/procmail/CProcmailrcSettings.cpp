#include "core/procmail/CProcmailrcSettings.h"

#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/settings/Profile.h"

#include <QFileInfo>

namespace {

const QString ResetDoneText = QStringLiteral("The .procmailrc file has been reset to the default settings.");
const QString ResetDoneCaption = QStringLiteral(".procmailrc updated");

void tellFileError(const QString& error)
{
    Prompt::Tell(error, QStringLiteral("ZEPH"), Prompt::Stop);
}

} // namespace

CProcmailrcSettings::CProcmailrcSettings()
{
    if (!QFileInfo::exists(CProcmailrcFile().Path()))
        ResetToDefaults();
    Load();
}

void CProcmailrcSettings::Load()
{
    setValues(GetSetting(Settings::LoggingOn) != 0, GetSetting(Settings::VerboseOn) != 0,
        GetSettingString(Settings::ZephDir), GetSettingString(Settings::MailDir));
    m_advancedShown = GetSetting(Settings::ProcmailrcAdvancedShown) != 0;
}

void CProcmailrcSettings::setValues(
    bool logging, bool verbose, const QString& zephDir, const QString& mailDir)
{
    m_logging = logging;
    m_verbose = verbose;
    m_zephDir = zephDir;
    m_mailDir = mailDir;
    m_openLogging = logging ? 1 : 0;
    m_openVerbose = verbose ? 1 : 0;
    m_openZephDir = zephDir;
    m_openMailDir = mailDir;
}

bool CProcmailrcSettings::ResetToDefaults()
{
    CProcmailrcFile file;
    QString error;
    // CreateDefault also writes the four settings the page shows.
    if (!file.CreateDefault(&error)) {
        tellFileError(error);
        return false;
    }
    file.MarkForUpload();
    setValues(GetSetting(Settings::LoggingOn) != 0, GetSetting(Settings::VerboseOn) != 0,
        GetSettingString(Settings::ZephDir), GetSettingString(Settings::MailDir));
    return true;
}

bool CProcmailrcSettings::AskAndReset()
{
    if (Prompt::Ask(QStringLiteral("Note that any existing .procmailrc file will be overwritten.  Okay to "
                                   "overwrite existing .procmailrc file?"),
            QStringLiteral("Okay to overwrite?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        != Prompt::Yes)
        return false;
    if (!ResetToDefaults())
        return false;
    Prompt::Tell(ResetDoneText, ResetDoneCaption, Prompt::Information);
    return true;
}

void CProcmailrcSettings::EditedOutside()
{
    CProcmailrcFile().MarkForUpload();
    Prompt::Tell(
        QStringLiteral("The settings on the .procmailrc property page may be incorrect.  For example if you "
                       "manually changed the 'Verbose' setting, that check display may now be incorrect.  Be "
                       "sure to set the 'Verbose' mode and the 'Log File' selections to reflect any manual "
                       "changes you made to the file (if you modified any of those options manually).  The "
                       "advanced entries must also match any changes you may have made to those lines."),
        QStringLiteral("Warning!"), Prompt::Warning);
    m_openLogging = -1;
    m_openVerbose = -1;
}

void CProcmailrcSettings::offerReset()
{
    if (Prompt::Ask(QStringLiteral(
                        "There was an unexpected error while trying to update the .procmailrc file.  You "
                        "should create a new default .procmailrc file or, if you are an advanced user, edit "
                        "the file manually.\n\nIt's recommended that you reset the .procmailrc file now (hit "
                        "'Yes'), that will overwrite the existing file with the default .procmailrc file.  "
                        "Okay to reset the .procmailrc file now?"),
            QStringLiteral("Reset .procmailrc?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel)
        != Prompt::Yes)
        return;
    if (ResetToDefaults())
        Prompt::Tell(ResetDoneText, ResetDoneCaption, Prompt::Information);
}

CProcmailrcSettings::Outcome CProcmailrcSettings::Apply(
    bool logging, bool verbose, const QString& zephDir, const QString& mailDir)
{
    m_logging = logging;
    m_verbose = verbose;
    m_zephDir = zephDir;
    m_mailDir = mailDir;
    // Both directories also reach the host in FTP commands; an empty one would put the files at
    // the root of the host.
    for (const Field field : { Field::ZephDir, Field::MailDir }) {
        const QString& dir = field == Field::ZephDir ? zephDir : mailDir;
        if (!CRemoteHost::IsCommandSafe(dir)) {
            CRemoteHost::TellInvalidEntry();
            return { false, field };
        }
        if (dir.trimmed().isEmpty()) {
            Prompt::Tell(field == Field::ZephDir ? QStringLiteral("The ZEPH Directory must not be empty.")
                                                 : QStringLiteral("The Mail Directory must not be empty."),
                QStringLiteral("Invalid entry"), Prompt::Information);
            return { false, field };
        }
    }
    if (!m_logging && m_verbose) {
        switch (Prompt::Ask(
            QStringLiteral("You have selected to turn verbose on but haven't selected to turn logging on. "
                           "Without logging on, the verbose information will not be written to the log.  To "
                           "turn logging on hit 'Yes', to turn verbose off hit 'No'.\n\nOkay to turn logging "
                           "on?"),
            QStringLiteral("Turn logging on?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::Cancel)) {
        case Prompt::Yes:
            m_logging = true;
            break;
        case Prompt::No:
            m_verbose = false;
            break;
        default:
            return {};
        }
    }

    CProcmailrcFile file;
    QString error;
    bool ok = true;
    if (ok && (m_verbose ? 1 : 0) != m_openVerbose) {
        ok = file.SetVerbose(m_verbose, &error);
        if (ok) {
            SetSetting(Settings::VerboseOn, m_verbose ? 1 : 0);
            m_openVerbose = m_verbose ? 1 : 0;
            file.MarkForUpload();
        }
    }
    if (ok && (m_logging ? 1 : 0) != m_openLogging) {
        ok = file.SetLogging(m_logging, &error);
        if (ok) {
            SetSetting(Settings::LoggingOn, m_logging ? 1 : 0);
            m_openLogging = m_logging ? 1 : 0;
            file.MarkForUpload();
        }
    }
    if (ok && m_zephDir != m_openZephDir) {
        Prompt::Tell(QStringLiteral(
                         "You have modified the ZEPH Directory name.  It's your responsibility to be certain "
                         "that the directory exists on the remote host (you must also move any files that "
                         "were in the old directory to the new directory).  Either be sure the directory "
                         "exists or run the Initial Setup Wizard and it will create the directory if it "
                         "doesn't already exist.\n\nUnless you are an advanced user you should run the "
                         "Initial Setup Wizard now."),
            QStringLiteral("Warning!"), Prompt::Warning);
        ok = file.SetZephDir(m_zephDir, &error);
        if (ok) {
            SetSetting(Settings::ZephDir, m_zephDir);
            m_openZephDir = m_zephDir;
            file.MarkForUpload();
        }
    }
    if (ok && m_mailDir != m_openMailDir) {
        Prompt::Tell(QStringLiteral(
                         "You have modified the Mail Directory name.  It's your responsibility to be certain "
                         "that the directory exists on the remote host.  It is also your responsibility to "
                         "be certain that it contains a subdirectory named 'backup'.  Either be sure both "
                         "those directories exist or run the Initial Setup Wizard and it will create both "
                         "directories if they don't already exist.\n\nUnless you are an advanced user you "
                         "should run the Initial Setup Wizard now."),
            QStringLiteral("Warning!"), Prompt::Warning);
        ok = file.SetMailDir(m_mailDir, &error);
        if (ok) {
            SetSetting(Settings::MailDir, m_mailDir);
            m_openMailDir = m_mailDir;
            file.MarkForUpload();
        }
    }
    if (!ok) {
        // A file error is shown as such; a missing or doubled marker only leads to the reset.
        if (file.LastFailure() == CProcmailrcFile::Failure::FileError
            || file.LastFailure() == CProcmailrcFile::Failure::InvalidValue)
            tellFileError(error);
        offerReset();
        return {};
    }
    SetSetting(Settings::ProcmailrcAdvancedShown, m_advancedShown ? 1 : 0);
    return { true, Field::None };
}
