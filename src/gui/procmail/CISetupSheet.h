#pragma once

#include "core/net/CRemoteHost.h"
#include "core/procmail/CInitialSetup.h"

#include <QDialog>

class CISetupWizConnect;
class CISetupWizMail;
class IShell;
class QLabel;
class QPushButton;
class QStackedWidget;

// The Initial Setup Wizard, caption "Setup": the mail page, then the connect page whose Connect
// runs the setup and its test. Accepted once the test found its line in the log; the sheet owns
// its remote connection. Without a shell (tests) "Modify Setup" and the Pending Files dialog do
// nothing.
class CISetupSheet : public QDialog
{
    Q_OBJECT

public:
    CISetupSheet(IShell* shell, QWidget* parent);

    CISetupWizMail* MailPage() const { return m_mail; }
    CISetupWizConnect* ConnectPage() const { return m_connect; }
    QLabel* PageTitle() const { return m_title; }
    QPushButton* BackButton() const { return m_back; }
    QPushButton* NextButton() const { return m_next; }
    QPushButton* FinishButton() const { return m_finish; }
    CInitialSetup& Setup() { return m_setup; }

    void Next();
    void Back();
    void Connect();

private:
    void showMailPage();
    void modifySetup();
    void alreadySetUp(bool checked);
    void viewLog(const QByteArray& log);

    IShell* m_shell;
    CRemoteHost m_host;
    CInitialSetup m_setup;
    QStackedWidget* m_pages = nullptr;
    CISetupWizMail* m_mail = nullptr;
    CISetupWizConnect* m_connect = nullptr;
    QLabel* m_title = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_finish = nullptr;
};
