#include "gui/procmail/CISetupSheet.h"

#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/procmail/CISetupWizConnect.h"
#include "gui/procmail/CISetupWizMail.h"
#include "gui/procmail/CSetupTestDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>

CISetupSheet::CISetupSheet(IShell* shell, QWidget* parent)
    : CWizardFrame(parent)
    , m_shell(shell)
    , m_setup(m_host)
{
    setWindowTitle(QStringLiteral("Setup"));
    SetHelpTopic(this, QStringLiteral("iSetupWiz.html"));
    m_setup.SetShowPendingFiles([this] {
        if (m_shell)
            m_shell->RunCommand(Cmd::PendingFiles);
    });
    m_setup.SetViewLog([this](const QByteArray& log) { viewLog(log); });

    m_mail = new CISetupWizMail(Pages());
    m_connect = new CISetupWizConnect(Pages());
    Pages()->addWidget(m_mail);
    Pages()->addWidget(m_connect);

    connect(BackButton(), &QPushButton::clicked, this, &CISetupSheet::Back);
    connect(NextButton(), &QPushButton::clicked, this, &CISetupSheet::Next);
    connect(FinishButton(), &QPushButton::clicked, this, &CISetupSheet::accept);
    connect(HelpButton(), &QPushButton::clicked, this, [this] {
        ShowHelpTopic(this,
            Pages()->currentWidget() == m_mail ? QStringLiteral("iSetupWizOne.html")
                                               : QStringLiteral("iSetupWizTwo.html"));
    });
    connect(m_mail->ModifyButton(), &QPushButton::clicked, this, &CISetupSheet::modifySetup);
    connect(m_mail->AlreadySetUpBox(), &QCheckBox::toggled, this, &CISetupSheet::alreadySetUp);
    connect(m_connect->ConnectButton(), &QPushButton::clicked, this, &CISetupSheet::Connect);
    resize(620, 480);
    showMailPage();
}

void CISetupSheet::showMailPage()
{
    PageTitle()->setText(QStringLiteral("Initial Setup"));
    Pages()->setCurrentWidget(m_mail);
    BackButton()->hide();
    // With settings missing the only way on is a Finish that reads "Next" and stays disabled.
    const bool complete = m_mail->Refresh();
    NextButton()->setVisible(complete);
    NextButton()->setEnabled(complete);
    FinishButton()->setVisible(!complete);
    FinishButton()->setEnabled(false);
    FinishButton()->setText(complete ? QStringLiteral("Finish") : QStringLiteral("&Next >"));
}

void CISetupSheet::Next()
{
    if (Pages()->currentWidget() != m_mail || !NextButton()->isEnabled())
        return;
    PageTitle()->setText(QStringLiteral("Ready To Connect"));
    Pages()->setCurrentWidget(m_connect);
    m_connect->Activate();
    BackButton()->show();
    NextButton()->hide();
    FinishButton()->show();
    FinishButton()->setText(QStringLiteral("Finish"));
    FinishButton()->setEnabled(false);
}

void CISetupSheet::Back()
{
    if (Pages()->currentWidget() == m_connect)
        showMailPage();
}

void CISetupSheet::modifySetup()
{
    if (m_shell)
        m_shell->ShowSettingsSheet(QStringLiteral("Setup"), IShell::SettingsPage::Ftp, true);
    showMailPage();
}

void CISetupSheet::alreadySetUp(bool checked)
{
    if (!checked)
        return;
    if (!CInitialSetup::DeclareAlreadySetUp()) {
        const QSignalBlocker blocker(m_mail->AlreadySetUpBox());
        m_mail->AlreadySetUpBox()->setChecked(false);
        return;
    }
    reject();
}

void CISetupSheet::Connect()
{
    if (!m_setup.Connect(m_connect->Options(), m_connect->Permissions()))
        return;
    CSetupTestDlg test(m_setup, this);
    if (test.exec() != QDialog::Accepted)
        return;
    FinishButton()->setEnabled(true);
    m_setup.Complete();
    accept();
}

void CISetupSheet::viewLog(const QByteArray& log)
{
    CTextViewerDlg viewer(QString::fromUtf8(log), QStringLiteral("Test ZEPH Log"), this,
        QStringLiteral("Test ZEPH log file"), true, 1.0);
    viewer.exec();
}
