#include "gui/net/NetCommands.h"

#include "core/common/Clock.h"
#include "core/net/CRemoteHost.h"
#include "core/net/LogDownload.h"
#include "core/net/PendingFiles.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/net/CCustomizeMenuDlg.h"
#include "gui/net/CFtpDlg.h"
#include "gui/net/CFtpProgressDlg.h"
#include "gui/net/CPendingFilesDlg.h"
#include "gui/net/CRemoteFilesFoldersSheet.h"

#include <QPointer>

#include <memory>

namespace {

// Owned by the shell's window through its destroyed signal, so that the connection ends while
// the application still exists.
CRemoteHost* g_host = nullptr;

CRemoteHost& host()
{
    // Commands run only while the window exists, and Install made the host.
    return *g_host;
}

void disconnectIf(Settings::Key setting)
{
    if (GetSetting(setting) != 0)
        host().Disconnect();
    host().CloseProgress();
}

} // namespace

namespace NetCommands {

CRemoteHost* SharedHost()
{
    return g_host;
}

void Install(IShell& shell)
{
    RemoteHostUi::Install();
    delete g_host;
    g_host = new CRemoteHost;
    QObject::connect(shell.Window(), &QObject::destroyed, [] {
        delete g_host;
        g_host = nullptr;
        // The dialogs must not reach a shell that is gone.
        CCustomizeMenuDlg::SetMenusChangedHandler({});
    });
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::LogDownload, [target] { DownloadLog(*target); });
    shell.SetCommandHandler(Cmd::PendingFiles, [target] {
        SendPending(true, false, target->Window());
        target->UpdateCommandStates();
    });
    shell.SetCommandHandler(Cmd::CustomizeUploadMenu, [target] {
        CCustomizeMenuDlg dialog(true, target->Window());
        dialog.exec();
    });
    shell.SetCommandHandler(Cmd::CustomizeDownloadMenu, [target] {
        CCustomizeMenuDlg dialog(false, target->Window());
        dialog.exec();
    });
    shell.SetCommandHandler(
        Cmd::Disconnect, [] { host().Disconnect(); }, [] { return g_host && g_host->IsConnected(); });
    shell.SetCommandHandler(Cmd::FtpDialog, [target] {
        CFtpDlg dialog(target->Window(), target);
        dialog.exec();
        target->UpdateCommandStates();
    });
    shell.SetCommandDisabledTip(Cmd::Disconnect, QStringLiteral("ZEPH is not connected to the remote host"));
    shell.SetCommandHandler(Cmd::RemoteFilesFolders, [target] {
        CRemoteFilesFoldersSheet sheet(QStringLiteral("Remote Files and Folders"), target->Window());
        sheet.exec();
    });
    CCustomizeMenuDlg::SetMenusChangedHandler([target] { target->RebuildCustomMenus(); });
    shell.SetCustomTransferHandler([target](bool upload, const QString& local, const QString& remote) {
        CustomTransfer(*target, upload, local, remote);
    });
    shell.SetCloseHooks([target] { return OfferPendingAtExit(*target); },
        [] {
            if (g_host) {
                g_host->Disconnect();
                g_host->CloseProgress();
            }
        });
}

bool DownloadLog(IShell& shell)
{
    const QString localLog = Workspace::GetDocumentFolder() + QStringLiteral("zeph.log");
    // Unsaved edits of the local log are never thrown away by the download.
    if (!shell.CloseDocumentFor(localLog))
        return false;
    const bool ok = LogDownload::Run(host(), localLog);
    if (!ok) {
        // A failed step leaves the connection in an unknown state.
        host().Disconnect();
        host().CloseProgress();
        shell.UpdateCommandStates();
        return false;
    }
    disconnectIf(Settings::LogDisconnect);
    SetSettingTime(Settings::LogDownloadTime, Clock::Now());
    // The log view opens it when it is registered; otherwise it opens as text.
    shell.OpenDocument(localLog, DocumentKind::Log);
    shell.UpdateCommandStates();
    return true;
}

bool UploadFile(IShell& shell, const QString& local, const QString& remote, bool whitespaceCheck)
{
    if (!shell.PrepareUpload(local, whitespaceCheck))
        return false;
    CRemoteHost& remoteHost = host();
    if (!remoteHost.Connect())
        return false;
    if (!remoteHost.Transfer(local, remote, false, false, CRemoteHost::PassiveSetting() != 0)) {
        remoteHost.ShowResult();
        return false;
    }
    RemovePending(local, remote);
    CAppState::Instance().RemoteFiles().AddUpload(remote, local, COleDateTime::FromDateTime(Clock::Now()),
        CRemoteFilesFoldersMgr::LocalFileTime(local), CRemoteFilesFoldersMgr::UploadPermissions());
    remoteHost.ShowMessage();
    return true;
}

void CustomTransfer(IShell& shell, bool upload, const QString& local, const QString& remote)
{
    if (upload) {
        if (!UploadFile(shell, local, remote, GetSetting(Settings::BackslashSpaceWarning) != 0))
            host().Disconnect();
    } else if (shell.CloseDocumentFor(local)) {
        CRemoteHost& remoteHost = host();
        if (remoteHost.Connect()) {
            if (remoteHost.Transfer(local, remote, true, false, CRemoteHost::PassiveSetting() != 0)) {
                shell.OpenFile(local);
            } else {
                remoteHost.ShowResult();
                remoteHost.Disconnect();
            }
        }
    }
    disconnectIf(Settings::DisconnectAfterCustom);
    shell.UpdateCommandStates();
}

bool OfferPendingAtExit(IShell& shell)
{
    if (HasPending())
        SendPending(false, true, shell.Window());
    return true;
}

} // namespace NetCommands
