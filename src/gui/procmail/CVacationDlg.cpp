#include "gui/procmail/CVacationDlg.h"

#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/VacationTask.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/procmail/CVacationRecipeDlg.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString HelpTopic = QStringLiteral("rVacationDlg.html");

// The address list lives on a host that the Initial Setup Wizard has prepared.
bool setupDone()
{
    if (GetSetting(Settings::SetupWizRun) != 0)
        return true;
    Prompt::Tell(QStringLiteral("You cannot perform this function until after you have run the Initial Setup "
                                "Wizard.  To do so, from the 'Tools' menu select 'Initial Setup'."),
        QStringLiteral("Setup not initialized"), Prompt::Information);
    return false;
}

} // namespace

CVacationDlg::CVacationDlg(IShell& shell, QWidget* parent)
    : QDialog(parent)
    , m_shell(shell)
    , m_create(new QPushButton(QStringLiteral("Create/Modify Vacation Recipe"), this))
    , m_deleteRecipe(new QPushButton(QStringLiteral("Delete Vacation Recipe"), this))
    , m_viewList(new QPushButton(QStringLiteral("View 'replied to' address list"), this))
    , m_deleteList(new QPushButton(QStringLiteral("Delete 'replied to' address list"), this))
{
    setWindowTitle(QStringLiteral("Vacation"));
    SetHelpTopic(this, HelpTopic);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    connect(m_create, &QPushButton::clicked, this, [this] { RunRecipeDialog(m_shell, this); });
    connect(m_deleteRecipe, &QPushButton::clicked, this, &CVacationDlg::deleteRecipe);
    connect(m_viewList, &QPushButton::clicked, this, &CVacationDlg::viewList);
    connect(m_deleteList, &QPushButton::clicked, this, &CVacationDlg::deleteList);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });

    auto* layout = new QVBoxLayout(this);
    for (QPushButton* b : { m_create, m_deleteRecipe, m_viewList, m_deleteList, close, help })
        layout->addWidget(b);
}

bool CVacationDlg::RunRecipeDialog(IShell& shell, QWidget* parent)
{
    const QString recipeFile = Workspace::GetRecipeFilePath();
    // An editor window would keep, and could later save, the recipe file from before the change.
    if (recipeFile.isEmpty() || !shell.CloseDocumentFor(recipeFile))
        return false;
    IShell* target = &shell;
    CVacationRecipeDlg dialog(
        recipeFile,
        [target] {
            return target->ShowSettingsSheet(QStringLiteral("Setup"), IShell::SettingsPage::Misc, false)
                == QDialog::Accepted;
        },
        parent);
    const bool written = dialog.exec() == QDialog::Accepted;
    shell.UpdateCommandStates();
    return written;
}

void CVacationDlg::deleteRecipe()
{
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the vacation recipe?"),
            QStringLiteral("Okay to delete?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        != Prompt::Yes)
        return;
    const QString recipeFile = Workspace::GetRecipeFilePath();
    if (recipeFile.isEmpty() || !m_shell.CloseDocumentFor(recipeFile))
        return;
    const bool deleted = VacationTask::DeleteRecipe(
        recipeFile, [](const QString& local, const QString& remote) { AddPending(local, remote); });
    m_shell.UpdateCommandStates();
    if (!deleted)
        return;
    const QString list = VacationTask::ReplyListRemotePath();
    if (Prompt::Ask(
            QStringLiteral("When you delete the Vacation recipe it's a generally a good idea to also "
                           "attempt to delete the remote file %1.\n\nThat file contains a list of "
                           "addresses to which your vacation message was sent.  (That list is "
                           "maintained to avoid sending one address more than one vacation message.  "
                           "Each time you leave on vacation you generally will want to start the list "
                           "fresh so as to notify everyone that you are again out of town.)\n\nWould "
                           "you like ZEPH attempt to delete the %1 file?")
                .arg(list),
            QStringLiteral("Okay to delete?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        == Prompt::Yes)
        deleteRemoteList();
}

void CVacationDlg::viewList()
{
    if (!setupDone())
        return;
    QByteArray text;
    const bool read = VacationTask::ReadReplyList(m_host, &text);
    m_host.CloseProgress();
    if (!read)
        return;
    CTextViewerDlg viewer(QString::fromUtf8(text), QStringLiteral("Remote file"), this,
        QStringLiteral("Remote file: %1").arg(VacationTask::ReplyListRemotePath()), false, 1.7);
    viewer.exec();
}

void CVacationDlg::deleteList()
{
    if (!setupDone())
        return;
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the remote file %1?")
                        .arg(VacationTask::ReplyListRemotePath()),
            QStringLiteral("Confirm file delete"), Prompt::Question,
            Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        == Prompt::Yes)
        deleteRemoteList();
}

void CVacationDlg::deleteRemoteList()
{
    VacationTask::DeleteReplyList(m_host);
    m_host.CloseProgress();
}
