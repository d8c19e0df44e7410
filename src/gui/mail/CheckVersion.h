#pragma once

class QWidget;

// "Check for Update": fetches the version file on a worker while a working dialog offers Cancel,
// compares it with the program's own build and says what it found, offering the download page.
void CheckVersion(QWidget* parent);
