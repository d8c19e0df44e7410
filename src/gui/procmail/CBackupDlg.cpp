#include "gui/procmail/CBackupDlg.h"

#include "core/common/Prompt.h"
#include "core/procmail/BackupTask.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/procmail/CBackupMsgListDlg.h"
#include "gui/procmail/CBackupRecipeDlg.h"
#include "gui/procmail/CBackupRetrieveDlg.h"

#include <QGridLayout>
#include <QPushButton>

namespace {

const QString HelpTopic = QStringLiteral("rBackupDlg.html");

} // namespace

CBackupDlg::CBackupDlg(IShell& shell, QWidget* parent)
    : QDialog(parent)
    , m_shell(shell)
{
    setWindowTitle(QStringLiteral("Backup Mail Dialog"));
    SetHelpTopic(this, HelpTopic);
    const auto button = [this](const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        return b;
    };
    m_create = button(QStringLiteral("Create/Modify Backup Recipe"));
    m_verify = button(QStringLiteral("Verify Backup Mail"));
    m_retrieve = button(QStringLiteral("Retrieve Backup Mail"));
    m_deleteRecipe = button(QStringLiteral("Delete Backup Recipe"));
    m_deleteMail = button(QStringLiteral("Delete Backup Mail"));
    m_prefix = button(QStringLiteral("Modify MSGPREFIX"));
    QPushButton* close = button(QStringLiteral("Close"));
    QPushButton* help = button(QStringLiteral("Help"));
    connect(m_create, &QPushButton::clicked, this, &CBackupDlg::onCreate);
    connect(m_verify, &QPushButton::clicked, this, &CBackupDlg::onVerify);
    connect(m_retrieve, &QPushButton::clicked, this, &CBackupDlg::onRetrieve);
    connect(m_deleteRecipe, &QPushButton::clicked, this, &CBackupDlg::onDeleteRecipe);
    connect(m_deleteMail, &QPushButton::clicked, this, &CBackupDlg::onDeleteMail);
    connect(m_prefix, &QPushButton::clicked, this, &CBackupDlg::onPrefix);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_create, 0, 0);
    layout->addWidget(m_deleteRecipe, 0, 1);
    layout->addWidget(m_verify, 1, 0);
    layout->addWidget(m_deleteMail, 1, 1);
    layout->addWidget(m_retrieve, 2, 0);
    layout->addWidget(m_prefix, 2, 1);
    layout->addWidget(close, 3, 0);
    layout->addWidget(help, 3, 1);
}

void CBackupDlg::onCreate()
{
    // The user should move the new recipe above those that deliver the mail.
    if (CBackupRecipeDlg::Run(m_shell, this))
        m_shell.RunCommand(Cmd::PositionEdit);
}

void CBackupDlg::onVerify()
{
    if (!BackupTask::CheckSetup())
        return;
    if (Prompt::Ask(QStringLiteral("ZEPH will now connect to the remote host to build a list of any backup "
                                   "messages.  Okay to connect to the remote host?"),
            QStringLiteral("Okay to connect?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel)
        != Prompt::Yes)
        return;
    CBackupMsgListDlg::Run(this);
}

void CBackupDlg::onRetrieve()
{
    if (!BackupTask::CheckSetup())
        return;
    // The recipe goes into the local .procmailrc: an open editor of it must not overwrite it later.
    if (!m_shell.CloseDocumentFor(Workspace::GetProcmailrcPath()))
        return;
    CBackupRetrieveDlg dialog(this);
    dialog.exec();
}

void CBackupDlg::onDeleteRecipe()
{
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the backup recipe?"),
            QStringLiteral("Okay to delete?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        != Prompt::Yes)
        return;
    const QString path = Workspace::GetRecipeFilePath();
    if (path.isEmpty() || !m_shell.CloseDocumentFor(path))
        return;
    if (BackupTask::DeleteRecipe(path) != BackupTask::Deleted::Deleted)
        return;
    if (Prompt::Ask(
            QStringLiteral("The backup recipe has been deleted from the recipe file.\r\n\r\nThe updated "
                           "zeph.recipes file should be uploaded to the remote host, would you like to "
                           "upload the file now?"),
            QStringLiteral("Upload file?"), Prompt::Question, Prompt::Yes | Prompt::No)
        == Prompt::Yes)
        m_shell.RunCommand(Cmd::PendingFiles);
}

void CBackupDlg::onDeleteMail()
{
    if (!BackupTask::CheckSetup())
        return;
    Prompt::Tell(
        QStringLiteral("To delete the backup mail on your ISP, select the \"Verfiy Backup Mail\" button.  "
                       "ZEPH will get a list of any backup messages and you will then have the option "
                       "of deleting any or all backup messages."),
        QStringLiteral("Select \"Verfiy Backup Mail\" button"), Prompt::Information);
}

void CBackupDlg::onPrefix()
{
    if (!BackupTask::ConfirmPrefixChange())
        return;
    // A value that is no plain word is refused and asked for again.
    for (;;) {
        QString value;
        CInputDlg input(QStringLiteral("Enter MSGPREFIX value"), QStringLiteral("MSGPREFIX:"), &value,
            QString(), nullptr, this);
        if (input.exec() != QDialog::Accepted || BackupTask::SetPrefix(value))
            return;
    }
}
