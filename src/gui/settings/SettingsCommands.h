#pragma once

class IShell;

// Hooks Tools > Settings (and so the button page's "Settings") into the shell: the Settings
// sheet with its FTP page first.
void InstallSettings(IShell& shell);
