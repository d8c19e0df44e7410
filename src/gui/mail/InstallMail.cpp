#include "gui/mail/InstallMail.h"

#include "core/settings/CAppState.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/mail/CSendMailDlg.h"
#include "gui/mail/CheckVersion.h"

void InstallMail(IShell& shell)
{
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::SendEmailDialog, [target] {
        // What the dialog shows comes from the identity's records; they are on disk first, as
        // before any other remote work.
        if (CAppState::Instance().DataLoaded())
            CAppState::Instance().SaveIdentityData();
        CSendMailDlg dialog(target->Window());
        dialog.exec();
    });
    shell.SetCommandHandler(Cmd::CheckForUpdate, [target] { CheckVersion(target->Window()); });
}
