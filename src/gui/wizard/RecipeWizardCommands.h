#pragma once

#include <QString>

class IShell;

// Hooks the Recipe Wizard into the shell: Recipes > New Recipe and Import, File > Open of a
// ".zeph" file, and editing a recipe by name (the recipe list and the log view).
void InstallRecipeWizard(IShell& shell);

// The ways the wizard opens; each returns true when it ended with Finish.
namespace RecipeWizardCommands {

bool NewRecipe(IShell& shell);
// The reserved backup and vacation recipes never open in the wizard.
bool EditRecipe(IShell& shell, const QString& name, bool offerList);
// An empty path asks for the file first. The recipe is shown before the wizard opens.
bool ImportRecipe(IShell& shell, const QString& path);

} // namespace RecipeWizardCommands
