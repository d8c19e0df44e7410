#pragma once

#include "gui/app/MainWindow.h"

// The main window with the text editor hooked in, as the program has it before the log viewer
// and the remote commands hook in; a test adds those it needs.
class MainWindowWithEditor : public MainWindow
{
public:
    MainWindowWithEditor();
};
