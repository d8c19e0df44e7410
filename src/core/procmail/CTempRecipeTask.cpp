#include "core/procmail/CTempRecipeTask.h"

#include "core/common/AtomicFile.h"
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QFile>
#include <QScopeGuard>

#include <utility>

namespace {

const QString RemoteProcmailrc = QStringLiteral(".procmailrc");

const QString NotUploadedText = QStringLiteral("The original .procmailrc file has not been uploaded.  It "
                                               "will be in the list of pending files to upload, "
                                               "you should upload it when possible.");

bool hasControlCharacter(const QByteArray& text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

} // namespace

CTempRecipeTask::CTempRecipeTask(CRemoteHost& host, CProcmailrcFile file)
    : m_host(host)
    , m_file(std::move(file))
{
}

QString CTempRecipeTask::FileWord(const QStringList& names)
{
    return names.size() < 2 ? QStringLiteral("file") : QStringLiteral("files");
}

bool CTempRecipeTask::uploadProcmailrc(bool* transferFailed)
{
    // Connect tells the user itself why it failed; only a failed transfer is left to the caller.
    if (!m_host.Connect())
        return false;
    if (!m_host.Transfer(m_file.Path(), RemoteProcmailrc, false, false, CRemoteHost::PassiveSetting() != 0)) {
        if (transferFailed)
            *transferFailed = true;
        return false;
    }
    RemovePending(m_file.Path(), RemoteProcmailrc);
    CAppState::Instance().RemoteFiles().AddUpload(RemoteProcmailrc, m_file.Path(),
        COleDateTime::FromDateTime(Clock::Now()), CRemoteFilesFoldersMgr::LocalFileTime(m_file.Path()),
        CRemoteFilesFoldersMgr::UploadPermissions());
    return true;
}

void CTempRecipeTask::queueProcmailrcUpload()
{
    AddPending(m_file.Path(), RemoteProcmailrc);
    Prompt::Tell(NotUploadedText, QStringLiteral("Upload failed"), Prompt::Information);
}

CTempRecipeTask::Result CTempRecipeTask::Run(
    const QByteArray& recipe, const QStringList& downloads, const WaitForMail& waitForMail)
{
    if (!m_file.SetTempRecipe(recipe))
        return Result::NotStarted;
    bool transferFailed = false;
    const bool uploaded = uploadProcmailrc(&transferFailed);
    if (transferFailed)
        m_host.ShowResult();
    m_host.Disconnect();
    if (!uploaded) {
        // Back out at once: the host must not keep a recipe the user is never asked to trigger.
        if (m_file.SetTempRecipe(QByteArray())) {
            const bool restored = uploadProcmailrc();
            m_host.Disconnect();
            if (restored)
                Prompt::Tell(QStringLiteral("The original .procmailrc file has been uploaded."),
                    QStringLiteral(".procmailrc Uploaded"), Prompt::Information);
            else
                queueProcmailrcUpload();
        }
        return Result::NotStarted;
    }

    const bool received = waitForMail(downloads);
    m_host.Disconnect();
    if (!m_file.SetTempRecipe(QByteArray()))
        return Result::Abandoned;
    Prompt::Tell(QStringLiteral("ZEPH will now upload your original .procmailrc file."),
        QStringLiteral("Uploading .procmailrc"), Prompt::Information);
    if (uploadProcmailrc())
        m_host.ShowMessage();
    else
        queueProcmailrcUpload();
    m_host.Disconnect();
    return received ? Result::Succeeded : Result::Failed;
}

bool CTempRecipeTask::CheckFromAddress(const QByteArray& address)
{
    if (address.isEmpty()) {
        Prompt::Tell(QStringLiteral("Please put your email address in the appropriate box."),
            QStringLiteral("No Address specified!"), Prompt::Warning);
        return false;
    }
    // A line break would add lines of its own to the .procmailrc procmail runs.
    if (hasControlCharacter(address)) {
        Prompt::Tell(QStringLiteral("The 'From:' address must not contain a line break or another control "
                                    "character.  Please correct it."),
            QStringLiteral("Invalid address"), Prompt::Warning);
        return false;
    }
    return true;
}

bool CTempRecipeTask::RunManPages(const ManPageFiles::Request& request, const WaitForMail& waitForMail)
{
    if (!CheckFromAddress(request.fromAddress))
        return false;
    QStringList downloads;
    const QByteArray recipe = ManPageFiles::BuildRecipe(request, &downloads);
    switch (Run(recipe, downloads, waitForMail)) {
    case Result::NotStarted:
    case Result::Abandoned:
        return false;
    case Result::Succeeded:
        Prompt::Tell(
            QStringLiteral("The download has been completed.  Please click on the appropriate menu item "
                           "to view the downloaded file."),
            QStringLiteral("Download Complete"), Prompt::Information);
        return true;
    case Result::Failed:
        break;
    }
    Prompt::Tell(
        QStringLiteral(
            "The download failed, it's possible that your 'From' address was incorrect so the temporary "
            "recipe didn't trigger.  If you think that may have been the cause, please adjust your "
            "'From' address now and try again.  Otherwise please see the help file for more "
            "information and other possible causes for the failure."),
        QStringLiteral("Download failed"), Prompt::Information);
    return false;
}

bool CTempRecipeTask::MailReceived(const QStringList& downloads)
{
    const QString word = FileWord(downloads);
    Prompt::Tell(
        QStringLiteral("Your message should have triggered the creation of the appropriate %1 on the "
                       "remote host.  ZEPH will now attempt to download the %2 (after downloading, it "
                       "will also delete the %3 from the remote host).  If the download fails and the "
                       "response from the remote host is similar to 'No such file or directory', it's "
                       "likely the recipe didn't trigger because your 'From' address was incorrect.")
            .arg(word, word, word),
        QStringLiteral("Download to begin"), Prompt::Information);
    return DownloadAndDelete(downloads);
}

bool CTempRecipeTask::MailNotReceived(const QStringList& downloads)
{
    Prompt::Tell(
        QStringLiteral(
            "If you haven't received the message you sent to yourself within one minute or so it's "
            "possible your ISP is experiencing a temporary delay.  In any case, although we can't be "
            "sure the appropriate remote file(s) have been created it won't hurt to attempt to "
            "download them.\n\nZEPH will attempt to download (and delete from the remote host) the "
            "appropriate file(s). In the event it fails, it's recommended you try again at a later "
            "time (after verifying that your ISP is sending and delivering mail in a timely "
            "fashion)."),
        QStringLiteral("Download to begin"), Prompt::Information);
    return DownloadAndDelete(downloads);
}

bool CTempRecipeTask::CancelAsked(const QStringList& downloads)
{
    const Prompt::Button answer = Prompt::Ask(
        QStringLiteral(
            "If you have sent a mail message to yourself, it's possible the temporary recipe was "
            "triggered and one or more temporary files have been created on the remote host.  To be "
            "on the safe side, it's a good idea to have ZEPH attempt to delete those remote files (so "
            "they won't be taking up space on the remote host).  It's recommended you select 'Yes' "
            "to have ZEPH attempt to delete them now.\n\nWould you like ZEPH to attempt to delete any "
            "temporary files it may have created?"),
        QStringLiteral("Delete remote files?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel);
    if (answer == Prompt::Cancel)
        return false;
    if (answer == Prompt::Yes) {
        DeleteRemoteFiles(downloads);
        m_host.Disconnect();
        Prompt::Tell(QStringLiteral("Finished with attempted file deletion"), QStringLiteral("Finished"),
            Prompt::Information);
    }
    return true;
}

bool CTempRecipeTask::downloadOne(const QString& name)
{
    const QString target = Workspace::GetDocumentFolder() + name;
    if (m_beforeOverwrite && !m_beforeOverwrite(target)) {
        Prompt::Tell(QStringLiteral("The file %1 was not downloaded: its window stays open.").arg(target),
            QStringLiteral("Download canceled"), Prompt::Information);
        return false;
    }
    // Into a temporary file first: an empty or broken download must not replace the copy.
    const QString temporary = Workspace::MakeTempFile();
    if (temporary.isEmpty()) {
        Prompt::Tell(QStringLiteral("No temporary file could be created for the download of %1.").arg(name),
            QStringLiteral("File Error"), Prompt::Warning);
        return false;
    }
    const auto cleanUp = qScopeGuard([&temporary] { QFile::remove(temporary); });
    if (!m_host.Connect())
        return false;
    if (!m_host.Transfer(temporary, name, true, true, CRemoteHost::PassiveSetting() != 0)) {
        m_host.ShowResult();
        return false;
    }
    QFile file(temporary);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (bytes.isEmpty()) {
        Prompt::Tell(
            QStringLiteral("The file %1 downloaded from the remote host is empty.  The host may not have "
                           "that manual page or program.")
                .arg(name),
            QStringLiteral("Download Failed"), Prompt::Warning);
        return false;
    }
    QString error;
    if (!SaveFileAtomically(target, bytes, &error)) {
        Prompt::Tell(QStringLiteral("The file %1 could not be written: %2").arg(target, error),
            QStringLiteral("File Error"), Prompt::Warning);
        return false;
    }
    return true;
}

bool CTempRecipeTask::DownloadAndDelete(const QStringList& names)
{
    QString failed;
    for (const QString& name : names) {
        if (!downloadOne(name)) {
            failed = name;
            break;
        }
    }
    // A cancelled transfer ends the connection; the deletions connect again.
    DeleteRemoteFiles(names);
    m_host.Disconnect();
    if (failed.isEmpty())
        return true;
    Prompt::Tell(
        QStringLiteral("The attempt to download %1 failed.  If the response from the remote host (which "
                       "was just shown in the previous dialog) was similar to 'No such file or "
                       "directory', the most likely reason for the failure is the temporary recipe "
                       "wasn't triggered.  Double check that your 'From' address is correct.  See the "
                       "help file for more information.")
            .arg(failed),
        QStringLiteral("Download failed"), Prompt::Warning);
    return false;
}

void CTempRecipeTask::DeleteRemoteFiles(const QStringList& names)
{
    for (const QString& name : names) {
        if (!m_host.Connect())
            return;
        m_host.DeleteFile(name);
    }
}
