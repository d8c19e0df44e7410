#pragma once

class IShell;

// Recipes > Try a Message, the shell's TryMessage that Position/Edit and the Recipe Wizard offer
// on the recipe file they are about to write, and "Why did this land here?" of the log view.
void InstallMessageTrial(IShell& shell);
