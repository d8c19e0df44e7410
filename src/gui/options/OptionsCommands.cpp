#include "gui/options/OptionsCommands.h"

#include "gui/common/COptPropSheet.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/options/COptFilesPropPg.h"
#include "gui/options/COptMiscPropPg.h"
#include "gui/options/COptUsersPropPg.h"

void RegisterOptionPages()
{
    COptPropSheet::RegisterPage(COptPropSheet::FilesPage, QStringLiteral("Files"), [](QWidget* parent) {
        auto* page = new COptFilesPropPg(parent);
        return COptPropSheet::Page { page,
            [page] {
                page->Apply();
                return true;
            },
            COptFilesPropPg::HelpTopic() };
    });
    COptPropSheet::RegisterPage(COptPropSheet::MiscPage, QStringLiteral("Misc"), [](QWidget* parent) {
        auto* page = new COptMiscPropPg(parent);
        return COptPropSheet::Page { page,
            [page] {
                page->Apply();
                return true;
            },
            COptMiscPropPg::HelpTopic() };
    });
    // Its actions take effect at once: nothing to store at OK.
    COptPropSheet::RegisterPage(
        COptPropSheet::IdentitiesPage, QStringLiteral("Identities"), [](QWidget* parent) {
            return COptPropSheet::Page { new COptUsersPropPg(parent), {}, COptUsersPropPg::HelpTopic() };
        });
}

void InstallOptions(IShell& shell)
{
    RegisterOptionPages();
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::Options, [target] {
        COptPropSheet sheet(QStringLiteral("Options"), target->Window(), COptPropSheet::LogFilesPage, false);
        sheet.exec();
        target->UpdateCommandStates();
    });
}
