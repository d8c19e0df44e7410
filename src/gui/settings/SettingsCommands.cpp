#include "gui/settings/SettingsCommands.h"

#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/settings/CPropSheetSetup.h"

static_assert(int(IShell::SettingsPage::Ftp) == CPropSheetSetup::FtpPage
    && int(IShell::SettingsPage::Forward) == CPropSheetSetup::ForwardPage
    && int(IShell::SettingsPage::Misc) == CPropSheetSetup::MiscPage
    && int(IShell::SettingsPage::Procmailrc) == CPropSheetSetup::ProcmailrcPage);

void InstallSettings(IShell& shell)
{
    IShell* target = &shell;
    // The guided tasks open the sheet too, captioned "Setup", on their own page and with Apply.
    shell.SetSettingsSheet([target](const QString& caption, IShell::SettingsPage first, bool apply) {
        return CPropSheetSetup::Run(*target, caption, static_cast<int>(first), apply);
    });
    shell.SetCommandHandler(Cmd::Settings, [target] {
        target->ShowSettingsSheet(QStringLiteral("Settings"), IShell::SettingsPage::Ftp, false);
    });
}
