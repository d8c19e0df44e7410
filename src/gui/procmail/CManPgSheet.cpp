#include "gui/procmail/CManPgSheet.h"

#include "core/common/Prompt.h"
#include "core/procmail/ManPageFiles.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"
#include "gui/procmail/CManPgConnect.h"
#include "gui/procmail/CManPgFiles.h"
#include "gui/procmail/CManPgSendMsgDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

CManPgSheet::CManPgSheet(bool versionMode, CTempRecipeTask::BeforeOverwrite beforeOverwrite, QWidget* parent)
    : CWizardFrame(parent)
    , m_versionMode(versionMode)
    , m_selection(ManPageFiles::Count, false)
    , m_task(m_host)
{
    m_task.SetBeforeOverwrite(std::move(beforeOverwrite));
    m_wait = [this](const QStringList& downloads) {
        CManPgSendMsgDlg dialog(m_task, downloads, this);
        return dialog.exec() == QDialog::Accepted;
    };
    setWindowTitle(versionMode ? QStringLiteral("Procmail version") : QStringLiteral("Procmail man pages"));
    SetHelpTopic(this, QStringLiteral("manPgOverview.html"));

    m_files = new CManPgFiles(Pages());
    m_connect = new CManPgConnect(Pages());
    Pages()->addWidget(m_files);
    Pages()->addWidget(m_connect);

    FinishButton()->setEnabled(false);
    connect(BackButton(), &QPushButton::clicked, this, &CManPgSheet::Back);
    connect(NextButton(), &QPushButton::clicked, this, &CManPgSheet::Next);
    connect(m_connect->ConnectButton(), &QPushButton::clicked, this, &CManPgSheet::Connect);
    connect(HelpButton(), &QPushButton::clicked, this, [this] {
        ShowHelpTopic(this,
            Pages()->currentWidget() == m_files ? QStringLiteral("manPgFiles.html")
                                                : QStringLiteral("manPgConnect.html"));
    });

    if (versionMode) {
        showConnectPage();
    } else {
        PageTitle()->setText(QStringLiteral("Select Manuals To Retrieve"));
        Pages()->setCurrentWidget(m_files);
        BackButton()->hide();
    }
}

void CManPgSheet::Next()
{
    m_selection = m_files->Selection();
    if (!m_selection.contains(true)) {
        Prompt::Tell(
            QStringLiteral("No files are selected.  Either select one or more files, or hit cancel."),
            QStringLiteral("No Files Selected"), Prompt::Information);
        return;
    }
    showConnectPage();
}

void CManPgSheet::Back()
{
    if (m_versionMode)
        return;
    PageTitle()->setText(QStringLiteral("Select Manuals To Retrieve"));
    Pages()->setCurrentWidget(m_files);
    BackButton()->hide();
    NextButton()->show();
}

void CManPgSheet::showConnectPage()
{
    const int count = m_versionMode ? 1 : int(m_selection.count(true));
    m_connect->SetTexts(m_versionMode, count);
    PageTitle()->setText(CManPgConnect::TabText(m_versionMode, count));
    Pages()->setCurrentWidget(m_connect);
    NextButton()->hide();
    BackButton()->setVisible(!m_versionMode);
    m_connect->AddressEdit()->setFocus();
}

void CManPgSheet::Connect()
{
    ManPageFiles::Request request;
    request.versionMode = m_versionMode;
    request.selected = m_selection;
    request.fromAddress = m_connect->AddressEdit()->text().trimmed().toUtf8();
    request.verbose = GetSetting(Settings::VerboseOn) != 0;
    request.logging = GetSetting(Settings::LoggingOn) != 0;
    const bool done = m_task.RunManPages(request, m_wait);
    m_host.Disconnect();
    if (done) {
        accept();
        return;
    }
    if (request.fromAddress.isEmpty())
        m_connect->AddressEdit()->setFocus();
}
