#pragma once

class IShell;

// Connects Recipes > Backup and the backup recipe's own dialog for editing "ZEPH_Backup" by name.
// Once, after the shell exists.
void InstallBackup(IShell& shell);
