#pragma once

#include "gui/common/CResizingDialog.h"

class QPlainTextEdit;

// A read-only window that shows a text, remembering its size under its persistence name.
class CTextViewerDlg : public CResizingDialog
{
    Q_OBJECT

public:
    CTextViewerDlg(const QString& text, const QString& persistenceName, QWidget* parent,
        const QString& caption, bool noWrap, double growth);

    QPlainTextEdit* TextBox() const { return m_text; }

private:
    QPlainTextEdit* m_text;
};
