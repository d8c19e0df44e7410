#include "core/procmail/CProcmailDisabler.h"

#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"

namespace {

const QString Procmailrc = QStringLiteral(".procmailrc");
const QString SetupCaption = QStringLiteral("Setup not initialized");
const QString SetupText
    = QStringLiteral("You cannot perform this function until after you have run the Initial "
                     "Setup Wizard.  To do so, from the 'Tools' menu select 'Initial Setup'.");

// The file that the Forward page's choice adds: .forward (0), .qmail (1) or none.
QString secondFile()
{
    switch (GetSetting(Settings::ForwardQmailRadio)) {
    case 0:
        return QStringLiteral(".forward");
    case 1:
        return QStringLiteral(".qmail");
    default:
        return QString();
    }
}

bool setupRun(const QString& text)
{
    if (GetSetting(Settings::SetupWizRun) != 0)
        return true;
    Prompt::Tell(text, SetupCaption, Prompt::Information);
    return false;
}

bool askYes(const QString& text, const QString& caption)
{
    return Prompt::Ask(text, caption, Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        == Prompt::Yes;
}

} // namespace

CProcmailDisabler::CProcmailDisabler(CRemoteHost& host)
    : m_host(host)
{
}

QStringList CProcmailDisabler::Files()
{
    QStringList files { Procmailrc };
    if (!secondFile().isEmpty())
        files << secondFile();
    return files;
}

bool CProcmailDisabler::renameOne(const QString& from, const QString& to)
{
    if (!m_host.Connect())
        return false;
    if (!m_host.Rename(from, to)) {
        m_host.ShowResult();
        return false;
    }
    CAppState::Instance().RemoteFiles().RenameFile(from, to);
    m_host.ShowMessage();
    return true;
}

bool CProcmailDisabler::Disable()
{
    if (!setupRun(SetupText
            + QStringLiteral(
                "  If you are trying to reverse changes made by a failed attempt with the Inital Setup "
                "Wizard, select the 'Delete all remote ZEPH procmail files' button.")))
        return false;
    const QString second = secondFile();
    QString question
        = QStringLiteral("This will disable all procmail mail processing by renaming the \"%1\" file "
                         "to \"%2\".  ")
              .arg(Procmailrc, DisabledName(Procmailrc));
    if (!second.isEmpty())
        question
            += QStringLiteral("ZEPH will also rename \"%1\" to \"%2\".  ").arg(second, DisabledName(second));
    question += second.isEmpty()
        ? QStringLiteral(
            "With that file renamed (or if it has been previously deleted) procmail will not filter "
            "your mail.\n\nIf the rename attempt fails")
        : QStringLiteral(
            "With those files renamed (or if they have been previously deleted) procmail will not "
            "filter your mail.\n\nIf one or both of the rename attempts fail");
    question += QStringLiteral(
        " and the host response is similar to \"No such file or directory\", that "
        "accomplishes the same thing as a rename would - i.e. if the file doesn't exist, it "
        "means procmail can't use it to process your mail.\n\nAre you sure you want to "
        "disable Procmail?");
    if (!askYes(question, QStringLiteral("Okay to disable Procmail?")))
        return false;
    return renameAll(true);
}

bool CProcmailDisabler::Enable()
{
    if (!setupRun(SetupText))
        return false;
    const QString second = secondFile();
    QString question
        = QStringLiteral("ZEPH assumes you have previously renamed the appropriate files to temporarily "
                         "disable procmail and now want to reverse those changes.  This will attempt to "
                         "re-enable procmail mail processing by renaming the \"%1\" file to \"%2\".  ")
              .arg(DisabledName(Procmailrc), Procmailrc);
    if (!second.isEmpty())
        question += QStringLiteral("ZEPH will also attempt to rename \"%1\" to \"%2\".  ")
                        .arg(DisabledName(second), second);
    question += second.isEmpty()
        ? QStringLiteral("With that file renamed procmail should begin refiltering your "
                         "mail.\n\nIf the rename attempt fails")
        : QStringLiteral("With those files renamed procmail should begin refiltering your "
                         "mail.\n\nIf one or both of the rename attempts fail");
    question
        += QStringLiteral(" please run the Initial Setup Wizard again.\n\nAre you sure you want to re-enable "
                          "procmail?");
    if (!askYes(question, QStringLiteral("Okay to re-enable Procmail?")))
        return false;
    return renameAll(false);
}

bool CProcmailDisabler::renameAll(bool disable)
{
    if (!m_host.Connect())
        return false;
    const QString second = secondFile();
    const auto rename = [&](const QString& name) {
        return disable ? renameOne(name, DisabledName(name)) : renameOne(DisabledName(name), name);
    };
    // The second rename is tried whatever became of the first.
    const bool first = rename(Procmailrc);
    const bool other = second.isEmpty() || rename(second);
    m_host.Disconnect();
    if (first && other) {
        Prompt::Tell(disable
                ? QStringLiteral(
                    "Procmail filtering has been disabled.  You can restart mail filtering by using any "
                    "of the following 3 methods:\n1. Run the setup wizard again.\n2. On the Disable "
                    "Procmail Dialog, click on the \"Re-enable procmail\" button.\n3. From the "
                    "\"Tools\" menu select \"Remote Files\" and rename the files back to their original "
                    "names.\n\nFor more information please consult the help file.")
                : QStringLiteral(
                    "Procmail filtering should be re-enabled.  You may want to send a test message to "
                    "yourself and check the log file to verify it's working properly.  Or you could "
                    "run the Initial Setup Wizard again which will verify that procmail is working "
                    "correctly.  For more information please consult the help file."),
            QStringLiteral("Renamed"), Prompt::Information);
        return true;
    }

    QString report;
    bool both = false;
    if (first) {
        report = QStringLiteral("The %1 file was not renamed.").arg(second);
    } else if (!other) {
        both = true;
        report = QStringLiteral("Neither the .procmailrc file nor the %1 files were renamed.").arg(second);
        if (disable)
            report += QStringLiteral("  It's possible procmail is still filtering your mail.");
    } else {
        report = QStringLiteral("The .procmailrc file was not renamed.");
        if (disable)
            report += QStringLiteral("  It's possible procmail is still filtering your mail.");
    }
    if (disable) {
        const QString word = both ? QStringLiteral("files") : QStringLiteral("file");
        report += QStringLiteral(
            "  If the last response from the remote host was similar to \"No such file or "
            "directory\", that accomplishes the same thing as a rename would - i.e. if the "
            "file doesn't exist, it means procmail can't use it to process your "
            "mail.\n\nOtherwise please try one or more of the following:\n1. Try to rename the "
            "%1 again (hit the \"Temporarily disable procmail\" button again).\n2. From the "
            "\"Tools\" menu select \"Remote Files\" and rename or delete the appropriate %2.\n3. "
            "From the \"Tools\" menu select \"FTP Dialog\" and rename or delete the appropriate "
            "%3.\n\nFor more information please consult the help file.")
                      .arg(word, word, word);
    } else {
        report += QStringLiteral(
            "  Procmail may not be filtering your mail.  If the last response from the remote "
            "host was similar to \"No such file or directory\", it's possible the file was "
            "already renamed and procmail is filtering your mail.  There are a couple of "
            "options:\n1. From the \"Tools\" menu select \"FTP Dialog\" and see if the files "
            "exist on the remote host.\n2. Run the Initial Setup Wizard.\n\nFor more "
            "information please consult the help file.");
    }
    Prompt::Tell(report, QStringLiteral("Rename failed"), Prompt::Warning);
    return false;
}

bool CProcmailDisabler::deleteOne(const QString& name)
{
    if (!m_host.Connect())
        return false;
    if (!m_host.DeleteFile(name)) {
        m_host.ShowResult();
        return false;
    }
    m_host.ShowMessage();
    CAppState::Instance().RemoteFiles().ForgetFile(name);
    return true;
}

void CProcmailDisabler::askAndDelete(const QString& name, const QString& question)
{
    const QString text
        = question.isEmpty() ? QStringLiteral("Okay to delete the %1 file?").arg(name) : question;
    if (Prompt::Ask(text, QStringLiteral("Okay to delete file?"), Prompt::Question, Prompt::Yes | Prompt::No)
        == Prompt::Yes)
        deleteOne(name);
}

void CProcmailDisabler::DeleteAll()
{
    QStringList listed;
    CAppState::Instance().RemoteFiles().RemoteNames(&listed);
    const QString second = secondFile();
    if (!listed.isEmpty()) {
        if (!askYes(QStringLiteral(
                        "This will delete all files on the remote host that are listed in the Remote "
                        "Files Dialog.  Those are files that were uploaded by the Initial Setup Wizard "
                        "and any files that were uploaded via the Pending Files Dialog.  There are "
                        "currently %1 files in the list.  If you are an advanced user and uploaded files "
                        "via the FTP dialog or via custom menu commands, you are responsible for deleting "
                        "those files.  You will be prompted for each file.\n\nAre you sure you want to "
                        "delete all remote files?")
                        .arg(listed.size()),
                QStringLiteral("Okay to delete files?")))
            return;
        if (!m_host.Connect())
            return;
        for (const QString& name : std::as_const(listed))
            askAndDelete(name);
        const QString notListed = QStringLiteral("Although the %1 file was not listed in the Remote Files "
                                                 "Dialog, to be on the safe side it's recommened "
                                                 "that you have ZEPH attempt to delete the file anyway.  Is "
                                                 "it okay to attempt to delete the %2 file?");
        for (const QString& name : Files()) {
            if (!listed.contains(name))
                askAndDelete(name, notListed.arg(name, name));
        }
        m_host.Disconnect();
        return;
    }
    if (!second.isEmpty()) {
        if (!askYes(QStringLiteral(
                        "There were no files listed in the Remote Files Dialog.  It's recommended that "
                        "you have ZEPH attempt to delete the remote files %1 and %2 just to be "
                        "safe.\n\nWould you like to delete the files %3 and %4?  (If you select 'Yes' you "
                        "will be prompted for each file.)")
                        .arg(Procmailrc, second, Procmailrc, second),
                QStringLiteral("Okay to delete?")))
            return;
        askAndDelete(Procmailrc);
        askAndDelete(second);
    } else {
        if (!askYes(QStringLiteral(
                        "There were no files listed in the Remote Files Dialog.  It's recommended that "
                        "you have ZEPH attempt to delete the remote file %1 just to be safe.\n\nWould you "
                        "like to delete the %2 file?")
                        .arg(Procmailrc, Procmailrc),
                QStringLiteral("Okay to delete?")))
            return;
        deleteOne(Procmailrc);
    }
    m_host.Disconnect();
}
