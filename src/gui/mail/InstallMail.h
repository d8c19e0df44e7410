#pragma once

class IShell;

// Connects "Send E-Mail Dialog" and "Check for Update". Once, after the shell exists.
void InstallMail(IShell& shell);
