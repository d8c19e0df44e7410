#pragma once

#include "gui/common/CResizingDialog.h"

class CTrialResultView;
class CTrialWorker;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// "Try a Message": runs the recipes on a sample message with the local procmail and shows what
// they would do, without sending anything. The message is composed, pasted, or read from an .eml
// or mbox file. The run goes on its own thread; Stop forgets it and the window is free at once.
class CTryMessageDlg : public CResizingDialog
{
    Q_OBJECT

public:
    // `recipeText`: the recipe file as it would go up (it need not be saved yet).
    CTryMessageDlg(const QByteArray& recipeText, QWidget* parent);
    ~CTryMessageDlg() override;

    // The message the current source gives; false with the user told why.
    bool BuildMessage(QByteArray* message);
    // Starts a run with the current message; false when there is none to run.
    bool Try();
    void Stop();
    bool IsRunning() const;

    enum Source { Compose = 0, Paste = 1, File = 2 };
    QTabWidget* Sources() const { return m_sources; }
    QLineEdit* FromBox() const { return m_from; }
    QLineEdit* ToBox() const { return m_to; }
    QLineEdit* SubjectBox() const { return m_subject; }
    QPlainTextEdit* BodyBox() const { return m_body; }
    QPlainTextEdit* PasteBox() const { return m_pasted; }
    QLineEdit* FileBox() const { return m_file; }
    QPushButton* TryButton() const { return m_try; }
    QPushButton* StopButton() const { return m_stop; }
    QLabel* StatusLine() const { return m_status; }
    CTrialResultView* Result() const { return m_result; }

protected:
    void done(int result) override;

private:
    void browse();
    void setRunning(bool running);

    QByteArray m_recipeText;
    CTrialWorker* m_worker;

    QTabWidget* m_sources;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QLineEdit* m_subject;
    QPlainTextEdit* m_body;
    QPlainTextEdit* m_pasted;
    QLineEdit* m_file;
    QPushButton* m_try;
    QPushButton* m_stop;
    QLabel* m_status;
    CTrialResultView* m_result;
};
