#pragma once

#include <QString>

class QWidget;

// The file-open, file-save and folder dialogs of the program, with a seam for tests: a queued
// answer is taken instead of showing the dialog (an empty answer stands for Cancel).
namespace FileDialogs {

// `filter` in Qt form, e.g. "Text files (*.txt);;All files (*)".
QString GetOpenFileName(
    QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
// Asks before overwriting an existing file.
QString GetSaveFileName(
    QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter);

// A folder chooser starting at `folder`; empty on Cancel.
QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& folder);

void QueueAnswer(const QString& path);
void ClearQueue();

} // namespace FileDialogs
