#include "gui/wizard/RecipeWizardCommands.h"

#include "core/common/Prompt.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/recipes/RecipeDataFileRemoval.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CommandIds.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/IShell.h"
#include "gui/wizard/CImportPreviewDlg.h"
#include "gui/wizard/CRecipeWizSheet.h"

#include <QFileInfo>
#include <QTimer>

namespace {

// Opens the sheet over the main window once the recipe file is free of an editor window.
bool Run(IShell& shell, CRecipeWizSheet::Mode mode, const CRecipeDefinition& definition,
    const QByteArray& originalName, bool offerList)
{
    const QString recipeFile = Workspace::GetRecipeFilePath();
    if (recipeFile.isEmpty())
        return false;
    // An editor window would keep, and could later save, the text from before Finish.
    if (!shell.CloseDocumentFor(recipeFile))
        return false;
    bool finished = false;
    bool positionEdit = false;
    {
        CRecipeWizSheet sheet(mode, recipeFile, shell.Window());
        sheet.Start(definition, originalName, offerList);
        if (shell.CanTryMessages()) {
            IShell* target = &shell;
            sheet.SetMessageTrial(
                [target](const QByteArray& text, QWidget* parent) { target->TryMessage(text, parent); });
        }
        finished = sheet.exec() == QDialog::Accepted;
        positionEdit = sheet.PositionEditRequested();
    }
    shell.UpdateCommandStates();
    if (finished && positionEdit) {
        // Posted, so the recipe list opens after the wizard and its caller are done.
        IShell* target = &shell;
        QTimer::singleShot(0, shell.Window(), [target] { target->RunCommand(Cmd::PositionEdit); });
    }
    return finished;
}

// The backup and vacation recipes are made by dialogs of their own, never by the wizard.
QString ReservedRecipeDialog(const QString& name)
{
    if (name.compare(QLatin1String("ZEPH_Backup"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Backup");
    if (name.compare(QLatin1String("ZEPH_Vacation"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Vacation");
    return QString();
}

QString ImportPreviewText(const QString& path, const CRecipeDefinition& definition)
{
    return QStringLiteral("The recipe data file %1 holds the recipe \"%2\".  Nothing is written until you "
                          "press \"Finish\" in the Recipe Wizard.\n\nWhat the recipe does:\n\n%3\n\nThe "
                          "recipe:\n\n%4")
        .arg(path, QString::fromUtf8(definition.GetName()),
            QString::fromUtf8(CRecipeSummary::BuildSummaryText(definition)),
            QString::fromUtf8(CActionBuilder::BuildRecipeText(definition)));
}

} // namespace

namespace RecipeWizardCommands {

bool NewRecipe(IShell& shell)
{
    return Run(shell, CRecipeWizSheet::NewRecipe, CRecipeDefinition(), QByteArray(), true);
}

bool EditRecipe(IShell& shell, const QString& name, bool offerList)
{
    const QString dialog = ReservedRecipeDialog(name);
    if (!dialog.isEmpty()) {
        Prompt::Tell(
            QStringLiteral("The recipe \"%1\" is made and changed by the %2 dialog (Recipes > %2).  The "
                           "Recipe Wizard does not open it, so that the recipe stays as that dialog "
                           "wrote it.")
                .arg(name, dialog),
            QStringLiteral("Reserved recipe"), Prompt::Information);
        return false;
    }
    const QByteArray bytes = name.toUtf8();
    const QString path = CRecipeDefinition::RecipeDataPath(bytes);
    CRecipeDefinition definition;
    // A name that is no plain file name has no data file: nothing outside the data folder is read
    // (the guard of deleting data files says which names those are).
    if (RecipeDataFileRemoval::MayDelete(bytes) && QFileInfo(path).isFile()) {
        if (!definition.LoadRecipeData(path))
            return false;
    } else {
        Prompt::Tell(
            QStringLiteral("The data file %1 for the recipe \"%2\" was not found.  To make changes to the "
                           "recipe, create the recipe from scratch using the wizard and save the "
                           "recipe using the name \"%3\", the old recipe will be overwritten.")
                .arg(path, name, name),
            QStringLiteral("File not found"), Prompt::Information);
        definition.SetName(bytes);
    }
    return Run(shell, CRecipeWizSheet::EditByName, definition, bytes, offerList);
}

bool ImportRecipe(IShell& shell, const QString& givenPath)
{
    QString path = givenPath;
    if (path.isEmpty()) {
        QString folder = GetSettingString(Settings::DefaultImportFolder);
        if (folder.isEmpty())
            folder = Workspace::GetDocumentFolder();
        path = FileDialogs::GetOpenFileName(shell.Window(), QStringLiteral("Select a recipe data file"),
            folder, QStringLiteral("ZEPH recipe files (*.zeph)"));
        if (path.isEmpty())
            return false;
        SetSetting(Settings::DefaultImportFolder, QFileInfo(path).absolutePath() + QLatin1Char('/'));
    }
    CRecipeDefinition definition;
    if (!definition.LoadRecipeData(path))
        return false;
    // A shared file can come from anyone: the user sees what it does before the wizard opens.
    if (CImportPreviewDlg::Ask(ImportPreviewText(path, definition), shell.Window()) != Prompt::Ok)
        return false;
    return Run(shell, CRecipeWizSheet::Import, definition, QByteArray(), false);
}

} // namespace RecipeWizardCommands

void InstallRecipeWizard(IShell& shell)
{
    IShell* target = &shell;
    shell.SetCommandHandler(Cmd::NewRecipe, [target] { RecipeWizardCommands::NewRecipe(*target); });
    shell.SetCommandHandler(
        Cmd::Import, [target] { RecipeWizardCommands::ImportRecipe(*target, QString()); });
    shell.SetRecipeFileOpener(
        [target](const QString& path) { RecipeWizardCommands::ImportRecipe(*target, path); });
    shell.SetRecipeEditor([target](const QString& name, bool offerList) {
        return RecipeWizardCommands::EditRecipe(*target, name, offerList);
    });
}
