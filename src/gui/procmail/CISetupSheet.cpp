#include "gui/procmail/CISetupSheet.h"

#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/procmail/CISetupWizConnect.h"
#include "gui/procmail/CISetupWizMail.h"
#include "gui/procmail/CSetupTestDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

CISetupSheet::CISetupSheet(IShell* shell, QWidget* parent)
    : QDialog(parent)
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

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("pageTitle"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_pages = new QStackedWidget(this);
    m_mail = new CISetupWizMail(m_pages);
    m_connect = new CISetupWizConnect(m_pages);
    m_pages->addWidget(m_mail);
    m_pages->addWidget(m_connect);

    m_back = new QPushButton(QStringLiteral("< &Back"), this);
    m_next = new QPushButton(QStringLiteral("&Next >"), this);
    m_finish = new QPushButton(QStringLiteral("Finish"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    for (QPushButton* b : { m_back, m_next, m_finish, cancel, help })
        b->setAutoDefault(false);
    connect(m_back, &QPushButton::clicked, this, &CISetupSheet::Back);
    connect(m_next, &QPushButton::clicked, this, &CISetupSheet::Next);
    connect(m_finish, &QPushButton::clicked, this, &CISetupSheet::accept);
    connect(cancel, &QPushButton::clicked, this, &CISetupSheet::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        ShowHelpTopic(this,
            m_pages->currentWidget() == m_mail ? QStringLiteral("iSetupWizOne.html")
                                               : QStringLiteral("iSetupWizTwo.html"));
    });
    connect(m_mail->ModifyButton(), &QPushButton::clicked, this, &CISetupSheet::modifySetup);
    connect(m_mail->AlreadySetUpBox(), &QCheckBox::toggled, this, &CISetupSheet::alreadySetUp);
    connect(m_connect->ConnectButton(), &QPushButton::clicked, this, &CISetupSheet::Connect);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : { m_back, m_next, m_finish, cancel, help })
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
    resize(620, 480);
    showMailPage();
}

void CISetupSheet::showMailPage()
{
    m_title->setText(QStringLiteral("Initial Setup"));
    m_pages->setCurrentWidget(m_mail);
    m_back->hide();
    // With settings missing the only way on is a Finish that reads "Next" and stays disabled.
    const bool complete = m_mail->Refresh();
    m_next->setVisible(complete);
    m_next->setEnabled(complete);
    m_finish->setVisible(!complete);
    m_finish->setEnabled(false);
    m_finish->setText(complete ? QStringLiteral("Finish") : QStringLiteral("&Next >"));
}

void CISetupSheet::Next()
{
    if (m_pages->currentWidget() != m_mail || !m_next->isEnabled())
        return;
    m_title->setText(QStringLiteral("Ready To Connect"));
    m_pages->setCurrentWidget(m_connect);
    m_connect->Activate();
    m_back->show();
    m_next->hide();
    m_finish->show();
    m_finish->setText(QStringLiteral("Finish"));
    m_finish->setEnabled(false);
}

void CISetupSheet::Back()
{
    if (m_pages->currentWidget() == m_connect)
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
    m_finish->setEnabled(true);
    m_setup.Complete();
    accept();
}

void CISetupSheet::viewLog(const QByteArray& log)
{
    CTextViewerDlg viewer(QString::fromUtf8(log), QStringLiteral("Test ZEPH Log"), this,
        QStringLiteral("Test ZEPH log file"), true, 1.0);
    viewer.exec();
}
