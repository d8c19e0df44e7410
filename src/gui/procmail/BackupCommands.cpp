#include "gui/procmail/BackupCommands.h"

#include "core/procmail/BackupRecipe.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/procmail/CBackupDlg.h"
#include "gui/procmail/CBackupRecipeDlg.h"

void InstallBackup(IShell& shell)
{
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::Backup, [target] {
        CBackupDlg dialog(*target, target->Window());
        dialog.exec();
    });
    shell.SetReservedRecipeDialog(QString::fromLatin1(BackupRecipe::Name()),
        [target] { return CBackupRecipeDlg::Run(*target, target->Window()); });
}
