#pragma once

class IShell;

// Makes ".log" files open as log lists in `shell` and connects what a log list asks of it:
// opening files as text, the unparsed-data documents, the recipe file at a recipe, and the entry
// count in the status bar.
void RegisterLogViewer(IShell& shell);

// Adds the pages "Log files" and "Log colors" to the Options sheet (RegisterLogViewer does it).
void RegisterLogOptionPages();
