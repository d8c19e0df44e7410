#pragma once

#include "core/net/CRemoteHost.h"
#include "core/procmail/CInitialSetup.h"
#include "gui/common/CWizardFrame.h"

class CISetupWizConnect;
class CISetupWizMail;
class IShell;

// The Initial Setup Wizard, caption "Setup": the mail page, then the connect page whose Connect
// runs the setup and its test. Accepted once the test found its line in the log; the sheet owns
// its remote connection. Without a shell (tests) "Modify Setup" and the Pending Files dialog do
// nothing.
class CISetupSheet : public CWizardFrame
{
    Q_OBJECT

public:
    CISetupSheet(IShell* shell, QWidget* parent);

    CISetupWizMail* MailPage() const { return m_mail; }
    CISetupWizConnect* ConnectPage() const { return m_connect; }
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
    CISetupWizMail* m_mail = nullptr;
    CISetupWizConnect* m_connect = nullptr;
};
