#pragma once

#include <QDialog>

class QPlainTextEdit;

// A read-only text window for entry details and recipe text; it remembers nothing and changes
// nothing.
class CLogTextViewer : public QDialog
{
    Q_OBJECT

public:
    CLogTextViewer(const QString& persistenceName, const QString& caption, const QString& text, bool wrapLines,
                   double growthFactor, QWidget* parent = nullptr);
    QString Text() const;

private:
    QPlainTextEdit* m_edit;
};
