#include "gui/settings/CPropPageEmail.h"

#include "core/common/Prompt.h"
#include "core/procmail/AccountDetails.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CPropPageEmail::CPropPageEmail(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PropPageEmail"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_address = new QLineEdit(this);
    m_returnAddress = new QLineEdit(this);
    form->addRow(QStringLiteral("Your &Name:"), m_name);
    form->addRow(QStringLiteral("&Email Address:"), m_address);
    form->addRow(QStringLiteral("&Return Email Address:"), m_returnAddress);
    layout->addLayout(form);
    m_pending
        = new QCheckBox(QStringLiteral("When closing, show Pending Files Dialog (if appropriate)"), this);
    m_noLockfiles = new QCheckBox(
        QStringLiteral("I do not need lockfiles, I always deliver mail to directories"), this);
    m_outOfMemory = new QCheckBox(QStringLiteral("'Out of memory error' occurs on replies"), this);
    layout->addWidget(m_pending);
    layout->addWidget(m_noLockfiles);
    layout->addWidget(m_outOfMemory);
    layout->addStretch();

    m_name->setText(GetSettingString(Settings::PersonalName));
    m_address->setText(GetSettingString(Settings::EmailAddress));
    m_returnAddress->setText(GetSettingString(Settings::ReturnEmailAddress));
    m_pending->setChecked(GetSetting(Settings::ShowPendingFilesDlg) != 0);
    m_noLockfiles->setChecked(GetSetting(Settings::MaildirFormat) != 0);
    m_outOfMemory->setChecked(GetSetting(Settings::OutOfMemoryError) != 0);

    connect(m_noLockfiles, &QCheckBox::clicked, this, &CPropPageEmail::lockfileClicked);
    connect(m_outOfMemory, &QCheckBox::clicked, this, [] {
        Prompt::Tell(
            QStringLiteral("If you created any recipes with the Recipe Wizard that send an automaed reply "
                           "you must update those recipes.  See the help file for more information."),
            QStringLiteral("Update your recipes!"), Prompt::Warning);
    });
    SetHelpTopic(this, HelpTopic());
}

void CPropPageEmail::lockfileClicked(bool checked)
{
    if (checked
        && Prompt::Ask(
               QStringLiteral("Warning, if you select this item and you do not always deliver mail to a "
                              "directory your mailbox may get corrupted.  Do NOT select this item unless "
                              "you are certain your mail is always saved to a directory.  See the help "
                              "file for more information.\r\n\r\nAre you sure you want to select this "
                              "item?"),
               QStringLiteral("Directories always used?"), Prompt::Question,
               Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
            != Prompt::Yes) {
        m_noLockfiles->setChecked(false);
        return;
    }
    Prompt::Tell(checked
            ? QStringLiteral("If you created any recipes with the Recipe Wizard while this setting was "
                             "unchecked you should update those recipes.  See the help file for more "
                             "information.")
            : QStringLiteral("If you created any recipes with the Recipe Wizard while this setting was "
                             "checked it's extremely important that you update those recipes.  See "
                             "the help file for more information."),
        QStringLiteral("Update your recipes!"), Prompt::Warning);
}

bool CPropPageEmail::refuse(QLineEdit* edit, const QString& text, const QString& caption)
{
    Prompt::Tell(text, caption, Prompt::Information);
    edit->selectAll();
    edit->setFocus();
    return false;
}

bool CPropPageEmail::OnOK()
{
    const auto hasAngle = [](const QString& text) {
        return text.contains(QLatin1Char('<')) || text.contains(QLatin1Char('>'));
    };
    const QString angleCaption = QStringLiteral("Remove angle brackets");
    if (hasAngle(m_address->text()))
        return refuse(m_address, AccountDetails::AngleBracketText(false), angleCaption);
    if (hasAngle(m_returnAddress->text()))
        return refuse(m_returnAddress, AccountDetails::AngleBracketText(true), angleCaption);
    const QString specialCaption = QStringLiteral("Remove special characters");
    const struct
    {
        QLineEdit* edit;
        const char* what;
    } entries[]
        = { { m_name, "name" }, { m_address, "email address" }, { m_returnAddress, "return email address" } };
    for (const auto& entry : entries) {
        if (AccountDetails::HasShellSpecial(entry.edit->text()))
            return refuse(
                entry.edit, AccountDetails::ShellSpecialText(QLatin1String(entry.what)), specialCaption);
    }
    SetSetting(Settings::PersonalName, m_name->text());
    SetSetting(Settings::EmailAddress, m_address->text());
    SetSetting(Settings::ReturnEmailAddress, m_returnAddress->text());
    SetSetting(Settings::MaildirFormat, m_noLockfiles->isChecked() ? 1 : 0);
    SetSetting(Settings::ShowPendingFilesDlg, m_pending->isChecked() ? 1 : 0);
    SetSetting(Settings::OutOfMemoryError, m_outOfMemory->isChecked() ? 1 : 0);
    return true;
}
