#pragma once

class IShell;

// Recipes > Try a Message, and the shell's TryMessage that Position/Edit and the Recipe Wizard
// offer on the recipe file they are about to write.
void InstallMessageTrial(IShell& shell);
