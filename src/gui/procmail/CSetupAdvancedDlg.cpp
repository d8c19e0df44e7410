#include "gui/procmail/CSetupAdvancedDlg.h"

#include "gui/common/Help.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString HelpTopic = QStringLiteral("iSetupWizAdvanced.html");

} // namespace

CSetupAdvancedDlg::CSetupAdvancedDlg(QWidget* parent)
    : QDialog(parent)
    , m_forwardName(CInitialSetup::ForwardName())
{
    setWindowTitle(QStringLiteral("Advanced Setup Options"));
    SetHelpTopic(this, HelpTopic);
    m_home = new QCheckBox(QStringLiteral("Set your $HOME directory permissions to rwx-----x"), this);
    m_procmailrc = new QCheckBox(QStringLiteral("Set your .procmailrc permissions to rw----r--"), this);
    m_forward
        = new QCheckBox(QStringLiteral("Set your %1 permissions to rw----r--").arg(m_forwardName), this);
    m_forward->setVisible(!m_forwardName.isEmpty());

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] { ShowHelpTopic(this, HelpTopic); });

    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* box : { m_home, m_procmailrc, m_forward })
        layout->addWidget(box);
    layout->addWidget(buttons);
}

CInitialSetup::Permissions CSetupAdvancedDlg::Permissions() const
{
    CInitialSetup::Permissions permissions;
    permissions.confirmed = true;
    permissions.home = m_home->isChecked();
    permissions.procmailrc = m_procmailrc->isChecked();
    const bool forward = !m_forwardName.isEmpty() && m_forward->isChecked();
    permissions.forward = forward && m_forwardName == QLatin1String(".forward");
    permissions.qmail = forward && m_forwardName == QLatin1String(".qmail");
    return permissions;
}
