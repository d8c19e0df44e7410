#include "gui/mail/CSmtpConfigDlg.h"

#include "core/common/Prompt.h"
#include "core/net/SavedPassword.h"
#include "core/net/TestMail.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

CSmtpConfigDlg::CSmtpConfigDlg(const QString& password, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("SMTP Configuration"));
    SetHelpTopic(this, QStringLiteral("dlgSmtpConfig.html"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_host = new QLineEdit(this);
    m_host->setObjectName(QStringLiteral("smtpHost"));
    form->addRow(QStringLiteral("SMTP &Host:"), m_host);
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("smtpPort"));
    m_port->setRange(1, 65535);
    form->addRow(QStringLiteral("SMTP P&ort:"), m_port);
    // Both in the order of the setting's values: none, after the greeting, from the first byte.
    m_smtpTls = new QComboBox(this);
    m_smtpTls->setObjectName(QStringLiteral("smtpTls"));
    m_smtpTls->addItems({ QStringLiteral("None"), QStringLiteral("STARTTLS (usually port 587)"),
        QStringLiteral("Implicit TLS (usually port 465)") });
    form->addRow(QStringLiteral("SMTP &Secure connection:"), m_smtpTls);
    m_method = new QComboBox(this);
    m_method->setObjectName(QStringLiteral("authMethod"));
    // The entries in the order of their setting values 0 to 4.
    m_method->addItems({ QStringLiteral("None"), QStringLiteral("AUTH LOGIN"), QStringLiteral("LOGIN PLAIN"),
        QStringLiteral("POP before send"), QStringLiteral("CRAM-MD5") });
    form->addRow(QStringLiteral("&Authentication Method:"), m_method);
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("user"));
    form->addRow(QStringLiteral("&Username:"), m_user);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&Password:"), m_password);
    m_savePassword = new QCheckBox(QStringLiteral("&Save Password"), this);
    m_savePassword->setObjectName(QStringLiteral("savePassword"));
    form->addRow(QString(), m_savePassword);
    m_popHost = new QLineEdit(this);
    m_popHost->setObjectName(QStringLiteral("popHost"));
    form->addRow(QStringLiteral("Po&p Host:"), m_popHost);
    m_popPort = new QSpinBox(this);
    m_popPort->setObjectName(QStringLiteral("popPort"));
    m_popPort->setRange(1, 65535);
    form->addRow(QStringLiteral("Pop Po&rt:"), m_popPort);
    m_popTls = new QComboBox(this);
    m_popTls->setObjectName(QStringLiteral("popTls"));
    m_popTls->addItems({ QStringLiteral("None"), QStringLiteral("STLS (usually port 110)"),
        QStringLiteral("Implicit TLS (usually port 995)") });
    form->addRow(QStringLiteral("Pop S&ecure connection:"), m_popTls);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSmtpConfigDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSmtpConfigDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
        [this] { ShowHelpTopic(this, QStringLiteral("dlgSmtpConfig.html")); });
    layout->addWidget(buttons);

    m_host->setText(GetSettingString(Settings::SmtpHost));
    m_port->setValue(GetSetting(Settings::SmtpPort));
    const int method = GetSetting(Settings::SmtpAuthMethod);
    m_method->setCurrentIndex(method >= 0 && method < m_method->count() ? method : 0);
    m_user->setText(GetSettingString(Settings::SmtpUserName));
    m_password->setText(password);
    m_savePassword->setChecked(GetSetting(Settings::SaveSmtpPassword) != 0);
    m_popHost->setText(GetSettingString(Settings::PopHost));
    m_popPort->setValue(GetSetting(Settings::PopPort));
    m_smtpTls->setCurrentIndex(std::clamp(GetSetting(Settings::SmtpTls), 0, 2));
    m_popTls->setCurrentIndex(std::clamp(GetSetting(Settings::PopTls), 0, 2));
    connect(m_password, &QLineEdit::textEdited, this, [this] { m_passwordEdited = true; });
    connect(m_method, &QComboBox::currentIndexChanged, this, &CSmtpConfigDlg::updateEnabled);
    updateEnabled();
}

void CSmtpConfigDlg::updateEnabled()
{
    const int method = m_method->currentIndex();
    const bool login = method != TestMail::AuthNone;
    m_user->setEnabled(login);
    m_password->setEnabled(login);
    m_savePassword->setEnabled(login);
    m_popHost->setEnabled(method == TestMail::AuthPopBeforeSend);
    m_popPort->setEnabled(method == TestMail::AuthPopBeforeSend);
    m_popTls->setEnabled(method == TestMail::AuthPopBeforeSend);
}

QString CSmtpConfigDlg::Password() const
{
    return m_password->text();
}

void CSmtpConfigDlg::accept()
{
    SetSetting(Settings::SaveSmtpPassword, m_savePassword->isChecked() ? 1 : 0);
    SetSetting(Settings::PopHost, m_popHost->text());
    SetSetting(Settings::SmtpHost, m_host->text());
    SetSetting(Settings::SmtpUserName, m_user->text());
    SetSetting(Settings::SmtpPort, m_port->value());
    SetSetting(Settings::PopPort, m_popPort->value());
    SetSetting(Settings::SmtpAuthMethod, m_method->currentIndex());
    SetSetting(Settings::SmtpTls, m_smtpTls->currentIndex());
    SetSetting(Settings::PopTls, m_popTls->currentIndex());
    if (!m_savePassword->isChecked()) {
        SavedPassword::Smtp().Delete();
    } else if (m_passwordEdited) {
        QString error;
        if (m_password->text().isEmpty())
            SavedPassword::Smtp().Delete();
        else if (!SavedPassword::Smtp().Save(m_password->text(), &error))
            Prompt::Tell(QStringLiteral("The password could not be saved.\n\n%1").arg(error),
                QStringLiteral("Password not saved"), Prompt::Warning);
    }
    QDialog::accept();
}
