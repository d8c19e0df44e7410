#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

// The modeless Find window of a log list: text, match case, Find Next; no whole-word or
// direction choices, since the list is searched from the last match down and wraps.
class CLogFindDialog : public QDialog
{
    Q_OBJECT

public:
    CLogFindDialog(const QString& text, bool matchCase, QWidget* parent = nullptr);
    QString FindText() const;
    bool MatchCase() const;
    void SetFindText(const QString& text);
    void SetMatchCase(bool matchCase);

signals:
    void findNext();

private:
    QLineEdit* m_text;
    QCheckBox* m_matchCase;
};
