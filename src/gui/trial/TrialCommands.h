#pragma once

class IShell;

// Recipes > Try a Message, the shell's TryMessage that Position/Edit and the Recipe Wizard offer
// on the recipe file they are about to write, "Why did this land here?" of the log view, and the
// check of the recipe file before the pending files go up.
void InstallMessageTrial(IShell& shell);
