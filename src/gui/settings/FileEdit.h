#pragma once

#include <QString>

class QWidget;

// Opens a local file in the file editor dialog; true when the user changed it on disk (saved
// in the editor), judged by its time and its bytes.
bool EditLocalFile(const QString& path, QWidget* parent);
