#pragma once

#include "core/net/CFtpClient.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The progress window of remote operations: a message, a bar, Cancel, and the FTP dialogue in a
// details pane that "Show Details >>" opens and closes. Only its own controls take input while
// it is shown.
class CFtpProgressDlg : public QDialog
{
    Q_OBJECT
public:
    CFtpProgressDlg(QWidget* parent, bool detailsAllowed);
    ~CFtpProgressDlg() override;

    void SetTitle(const QString& title, bool withPercent = false);
    void SetMessage(const QString& message);
    void SetPos(int percent);
    void AppendLog(const QString& line);
    bool IsCanceled() const { return m_canceled; }
    bool DetailsShown() const;
    QString MessageText() const;
    QPlainTextEdit* LogEdit() const { return m_log; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* DetailsButton() const { return m_details; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setExpanded(bool expanded);

    QLabel* m_message = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_details = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QString m_title;
    bool m_titleWithPercent = false;
    bool m_detailsAllowed = true;
    bool m_canceled = false;
};

// The window side of remote operations: the progress dialog, the password question and the
// question about a certificate that does not verify. Installed once at start-up; every
// CRemoteHost made afterwards shows them.
namespace RemoteHostUi {

void Install();
// The progress window of the operation that runs now, or null (for tests).
CFtpProgressDlg* CurrentProgressDialog();

} // namespace RemoteHostUi
