#pragma once

class MainWindow;

// The commands the main window performs itself: new, open, close and save of documents, exit,
// the bars, the window arrangement, help and about. Once, when the window is made.
void InstallFrameCommands(MainWindow& window);
