#include "core/procmail/BackupTask.h"

#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/BackupRecipe.h"
#include "core/procmail/CTempRecipeTask.h"
#include "core/procmail/ReservedRecipe.h"
#include "core/recipes/CRecipeFile.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"
#include "core/workspace/Workspace.h"

namespace {

// MSGPREFIX as stored. A value that did not come through SetPrefix (an older or hand-edited data
// file) must not reach the shell on the host either.
bool storedPrefix(QByteArray* prefix)
{
    const QString value = GetSettingString(Settings::BackupDlgMsgPrefix);
    if (!BackupRecipe::IsValidPrefix(value)) {
        Prompt::Tell(
            BackupRecipe::InvalidPrefixText(), QStringLiteral("Invalid MSGPREFIX"), Prompt::Information);
        return false;
    }
    *prefix = value.toUtf8();
    return true;
}

void queueRecipeFile(const QString& recipeFile)
{
    AddPending(recipeFile, Workspace::GetRemoteZephDir() + QStringLiteral("/zeph.recipes"));
}

} // namespace

bool BackupTask::CheckSetup()
{
    if (GetSetting(Settings::SetupWizRun) != 0)
        return true;
    Prompt::Tell(QStringLiteral("You cannot perform this function until after you have run the Initial Setup "
                                "Wizard.  To do so, from the 'Tools' menu select 'Initial Setup'."),
        QStringLiteral("Setup not initialized"), Prompt::Information);
    return false;
}

BackupTask::Written BackupTask::AddRecipe(const QString& recipeFile, int selection, int count)
{
    if (count <= 0) {
        Prompt::Tell(
            QStringLiteral("You must enter a number greater than zero in the \"Number of messages to "
                           "save:\" box."),
            QStringLiteral("Invalid Number Entered"), Prompt::Information);
        return Written::Failed;
    }
    QByteArray prefix;
    if (!storedPrefix(&prefix))
        return Written::Failed;
    const Written written = ReservedRecipe::Write(recipeFile, BackupRecipe::Name(),
        BackupRecipe::BuildBlock(selection, count, prefix, GetSettingString(Settings::EmailAddress).toUtf8()),
        { QStringLiteral(
              "The updated backup recipe has been added the the file.  (The recipe name remains '%1'.)"),
            QStringLiteral(
                "To be consistent, this new recipe has been added to the end of your recipe file.  "
                "The recipe name is '%1'.  You should move this recipe toward the top of your "
                "recipe list.  For more information please see the help file under 'backing up "
                "your mail'.") });
    if (written == Written::Failed)
        return written;
    SetSetting(Settings::BackupDlgToCombo, selection);
    SetSetting(Settings::BackupDlgMsgNumber, count);
    queueRecipeFile(recipeFile);
    return written;
}

BackupTask::Deleted BackupTask::DeleteRecipe(const QString& recipeFile)
{
    CRecipeFile file(recipeFile);
    int begin = 0;
    int end = 0;
    const CRecipeFile::LocateResult found = file.Locate(BackupRecipe::Name(), &begin, &end);
    if (found == CRecipeFile::LocateError)
        return Deleted::Failed;
    if (found == CRecipeFile::LocateNotFound) {
        Prompt::Tell(
            QStringLiteral(
                "The Backup recipe was not found in the file %1.  Neither the 'Recipe Begin' nor the "
                "'Recipe End' makers were found.\n\nIf you are an advanced user and have edited the "
                "file manually, you may want to open the file as text and make sure the recipe has "
                "been deleted.")
                .arg(recipeFile),
            QStringLiteral("Recipe not found"), Prompt::Information);
        return Deleted::NotFound;
    }
    if (!file.DeleteRecipe(BackupRecipe::Name()))
        return Deleted::Failed;
    queueRecipeFile(recipeFile);
    return Deleted::Deleted;
}

bool BackupTask::ConfirmPrefixChange()
{
    const QString current = GetSettingString(Settings::BackupDlgMsgPrefix);
    return Prompt::Ask(
               QStringLiteral(
                   "The MSGPREFIX value is compiled into procmail and you should not modify it.  The default "
                   "compiled value is usually 'msg.'.  It's very unlikely that your ISP modified that value "
                   "before compiling procmail, you can verify the value by looking at the procmailrc man "
                   "page "
                   "(to view that from the 'Help' menu select 'Man Pages' then select 'procmailrc').  Search "
                   "for 'MSGPREFIX' and you will see it's value.\n\nIn the unlikely event 'MSGPREFIX' is not "
                   "'msg.' you need to tell ZEPH the correct value.  Note that changing MSGPREFIX here does "
                   "NOT change the value of MSGPREFIX known to procmail, it only tells ZEPH that the value "
                   "is "
                   "changed.\n\nYou should only modify this value if MSGPREFIX in the procmailrc man page is "
                   "NOT 'msg.' otherwise click 'No' or 'Cancel' now.  To notify ZEPH the value has been "
                   "changed, click 'Yes' and enter the value in the ensuing dialog.  Currently ZEPH (not "
                   "procmail) knows MSGPREFIX as '%1'.\n\nAre you sure you want to change the value of "
                   "MSGPREFIX?")
                   .arg(current),
               QStringLiteral("Modify MSGPREFIX?"), Prompt::Question,
               Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        == Prompt::Yes;
}

bool BackupTask::SetPrefix(const QString& prefix)
{
    if (!BackupRecipe::IsValidPrefix(prefix)) {
        Prompt::Tell(
            BackupRecipe::InvalidPrefixText(), QStringLiteral("Invalid MSGPREFIX"), Prompt::Information);
        return false;
    }
    SetSetting(Settings::BackupDlgMsgPrefix, prefix);
    Prompt::Tell(QStringLiteral(
                     "ZEPH (not necessarily procmail) now regards MSGPREFIX as '%1'.\n\nIf you are currently "
                     "using the backup recipe, you must update it now.  The syntax of the backup recipe must "
                     "be updated whenever you change MSGPREFIX.  To update the backup recipe click the "
                     "'Create/Modify Backup Recipe' button and on the ensuing dialog hit the 'Add Recipe' "
                     "button.")
                     .arg(prefix),
        QStringLiteral("MSGPREFIX updated"), Prompt::Information);
    return true;
}

bool BackupTask::Retrieve(
    CTempRecipeTask& task, const QByteArray& address, bool toDefault, const WaitForMail& waitForMail)
{
    QByteArray prefix;
    if (!CTempRecipeTask::CheckFromAddress(address) || !storedPrefix(&prefix))
        return false;
    const QByteArray recipe = BackupRecipe::BuildRetrievalRecipe(
        address, BackupRecipe::BackupDir(GetSettingString(Settings::MailDir)), prefix, toDefault);
    switch (task.Run(recipe, QStringList(), waitForMail)) {
    case CTempRecipeTask::Result::Succeeded:
        return true;
    case CTempRecipeTask::Result::NotStarted:
    case CTempRecipeTask::Result::Abandoned:
        return false;
    case CTempRecipeTask::Result::Failed:
        break;
    }
    Prompt::Tell(
        QStringLiteral(
            "It's possible that your 'From' address was incorrect so the temporary recipe didn't "
            "trigger.  If you think that may have been the cause, please adjust your 'From' address "
            "and hit the 'Connect' button again.\n\nIf you would like ZEPH to attempt to verify that "
            "your backup directory exists on the remote host and contains mail messages, hit the "
            "'Verify Backup Mail' button on the Backup Dialog."),
        QStringLiteral("Backup"), Prompt::Information);
    return false;
}
