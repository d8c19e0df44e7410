#pragma once

#include "core/common/Prompt.h"

#include <QDialog>

class QPlainTextEdit;

// Shows an imported recipe (what it does, and its procmail text) before anything is written:
// "OK" goes on to the Recipe Wizard, "Cancel" stops the import.
class CImportPreviewDlg : public QDialog
{
    Q_OBJECT

public:
    // Asks through Prompt, so tests answer it in advance and read the text back.
    static Prompt::Button Ask(const QString& text, QWidget* parent);

    CImportPreviewDlg(const QString& text, QWidget* parent);
    QPlainTextEdit* TextBox() const { return m_text; }

    static QString Caption();

private:
    QPlainTextEdit* m_text;
};
