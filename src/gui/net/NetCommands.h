#pragma once

#include <QString>

class CRemoteHost;
class IShell;

// The remote commands of the shell: the FTP dialog, the log download, the custom Upload and
// Download entries, the pending files, the customise dialogs, Disconnect, the Remote Files &
// Folders sheet and the question about pending files at exit. They share one connection that lives as long as
// the shell's window, so that a command which leaves it open (the disconnect settings) can be followed by
// another one or by Disconnect.
namespace NetCommands {

// Installs the progress window and password question, and connects every command. Once, after
// the shell exists.
void Install(IShell& shell);

// The shell's connection, or null before Install and after the shell's window is gone.
CRemoteHost* SharedHost();

// The commands, callable directly (tests run them with queued answers).
bool DownloadLog(IShell& shell);
void CustomTransfer(IShell& shell, bool upload, const QString& local, const QString& remote);
// The save question and the optional whitespace check, then the upload; on success the pair
// leaves the pending files and the upload is recorded.
bool UploadFile(IShell& shell, const QString& local, const QString& remote, bool whitespaceCheck);
// At exit: offers the pending files. Always lets the close go on; unsent files stay listed.
bool OfferPendingAtExit(IShell& shell);

} // namespace NetCommands
