#pragma once

#include "core/common/Prompt.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// A Yes/No(/Cancel) question with a check box and a Help button. Yes and No write the check box
// back into the caller's value; Cancel leaves it alone. Kind YesNo hides "Cancel"; any other kind
// shows all buttons. Goes through Prompt, so tests answer it with Prompt::QueueAnswer and set the
// check box with QueueCheckState.
class CCheckQuestionDlg : public QDialog
{
    Q_OBJECT

public:
    enum Kind : int { YesNoCancel = 3, YesNo = 4 };

    // With checkOnCancel the check box is written back on Cancel too (a "don't show again" box
    // that counts whatever the answer).
    static Prompt::Button Ask(const QString& text, const QString& caption, const QString& checkText,
        bool* checkValue, QWidget* parent, const QString& helpTopic, int kind = YesNoCancel,
        bool checkOnCancel = false);
    // For tests: the check box state that goes with the next queued answer.
    static void QueueCheckState(bool checked);
    static void ClearQueuedCheckStates();

    CCheckQuestionDlg(const QString& text, const QString& caption, const QString& checkText, bool checkValue,
        QWidget* parent, const QString& helpTopic, int kind);
    bool Checked() const;
    Prompt::Button Result() const { return m_result; }

private:
    QCheckBox* m_check;
    Prompt::Button m_result = Prompt::Cancel;
};
