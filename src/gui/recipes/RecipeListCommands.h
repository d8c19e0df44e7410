#pragma once

class IShell;

// Hooks Recipes > Position/Edit (and so the button page's "Position/Edit Recipes") into the
// shell: the recipe list dialog.
void InstallRecipeList(IShell& shell);
