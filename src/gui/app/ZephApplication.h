#pragma once

#include <QString>

// Start-up and exit of the desktop program.
class ZephApplication
{
public:
    static int Run(int argc, char* argv[]);

    // The identity named on the raw command line ("Default" when none).
    static QString IdentityFromArguments(int argc, char* argv[]);
    // Writes the identity's settings back, asking to retry when that fails. False when given up.
    static bool SaveSettingsAtExit();
};
