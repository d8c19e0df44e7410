#include "core/procmail/VacationTask.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/recipes/CRecipeFile.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"
#include "core/workspace/Workspace.h"

#include <QFile>

namespace {

QDate dayFromSetting(Settings::Key key)
{
    return QDate::fromString(GetSettingString(key), QStringLiteral("yyyy-MM-dd"));
}

QString dayText(const QDate& day)
{
    return day.isValid() ? day.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString remoteDir()
{
    return Workspace::GetRemoteZephDir() + QLatin1Char('/');
}

} // namespace

QString VacationTask::ReplyListRemotePath()
{
    return remoteDir() + QString::fromLatin1(VacationRecipe::ReplyListName());
}

VacationRecipe::Options VacationTask::OptionsFromSettings(const QString& responseFile)
{
    VacationRecipe::Options o;
    o.selection = GetSetting(Settings::VacationDlgToCombo);
    o.address = GetSettingString(Settings::EmailAddress).toUtf8();
    o.returnAddress = GetSettingString(Settings::ReturnEmailAddress).toUtf8();
    o.name = GetSettingString(Settings::PersonalName).toUtf8();
    o.localPath = responseFile.toUtf8();
    o.remoteName = VacationRecipe::RemoteName(responseFile).toUtf8();
    o.oldProcmail = GetSetting(Settings::VacationDlgOldVersion) != 0;
    o.firstDay = dayFromSetting(Settings::VacationDlgFirstDay);
    o.lastDay = dayFromSetting(Settings::VacationDlgLastDay);
    return o;
}

VacationTask::Written VacationTask::AddRecipe(const QString& recipeFile, const QString& responseFile,
    const VacationRecipe::Options& options, const MarkForUpload& markForUpload)
{
    const Written written = ReservedRecipe::Write(recipeFile, VacationRecipe::Name(),
        VacationRecipe::BuildBlock(options),
        { QStringLiteral(
              "The updated vacation recipe has been added the the file.  (The recipe name remains '%1'.)"),
            QStringLiteral("The new vacation recipe has been added to the end of your recipe file.  The "
                           "recipe name is '%1'.") });
    if (written == Written::Failed)
        return written;

    SetSetting(Settings::VacationDlgToCombo, options.selection);
    SetSetting(Settings::VacationDlgLastFilename, responseFile);
    SetSetting(Settings::VacationDlgOldVersion, options.oldProcmail ? 1 : 0);
    SetSetting(Settings::VacationDlgFirstDay, dayText(options.firstDay));
    SetSetting(Settings::VacationDlgLastDay, dayText(options.lastDay));
    markForUpload(recipeFile, remoteDir() + QStringLiteral("zeph.recipes"));
    markForUpload(responseFile, remoteDir() + QString::fromUtf8(options.remoteName));
    // Only procmail writes the list; recording it lets the remote files view offer its removal.
    CAppState::Instance().RemoteFiles().AddUpload(ReplyListRemotePath(), QStringLiteral("N.A."),
        COleDateTime::FromDateTime(Clock::Now()), COleDateTime(), -1);
    return written;
}

bool VacationTask::DeleteRecipe(const QString& recipeFile, const MarkForUpload& markForUpload)
{
    CRecipeFile file(recipeFile);
    int begin = 0;
    int end = 0;
    const CRecipeFile::LocateResult found = file.Locate(VacationRecipe::Name(), &begin, &end);
    if (found == CRecipeFile::LocateError)
        return false;
    if (found == CRecipeFile::LocateNotFound) {
        Prompt::Tell(
            QStringLiteral("The vacation recipe was not found in the file %1.  Neither the 'Recipe Begin' "
                           "nor the 'Recipe End' makers were found.\n\nIf you are an advanced user and "
                           "have edited the file manually, you may want to open the file as text and make "
                           "sure the recipe has been deleted.")
                .arg(recipeFile),
            QStringLiteral("Recipe not found"), Prompt::Information);
        return false;
    }
    if (!file.DeleteRecipe(VacationRecipe::Name()))
        return false;
    Prompt::Tell(QStringLiteral("The vacation recipe has been deleted from the recipe file."),
        QStringLiteral("Success"), Prompt::Information);
    markForUpload(recipeFile, remoteDir() + QStringLiteral("zeph.recipes"));
    return true;
}

bool VacationTask::ReadReplyList(CRemoteHost& host, QByteArray* text)
{
    const QString temp = Workspace::MakeTempFile();
    if (temp.isEmpty())
        return false;
    bool ok = host.Connect()
        && host.Transfer(temp, ReplyListRemotePath(), true, false, CRemoteHost::PassiveSetting() != 0);
    if (ok) {
        QFile file(temp);
        ok = file.open(QIODevice::ReadOnly);
        if (ok)
            *text = file.readAll();
        else
            Prompt::Tell(
                QStringLiteral("The downloaded file %1 cannot be read: %2").arg(temp, file.errorString()),
                QStringLiteral("Error"), Prompt::Stop);
    } else if (host.IsConnected()) {
        host.ShowResult();
    }
    QFile::remove(temp);
    host.Disconnect();
    return ok;
}

bool VacationTask::DeleteReplyList(CRemoteHost& host)
{
    if (!host.Connect())
        return false;
    const bool ok = host.DeleteFile(ReplyListRemotePath());
    host.ShowResult();
    host.Disconnect();
    return ok;
}
