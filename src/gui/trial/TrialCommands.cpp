#include "gui/trial/TrialCommands.h"

#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/trial/UploadPreflight.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/trial/CTryMessageDlg.h"
#include "gui/trial/CWhyLandedDlg.h"

#include <QFile>

namespace {

// The recipe file as it was last saved; a file not yet made holds no recipes.
bool ReadRecipeFile(QByteArray* text, const QString& caption)
{
    const QString path = Workspace::GetRecipeFilePath();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        Prompt::Tell(QStringLiteral("The recipe file %1 could not be read: %2").arg(path, file.errorString()),
            caption, Prompt::Warning);
        return false;
    }
    *text = file.readAll();
    return true;
}

} // namespace

void InstallMessageTrial(IShell& shell)
{
    shell.SetMessageTrial([](const QByteArray& recipeText, QWidget* parent) {
        CTryMessageDlg dialog(recipeText, parent);
        dialog.exec();
    });
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::TryMessage, [target] {
        QByteArray text;
        if (ReadRecipeFile(&text, QStringLiteral("Try a Message")))
            target->TryMessage(text, target->Window());
    });
    SetPendingUploadCheck({ UploadPreflight::ConfirmUpload, UploadPreflight::Note });
    shell.SetLandingExplainer([](const IShell::LoggedMail& mail, QWidget* parent) {
        QByteArray text;
        if (!ReadRecipeFile(&text, QStringLiteral("Why Did This Land Here?")))
            return;
        CWhyLandedDlg dialog(mail, text, parent);
        dialog.exec();
    });
}
