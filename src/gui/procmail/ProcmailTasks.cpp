#include "gui/procmail/ProcmailTasks.h"

#include "core/common/Prompt.h"
#include "core/procmail/ManPageFiles.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/procmail/CDisableProcmailDlg.h"
#include "gui/procmail/CISetupSheet.h"
#include "gui/procmail/CManPgSheet.h"
#include "gui/procmail/CVacationDlg.h"

#include <QFileInfo>

namespace {

void runManPageSheet(IShell& shell, bool versionMode)
{
    if (GetSetting(Settings::SetupWizRun) == 0) {
        Prompt::Tell(
            QStringLiteral("You cannot retrieve this information until after you have run the Initial Setup "
                           "Wizard.  To do so, from the 'Tools' menu select 'Initial Setup'."),
            QStringLiteral("Setup not initialized"), Prompt::Information);
        return;
    }
    // The slot is written into the local .procmailrc: an open editor of it must not overwrite it later.
    if (!shell.CloseDocumentFor(Workspace::GetProcmailrcPath()))
        return;
    CManPgSheet sheet(
        versionMode, [&shell](const QString& path) { return shell.CloseDocumentFor(path); }, shell.Window());
    sheet.exec();
}

// A file with a local copy opens without connecting; otherwise the sheet fetches it.
void openOrFetch(IShell& shell, int item, bool versionMode)
{
    const QString path = ManPageFiles::LocalPath(item);
    if (QFileInfo::exists(path))
        shell.OpenDocument(path, DocumentKind::Text);
    else
        runManPageSheet(shell, versionMode);
}

void runInitialSetup(IShell& shell)
{
    // The setup may rewrite these files; an editor window must not keep an older text of one.
    for (const QString& path :
        { Workspace::GetForwardPath(), Workspace::GetQmailPath(), Workspace::GetProcmailrcPath() }) {
        if (!shell.CloseDocumentFor(path))
            return;
    }
    {
        CISetupSheet sheet(&shell, shell.Window());
        sheet.exec();
    }
    shell.UpdateCommandStates();
}

} // namespace

void InstallProcmailTasks(IShell& shell)
{
    IShell* target = &shell;
    const int pages[] = { Cmd::ManProcmail, Cmd::ManProcmailex, Cmd::ManProcmailrc, Cmd::ManProcmailsc,
        Cmd::ManFormail, Cmd::ManLockfile, Cmd::ManEgrep, Cmd::ManGrep, Cmd::ManSed, Cmd::ManSysexits };
    for (int i = 0; i < 10; ++i)
        shell.SetCommandHandler(pages[i], [target, i] { openOrFetch(*target, i + 1, false); });
    shell.SetCommandHandler(Cmd::ManUpdate, [target] { runManPageSheet(*target, false); });
    shell.SetCommandHandler(
        Cmd::VersionView, [target] { openOrFetch(*target, ManPageFiles::VersionItem, true); });
    shell.SetCommandHandler(Cmd::VersionUpdate, [target] { runManPageSheet(*target, true); });
    shell.SetCommandHandler(Cmd::InitialSetup, [target] { runInitialSetup(*target); });
    shell.SetCommandHandler(Cmd::DisableProcmail, [target] {
        CDisableProcmailDlg dialog(target->Window());
        dialog.exec();
    });
    shell.SetCommandHandler(Cmd::Vacation, [target] {
        CVacationDlg dialog(*target, target->Window());
        dialog.exec();
    });
    shell.SetReservedRecipeDialog(QStringLiteral("ZEPH_Vacation"),
        [target] { return CVacationDlg::RunRecipeDialog(*target, target->Window()); });
}
