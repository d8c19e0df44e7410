#pragma once

class IShell;

// Connects the Help menu's man pages and procmail version and Tools > Initial Setup and Disable Procmail.
// Once, after the shell exists.
void InstallProcmailTasks(IShell& shell);
