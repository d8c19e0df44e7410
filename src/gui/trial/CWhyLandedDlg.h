#pragma once

#include "gui/common/CResizingDialog.h"
#include "gui/common/IShell.h"
#include "gui/trial/CTrialWorker.h"

class CTrialResultView;
class QLabel;

// "Why did this land here?": a message rebuilt from a log entry (the log holds no body) runs
// through the current recipes, and the window shows side by side what the log says happened and
// what the recipes would do now. Recipes that test the body show "Unknown".
class CWhyLandedDlg : public CResizingDialog
{
    Q_OBJECT

public:
    // Starts the run at once; `recipeText` is the recipe file as it is now.
    CWhyLandedDlg(const IShell::LoggedMail& mail, const QByteArray& recipeText, QWidget* parent);

    bool IsRunning() const { return m_worker->IsRunning(); }
    QLabel* Verdict() const { return m_verdict; }
    QLabel* LogSide() const { return m_logSide; }
    CTrialResultView* Result() const { return m_result; }

    // The sentence under both sides. `unknown`: some recipe tests the body.
    static QString VerdictText(
        const QString& loggedFolder, const CTrialWorker::Outcome& outcome, bool unknown);
    // Whether a folder the log names and one the run names are the same place: equal, or one a
    // path that ends in the other, or the system mailbox and the run's default "inbox"; a
    // maildir's message file name is not compared.
    static bool SameFolder(const QString& logged, const QString& now);

private:
    IShell::LoggedMail m_mail;
    CTrialWorker* m_worker;
    QLabel* m_logSide;
    QLabel* m_verdict;
    CTrialResultView* m_result;
};
