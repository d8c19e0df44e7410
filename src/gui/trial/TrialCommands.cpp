#include "gui/trial/TrialCommands.h"

#include "core/common/Prompt.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/trial/CTryMessageDlg.h"

#include <QFile>

void InstallMessageTrial(IShell& shell)
{
    shell.SetMessageTrial([](const QByteArray& recipeText, QWidget* parent) {
        CTryMessageDlg dialog(recipeText, parent);
        dialog.exec();
    });
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::TryMessage, [target] {
        // The recipe file as it was last saved; a file not yet made holds no recipes.
        const QString path = Workspace::GetRecipeFilePath();
        QByteArray text;
        QFile file(path);
        if (file.exists()) {
            if (!file.open(QIODevice::ReadOnly)) {
                Prompt::Tell(
                    QStringLiteral("The recipe file %1 could not be read: %2").arg(path, file.errorString()),
                    QStringLiteral("Try a Message"), Prompt::Warning);
                return;
            }
            text = file.readAll();
        }
        target->TryMessage(text, target->Window());
    });
}
