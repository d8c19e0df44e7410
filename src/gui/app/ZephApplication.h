#pragma once

#include <QString>

class IShell;
class MainWindow;

// Start-up and exit of the desktop program.
class ZephApplication
{
public:
    static int Run(int argc, char* argv[]);

    // The identity named on the raw command line ("Default" when none).
    static QString IdentityFromArguments(int argc, char* argv[]);

    // Wires every feature into the shell: the text editor, the log viewer, the remote commands.
    // The only place that knows them; a new feature adds its install call here.
    static void InstallFeatures(IShell& shell);

    // The start-up steps that follow the creation of the main window: start-up documents, the
    // working folder, the bar layout, the two warnings, the first-run flag and, when `withTip`,
    // the tip of the day. The window is shown by the caller.
    static void RunStartupSteps(MainWindow& window, bool withTip);
    // The log warning and the setup-files warning on their own (tests run them with a set clock).
    static void LogWarning(MainWindow& window);
    static void SetupFilesWarning(MainWindow& window);
};
