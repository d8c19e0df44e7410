#pragma once

#include "core/net/CRemoteHost.h"
#include "core/procmail/CTempRecipeTask.h"
#include "gui/common/CWizardFrame.h"

class CManPgConnect;
class CManPgFiles;

// "Procmail man pages" (the file page, then the connect page) or "Procmail version" (the connect
// page only): fetches the files through the temporary recipe. Accepted when they came back. The
// sheet owns its remote connection.
class CManPgSheet : public CWizardFrame
{
    Q_OBJECT

public:
    CManPgSheet(bool versionMode, CTempRecipeTask::BeforeOverwrite beforeOverwrite, QWidget* parent);

    // How the send-message step runs; the desktop shows CManPgSendMsgDlg (tests replace it).
    void SetWaitForMail(CTempRecipeTask::WaitForMail wait) { m_wait = std::move(wait); }
    CTempRecipeTask& Task() { return m_task; }

    CManPgFiles* FilesPage() const { return m_files; }
    CManPgConnect* ConnectPage() const { return m_connect; }

    void Next();
    void Back();
    void Connect();

private:
    void showConnectPage();

    bool m_versionMode;
    QList<bool> m_selection;
    CRemoteHost m_host;
    CTempRecipeTask m_task;
    CTempRecipeTask::WaitForMail m_wait;
    CManPgFiles* m_files = nullptr;
    CManPgConnect* m_connect = nullptr;
};
