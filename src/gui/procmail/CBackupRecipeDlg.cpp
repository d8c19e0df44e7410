#include "gui/procmail/CBackupRecipeDlg.h"

#include "core/procmail/BackupRecipe.h"
#include "core/procmail/BackupTask.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString HelpTopic = QStringLiteral("rBackupCreate.html");

} // namespace

CBackupRecipeDlg::CBackupRecipeDlg(IShell& shell, QWidget* parent)
    : QDialog(parent)
    , m_shell(shell)
{
    setWindowTitle(QStringLiteral("Backup Recipe"));
    SetHelpTopic(this, HelpTopic);
    auto* text = new QLabel(QStringLiteral("By enabling this recipe, procmail will keep a copy of the most "
                                           "recent messages on the remote host."),
        this);
    text->setWordWrap(true);
    m_number = new QSpinBox(this);
    m_number->setRange(0, 999999);
    m_number->setValue(GetSetting(Settings::BackupDlgMsgNumber));
    m_selection = new QComboBox(this);
    m_selection->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    fillSelections(GetSetting(Settings::BackupDlgToCombo));
    m_modifyAddress = new QPushButton(QStringLiteral("Modify Address"), this);
    m_add = new QPushButton(QStringLiteral("Add Recipe"), this);
    m_add->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    connect(m_modifyAddress, &QPushButton::clicked, this, &CBackupRecipeDlg::onModifyAddress);
    connect(m_add, &QPushButton::clicked, this, &CBackupRecipeDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Number of messages to save: "), m_number);
    auto* selectionRow = new QHBoxLayout;
    selectionRow->addWidget(m_selection, 1);
    selectionRow->addWidget(m_modifyAddress);
    form->addRow(QStringLiteral("Backup these messages: "), selectionRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : { m_add, cancel, help })
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

bool CBackupRecipeDlg::Run(IShell& shell, QWidget* parent)
{
    const QString path = Workspace::GetRecipeFilePath();
    if (path.isEmpty() || !shell.CloseDocumentFor(path))
        return false;
    CBackupRecipeDlg dialog(shell, parent);
    return dialog.exec() == QDialog::Accepted;
}

void CBackupRecipeDlg::fillSelections(int index)
{
    const QString address = GetSettingString(Settings::EmailAddress);
    m_selection->clear();
    for (int i = 0; i < BackupRecipe::SelectionCount; ++i)
        m_selection->addItem(BackupRecipe::SelectionText(i, address));
    m_selection->setCurrentIndex(index >= 0 && index < BackupRecipe::SelectionCount ? index : 0);
}

void CBackupRecipeDlg::onModifyAddress()
{
    if (m_shell.ShowSettingsSheet(QStringLiteral("Setup"), IShell::SettingsPage::Misc, false)
        == QDialog::Accepted)
        fillSelections(m_selection->currentIndex());
}

void CBackupRecipeDlg::accept()
{
    const int count = m_number->value();
    switch (BackupTask::AddRecipe(Workspace::GetRecipeFilePath(), m_selection->currentIndex(), count)) {
    case BackupTask::Written::Added:
    case BackupTask::Written::Replaced:
        QDialog::accept();
        return;
    case BackupTask::Written::Failed:
        break;
    }
    if (count <= 0) {
        m_number->setFocus();
        m_number->selectAll();
        return;
    }
    // The recipe file has told the user what went wrong.
    reject();
}
