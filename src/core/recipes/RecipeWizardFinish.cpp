#include "core/recipes/RecipeWizardFinish.h"

#include "core/common/Prompt.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/recipes/RecipeDataFileRemoval.h"
#include "core/workspace/Workspace.h"

#include <QFile>

namespace {

bool SameName(const QByteArray& a, const QByteArray& b)
{
    // The recipe file compares marker names the same way.
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

RecipeWizardFinish::RecipeWizardFinish(
    const QString& recipeFilePath, bool isNew, const QByteArray& originalName)
    : m_path(recipeFilePath)
    , m_isNew(isNew)
    , m_originalName(originalName)
{
}

void RecipeWizardFinish::RememberBlock()
{
    if (!m_isNew)
        m_blockAtStart = CurrentBlock(m_path, m_originalName);
}

QByteArray RecipeWizardFinish::BuildBlock(
    const CRecipeDefinition& definition, const RecipeTextSettings& settings)
{
    return CRecipeFile::BuildRecipeBlock(definition.GetName(), CRecipeSummary::BuildSummaryText(definition),
        CActionBuilder::BuildRecipeText(definition, settings));
}

QByteArray RecipeWizardFinish::CurrentBlock(const QString& recipeFilePath, const QByteArray& name)
{
    QFile file(recipeFilePath);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QList<CRecipeListEntry> entries;
    QList<QByteArray> unparsed;
    if (!CRecipeFile::ParseRecipeText(file.readAll(), &entries, &unparsed))
        return QByteArray();
    for (const CRecipeListEntry& entry : std::as_const(entries)) {
        if (!entry.unparsed && SameName(entry.name, name))
            return entry.text;
    }
    return QByteArray();
}

bool RecipeWizardFinish::Finish(const CRecipeDefinition& definition, const RecipeTextSettings& settings,
    const MarkForUpload& markForUpload)
{
    m_resultText.clear();
    // The pages check every value; this catches what would still make the text do something
    // other than its summary says, before anything is written.
    QString problem;
    if (!definition.Validate(&problem)) {
        Prompt::Tell(QStringLiteral("The recipe cannot be written into the recipe file:\n\n%1").arg(problem),
            QStringLiteral("Recipe Wizard"), Prompt::Warning);
        return false;
    }
    const QByteArray name = definition.GetName();
    const QByteArray block = BuildBlock(definition, settings);
    if (!(m_isNew ? writeNew(name, block) : writeEdited(name, block)))
        return false;

    const QString remoteDir = Workspace::GetRemoteZephDir() + QLatin1Char('/');
    markForUpload(m_path, remoteDir + QStringLiteral("zeph.recipes"));
    for (int j = 0; j < definition.GetActionCount(); ++j) {
        if (definition.GetActionType(j) == ActionReply && !definition.GetResponseFile(j).isEmpty())
            markForUpload(QString::fromUtf8(definition.GetResponseFile(j)),
                remoteDir + QString::fromUtf8(definition.GetResponseRemoteName(j)));
    }
    // A data file that cannot be saved is reported and does not undo the recipe.
    definition.SaveRecipeData(name);
    return true;
}

bool RecipeWizardFinish::writeNew(const QByteArray& name, const QByteArray& block)
{
    CRecipeFile file(m_path);
    int begin = 0, end = 0;
    switch (file.Locate(name, &begin, &end)) {
    case CRecipeFile::LocateFound:
        // Only an explicit Yes replaces an existing recipe; closing the box keeps it.
        if (Prompt::Ask(QStringLiteral("There is an existing recipe named \"%1\".  If you would like to "
                                       "overwrite the existing recipe with this new recipe click \"Yes\".  "
                                       "If you don't want to overwrite the existing recipe click \"No\" "
                                       "and then hit the \"Back\" button and type in a new name for this "
                                       "recipe.\n\nOkay to overwrite existing recipe?")
                            .arg(QString::fromUtf8(name)),
                QStringLiteral("Overwrite existing recipe?"), Prompt::Question, Prompt::Yes | Prompt::No,
                Prompt::No)
            != Prompt::Yes)
            return false;
        if (!file.ReplaceRecipe(name, block))
            return false;
        m_resultText = QStringLiteral("Your updated recipe has been added to the file.");
        return true;
    case CRecipeFile::LocateNotFound:
        if (!file.AppendRecipe(block))
            return false;
        m_resultText = QStringLiteral("Your new recipe has been added to the end of the file.");
        return true;
    default:
        return false;
    }
}

bool RecipeWizardFinish::writeEdited(const QByteArray& name, const QByteArray& block)
{
    CRecipeFile file(m_path);
    int begin = 0, end = 0;
    if (!SameName(name, m_originalName)) {
        switch (file.Locate(name, &begin, &end)) {
        case CRecipeFile::LocateFound: {
            const QString o = QString::fromUtf8(m_originalName);
            const QString n = QString::fromUtf8(name);
            Prompt::Tell(QStringLiteral("You are attempting to replace the recipe '%1' with one named '%2' "
                                        "however there is already an existing recipe named '%3'.  Please "
                                        "choose a different name for this updated recipe by hitting the "
                                        "\"Back\" button and type in a new name for this recipe.")
                             .arg(o, n, n),
                QStringLiteral("Duplicate Recipe Name"), Prompt::Information);
            return false;
        }
        case CRecipeFile::LocateNotFound:
            break;
        default:
            return false;
        }
    }
    switch (file.Locate(m_originalName, &begin, &end)) {
    case CRecipeFile::LocateFound:
        if (CurrentBlock(m_path, m_originalName) != m_blockAtStart && !confirmOutsideChange())
            return false;
        if (!file.ReplaceRecipe(m_originalName, block))
            return false;
        m_resultText = QStringLiteral("Your updated recipe has been added to the file.");
        break;
    case CRecipeFile::LocateNotFound:
        if (!file.AppendRecipe(block))
            return false;
        m_resultText = QStringLiteral("Your recipe has been added to the end of the file.");
        break;
    default:
        return false;
    }
    if (name != m_originalName) {
        QString error;
        if (!RecipeDataFileRemoval::Delete(m_originalName, &error))
            Prompt::Tell(QStringLiteral("The recipe data file %1 could not be deleted.\n\n%2")
                             .arg(CRecipeDefinition::RecipeDataPath(m_originalName), error),
                QStringLiteral("ZEPH"), Prompt::Warning);
    }
    return true;
}

bool RecipeWizardFinish::confirmOutsideChange() const
{
    return Prompt::Ask(
               QStringLiteral("The recipe \"%1\" in the file %2 was changed outside the Recipe Wizard "
                              "after the wizard opened it.  Finishing replaces those changes with "
                              "the recipe you made in the wizard.\n\nReplace the changed recipe?")
                   .arg(QString::fromUtf8(m_originalName), m_path),
               QStringLiteral("Recipe changed outside the wizard"), Prompt::Question,
               Prompt::Yes | Prompt::No, Prompt::No)
        == Prompt::Yes;
}
