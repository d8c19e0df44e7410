#pragma once

#include <QDialog>

class CHyperLink;
class CInitialSetup;
class QPlainTextEdit;
class QPushButton;

// "Setup Test": asks the user to mail themselves while the test .procmailrc is on the host, then
// checks the test log. Accepted when the log held the test line; every other way out offers to
// delete what the setup uploaded. Enter does nothing, so that no button is pressed by accident
// while the user comes back from the mail program; Esc is "Close".
class CSetupTestDlg : public QDialog
{
    Q_OBJECT

public:
    CSetupTestDlg(CInitialSetup& setup, QWidget* parent);

    QPlainTextEdit* TextBox() const { return m_text; }
    CHyperLink* Link() const { return m_link; }
    QPushButton* MailtoFailedButton() const { return m_mailtoFailed; }
    QPushButton* ReceivedButton() const { return m_received; }
    QPushButton* NotReceivedButton() const { return m_notReceived; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* CloseButton() const { return m_close; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void received();

    CInitialSetup& m_setup;
    QPlainTextEdit* m_text = nullptr;
    CHyperLink* m_link = nullptr;
    QPushButton* m_mailtoFailed = nullptr;
    QPushButton* m_received = nullptr;
    QPushButton* m_notReceived = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_close = nullptr;
};
