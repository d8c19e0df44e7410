#pragma once

class MainWindow;

// Makes ".log" files open as log lists in `window` and connects what a log list asks of the
// main window: opening files as text, the unparsed-data documents, the recipe file at a recipe,
// and the entry count in the status bar.
void RegisterLogViewer(MainWindow& window);
