#include "gui/procmail/CISetupWizConnect.h"

#include "core/workspace/Workspace.h"
#include "gui/procmail/CSetupAdvancedDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CISetupWizConnect::CISetupWizConnect(QWidget* parent)
    : QWidget(parent)
{
    auto* text = new QLabel(
        QStringLiteral(
            "It's strongly recommended that you leave all entries listed below checked and simply click the "
            "'Connect' button.  ZEPH will then attempt to connect to your ISP and perform the operations "
            "listed "
            "below.  You should not deselect any entries unless you are an advanced user and are sure of the "
            "consequences."),
        this);
    text->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    for (QCheckBox*& box : m_options) {
        box = new QCheckBox(this);
        box->setChecked(true);
        layout->addWidget(box);
    }
    m_options[4]->setText(QStringLiteral("Upload a test .procmailrc file"));
    m_permissionText = new QLabel(this);
    m_permissionText->setObjectName(QStringLiteral("permissionText"));
    layout->addWidget(m_permissionText);
    m_connect = new QPushButton(QStringLiteral("Connect"), this);
    m_advanced = new QPushButton(QStringLiteral("Advanced"), this);
    m_connect->setAutoDefault(false);
    m_advanced->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addWidget(m_connect);
    row->addStretch();
    row->addWidget(m_advanced);
    layout->addLayout(row);
    layout->addStretch();
    connect(m_advanced, &QPushButton::clicked, this, &CISetupWizConnect::RunAdvanced);
}

void CISetupWizConnect::Activate()
{
    QString mail = Workspace::GetRemoteMailDir();
    while (mail.size() > 1 && mail.endsWith(QLatin1Char('/')))
        mail.chop(1);
    m_options[0]->setText(CInitialSetup::DirectoryLabel(mail));
    m_options[1]->setText(CInitialSetup::DirectoryLabel(mail + QStringLiteral("/backup")));
    m_options[2]->setText(CInitialSetup::DirectoryLabel(Workspace::GetRemoteZephDir()));
    const QString forward = CInitialSetup::ForwardName();
    m_options[3]->setText(QStringLiteral("Upload your %1 file").arg(forward));
    m_options[3]->setVisible(!forward.isEmpty());
    m_permissions = CInitialSetup::Permissions();
    m_permissionText->clear();
}

CInitialSetup::Options CISetupWizConnect::Options() const
{
    CInitialSetup::Options options;
    options.mailDir = m_options[0]->isChecked();
    options.backupDir = m_options[1]->isChecked();
    options.zephDir = m_options[2]->isChecked();
    options.forward = m_options[3]->isChecked();
    options.testProcmailrc = m_options[4]->isChecked();
    return options;
}

void CISetupWizConnect::RunAdvanced()
{
    CSetupAdvancedDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_permissions = dialog.Permissions();
    // The text keeps its CR LF line ends; a label wants plain line feeds.
    m_permissionText->setText(CInitialSetup::PermissionText(m_permissions).remove(QLatin1Char('\r')));
}
