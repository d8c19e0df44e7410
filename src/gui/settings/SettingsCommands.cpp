#include "gui/settings/SettingsCommands.h"

#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/settings/CPropSheetSetup.h"

void InstallSettings(IShell& shell)
{
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::Settings,
        [target] { CPropSheetSetup::Run(*target, QStringLiteral("Settings"), CPropSheetSetup::FtpPage); });
}
