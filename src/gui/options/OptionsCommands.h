#pragma once

class IShell;

// Adds the pages "Files", "Misc" and "Identities" to the Options sheet and hooks Tools > Options
// into the shell (a log list opens the same sheet with Apply). Once, after the shell exists.
void InstallOptions(IShell& shell);

// Adds the three pages only (InstallOptions does it).
void RegisterOptionPages();
