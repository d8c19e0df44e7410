#include "gui/recipes/RecipeListCommands.h"

#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/recipes/CRecipeListDlg.h"

void InstallRecipeList(IShell& shell)
{
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::PositionEdit, [target] { CRecipeListDlg::Run(*target); });
}
