#include "core/procmail/ReservedRecipe.h"

#include "core/common/Prompt.h"
#include "core/recipes/CRecipeFile.h"

namespace ReservedRecipe {

Written Write(const QString& recipeFile, const QByteArray& name, const QByteArray& block, const Texts& texts)
{
    CRecipeFile file(recipeFile);
    int begin = 0;
    int end = 0;
    const CRecipeFile::LocateResult found = file.Locate(name, &begin, &end);
    if (found == CRecipeFile::LocateError)
        return Written::Failed;
    const QString quotedName = QString::fromLatin1(name);
    if (found == CRecipeFile::LocateFound) {
        if (!file.ReplaceRecipe(name, block))
            return Written::Failed;
        Prompt::Tell(texts.replaced.arg(quotedName), QStringLiteral("Success"), Prompt::Information);
        return Written::Replaced;
    }
    if (!file.AppendRecipe(block))
        return Written::Failed;
    Prompt::Tell(texts.added.arg(quotedName), QStringLiteral("Recipe added"), Prompt::Information);
    return Written::Added;
}

} // namespace ReservedRecipe
