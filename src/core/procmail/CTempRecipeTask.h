#pragma once

#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/ManPageFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class CRemoteHost;

// A guided task on the temporary recipe: the recipe goes into the slot of the local .procmailrc
// and up to the host, the user mails themselves so that procmail runs it, the files it wrote are
// downloaded into the Document Folder and deleted on the host, and the .procmailrc without the
// recipe goes up again. Every step tells the user what happened; the remote connection is the
// caller's (one per dialog).
class CTempRecipeTask
{
public:
    explicit CTempRecipeTask(CRemoteHost& host, CProcmailrcFile file = CProcmailrcFile());

    // Before a downloaded file replaces its local copy: false keeps the copy (the desktop closes
    // the copy's editor window here, asking to save it).
    using BeforeOverwrite = std::function<bool(const QString& localPath)>;
    void SetBeforeOverwrite(BeforeOverwrite check) { m_beforeOverwrite = std::move(check); }

    enum class Result {
        NotStarted, // the recipe never reached the host (or the local file could not take it)
        Succeeded, // the user's message came and the files were downloaded
        Failed, // the recipe was on the host, but the files did not come back
        Abandoned, // the recipe could not be taken out of the local file again (a reset was offered)
    };
    // Runs the whole task. `waitForMail` asks the user to mail themselves (the send-message dialog,
    // whose buttons call MailReceived, MailNotReceived and CancelAsked) and says whether the files
    // came back. The host ends with the .procmailrc without the recipe, or it waits in the pending
    // files and the user is told.
    using WaitForMail = std::function<bool(const QStringList& downloads)>;
    Result Run(const QByteArray& recipe, const QStringList& downloads, const WaitForMail& waitForMail);

    // The "From:" address of a temporary recipe: not empty and without control characters, or
    // the user is told and false comes back.
    static bool CheckFromAddress(const QByteArray& address);

    // The man-page / version task: checks the address, builds the recipe and runs it, then says
    // how it ended. True when the files came back.
    bool RunManPages(const ManPageFiles::Request& request, const WaitForMail& waitForMail);

    // The buttons of the send-message dialog; each returns whether the files came back.
    bool MailReceived(const QStringList& downloads);
    bool MailNotReceived(const QStringList& downloads);
    // Cancel asks whether to delete what the recipe may have made; false when the user chose to
    // stay in the dialog.
    bool CancelAsked(const QStringList& downloads);

    // Downloads each name into the Document Folder (stopping at the first failure; an empty file
    // counts as one, since a missing manual page leaves one behind), then deletes every name on
    // the host whatever happened. True when all arrived.
    bool DownloadAndDelete(const QStringList& names);
    // Deletes the names on the host; failures are ignored (the files may never have been made).
    void DeleteRemoteFiles(const QStringList& names);

    // "file" or "files" for the download list.
    static QString FileWord(const QStringList& names);

private:
    // Connects, uploads the local .procmailrc as ".procmailrc" and records it. `transferFailed`
    // is set when the connection stood and the transfer failed (its error is still to be shown).
    bool uploadProcmailrc(bool* transferFailed = nullptr);
    bool downloadOne(const QString& name);
    void queueProcmailrcUpload();

    CRemoteHost& m_host;
    CProcmailrcFile m_file;
    BeforeOverwrite m_beforeOverwrite;
};
