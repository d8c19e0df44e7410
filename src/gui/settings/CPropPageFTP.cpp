#include "gui/settings/CPropPageFTP.h"

#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/FtpPassword.h"
#include "core/net/SavedPassword.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

CPropPageFTP::CPropPageFTP(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PropPageFTP"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_host = new QLineEdit(this);
    m_user = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("FTP &Hostname:"), m_host);
    form->addRow(QStringLiteral("&User Name:"), m_user);
    form->addRow(QStringLiteral("&Password:"), m_password);
    layout->addLayout(form);
    m_savePassword = new QCheckBox(QStringLiteral("&Save Password"), this);
    layout->addWidget(m_savePassword);
    m_passwordStore = new QLabel(SavedPassword::StoreInUse(), this);
    m_passwordStore->setWordWrap(true);
    layout->addWidget(m_passwordStore);
    m_advancedButton = new QPushButton(QStringLiteral("Show advanced >>"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_advancedButton);
    row->addStretch();
    layout->addLayout(row);

    m_advanced = new QGroupBox(QStringLiteral("Advanced"), this);
    auto* advanced = new QFormLayout(m_advanced);
    m_log = new QCheckBox(QStringLiteral("&Log FTP sessions"), m_advanced);
    m_passive = new QCheckBox(QStringLiteral("P&assive mode (off by default)"), m_advanced);
    m_tls = new QComboBox(m_advanced);
    m_tls->setObjectName(QStringLiteral("tls"));
    m_tls->addItems({ QStringLiteral("None (plain FTP: password and files readable on the way)"),
        QStringLiteral("Explicit TLS (AUTH TLS, usually port 21)"),
        QStringLiteral("Implicit TLS (usually port 990)") });
    m_port = new QLineEdit(m_advanced);
    m_port->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), m_port));
    m_port->setPlaceholderText(QStringLiteral("21 is default port"));
    m_port->setToolTip(QStringLiteral("21 is default port"));
    m_initialDir = new QLineEdit(m_advanced);
    advanced->addRow(m_log);
    advanced->addRow(m_passive);
    advanced->addRow(QStringLiteral("&Secure connection:"), m_tls);
    advanced->addRow(QStringLiteral("P&ort:"), m_port);
    advanced->addRow(QStringLiteral("&cd to $HOME:"), m_initialDir);
    layout->addWidget(m_advanced);
    layout->addStretch();

    m_host->setText(GetSettingString(Settings::Host));
    m_loadedUser = GetSettingString(Settings::UserName);
    m_user->setText(m_loadedUser);
    m_savePassword->setChecked(GetSetting(Settings::SaveFtpPassword) != 0);
    if (m_savePassword->isChecked())
        m_password->setText(FtpPassword::Load());
    m_log->setChecked(GetSetting(Settings::LogFtpSessions) != 0);
    m_passive->setChecked(GetSetting(Settings::PasvMode) != 0);
    m_tls->setCurrentIndex(std::clamp(GetSetting(Settings::FtpTls), 0, 2));
    m_port->setText(QString::number(GetSetting(Settings::Port)));
    m_initialDir->setText(GetSettingString(Settings::InitialDir));
    showAdvanced(GetSetting(Settings::FtpAdvancedShown) != 0);

    connect(m_password, &QLineEdit::textEdited, this, [this] { m_passwordEdited = true; });
    connect(m_advancedButton, &QPushButton::clicked, this, [this] { showAdvanced(!m_advancedShown); });
    SetHelpTopic(this, QStringLiteral("settingsFTP.html"));
}

void CPropPageFTP::showAdvanced(bool shown)
{
    m_advancedShown = shown;
    m_advanced->setVisible(shown);
    m_advancedButton->setText(
        shown ? QStringLiteral("<< Hide advanced") : QStringLiteral("Show advanced >>"));
}

QString CPropPageFTP::CurrentUserName() const
{
    return m_user->text();
}

bool CPropPageFTP::OnOK()
{
    // Each of these values goes into an FTP command.
    for (QLineEdit* edit : { m_host, m_user, m_password, m_initialDir }) {
        if (!CRemoteHost::IsCommandSafe(edit->text())) {
            CRemoteHost::TellInvalidEntry();
            edit->setFocus();
            edit->selectAll();
            return false;
        }
    }
    bool portOk = false;
    int port = m_port->text().toInt(&portOk);
    if (!portOk || port <= 0 || port > 65535)
        port = 21;
    SetSetting(Settings::Host, m_host->text().trimmed());
    SetSetting(Settings::UserName, m_user->text());
    SetSetting(Settings::SaveFtpPassword, m_savePassword->isChecked() ? 1 : 0);
    SetSetting(Settings::LogFtpSessions, m_log->isChecked() ? 1 : 0);
    SetSetting(Settings::PasvMode, m_passive->isChecked() ? 1 : 0);
    SetSetting(Settings::FtpTls, m_tls->currentIndex());
    SetSetting(Settings::Port, port);
    SetSetting(Settings::InitialDir, m_initialDir->text());
    SetSetting(Settings::FtpAdvancedShown, m_advancedShown ? 1 : 0);
    if (!m_savePassword->isChecked()) {
        FtpPassword::Delete();
    } else if (m_passwordEdited) {
        if (m_password->text().isEmpty()) {
            FtpPassword::Delete();
        } else {
            QString error;
            if (!FtpPassword::Save(m_password->text(), &error))
                Prompt::Tell(QStringLiteral("The password could not be saved.\n\n%1").arg(error),
                    QStringLiteral("Password not saved"), Prompt::Warning);
        }
    }
    m_loadedUser = m_user->text();
    return true;
}
