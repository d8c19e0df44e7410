#include "gui/settings/CPropPageProcmailrc.h"

#include "core/common/Prompt.h"
#include "core/procmail/CProcmailrcFile.h"
#include "gui/common/Help.h"
#include "gui/settings/FileEdit.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CPropPageProcmailrc::CPropPageProcmailrc(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PropPageProcmailrc"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("No changes are needed on this page to setup ZEPH"), this));
    m_logging = new QCheckBox(QStringLiteral("Logging On"), this);
    m_verbose = new QCheckBox(QStringLiteral("Verbose On"), this);
    layout->addWidget(m_logging);
    layout->addWidget(m_verbose);
    m_reset = new QPushButton(QStringLiteral("Reset .procmailrc to default values"), this);
    m_edit = new QPushButton(QStringLiteral("Edit .procmailrc in text editor"), this);
    m_advancedButton = new QPushButton(this);
    for (QPushButton* button : { m_reset, m_edit, m_advancedButton }) {
        auto* row = new QHBoxLayout;
        row->addWidget(button);
        row->addStretch();
        layout->addLayout(row);
    }
    m_advanced = new QGroupBox(QStringLiteral("Advanced"), this);
    auto* form = new QFormLayout(m_advanced);
    m_zephDir = new QLineEdit(m_advanced);
    m_mailDir = new QLineEdit(m_advanced);
    form->addRow(QStringLiteral("ZEPH Directory:"), m_zephDir);
    form->addRow(QStringLiteral("Mail Directory:"), m_mailDir);
    layout->addWidget(m_advanced);
    layout->addStretch();

    showValues();
    showAdvanced();
    connect(m_reset, &QPushButton::clicked, this, &CPropPageProcmailrc::Reset);
    connect(m_edit, &QPushButton::clicked, this, &CPropPageProcmailrc::EditFile);
    connect(m_advancedButton, &QPushButton::clicked, this, &CPropPageProcmailrc::ToggleAdvanced);
    SetHelpTopic(this, HelpTopic());
}

void CPropPageProcmailrc::showValues()
{
    m_logging->setChecked(m_settings.Logging());
    m_verbose->setChecked(m_settings.Verbose());
    m_zephDir->setText(m_settings.ZephDir());
    m_mailDir->setText(m_settings.MailDir());
}

void CPropPageProcmailrc::showAdvanced()
{
    const bool shown = m_settings.AdvancedShown();
    m_advanced->setVisible(shown);
    m_advancedButton->setText(
        shown ? QStringLiteral("<< Hide advanced") : QStringLiteral("Show advanced >>"));
}

void CPropPageProcmailrc::ToggleAdvanced()
{
    m_settings.SetAdvancedShown(!m_settings.AdvancedShown());
    showAdvanced();
    if (m_settings.AdvancedShown())
        Prompt::Tell(
            QStringLiteral("It's strongly recommended that you do not modify the advanced settings.  "
                           "Unless you are an advanced user and are certain of what you are doing, do "
                           "not modify these settings."),
            QStringLiteral("Warning!"), Prompt::Warning);
}

bool CPropPageProcmailrc::OnOK()
{
    const CProcmailrcSettings::Outcome outcome = m_settings.Apply(
        m_logging->isChecked(), m_verbose->isChecked(), m_zephDir->text(), m_mailDir->text());
    showValues();
    if (outcome.focus != CProcmailrcSettings::Field::None) {
        QLineEdit* edit = outcome.focus == CProcmailrcSettings::Field::ZephDir ? m_zephDir : m_mailDir;
        edit->setFocus();
        edit->selectAll();
    }
    return outcome.accepted;
}

void CPropPageProcmailrc::Reset()
{
    m_settings.AskAndReset();
    showValues();
}

void CPropPageProcmailrc::EditFile()
{
    if (Prompt::Ask(QStringLiteral("The .procmailrc file should only be modified by advanced users.  Are you "
                                   "sure you want to continue?"),
            QStringLiteral("Warning"), Prompt::Warning, Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        != Prompt::Yes)
        return;
    if (EditLocalFile(CProcmailrcFile().Path(), this))
        m_settings.EditedOutside();
}
