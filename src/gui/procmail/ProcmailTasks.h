#pragma once

class IShell;

// Connects the Help menu's man pages and procmail version, Tools > Initial Setup, Tools > Disable
// Procmail and Recipes > Vacation (also for editing the vacation recipe by name). Once, after the
// shell exists.
void InstallProcmailTasks(IShell& shell);
