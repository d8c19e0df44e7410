#include "core/recipes/RecipeDataFiles.h"

#include "core/recipes/CRecipeDefinition.h"
#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace RecipeDataFiles {

bool IsInDataFolder(const QByteArray& name)
{
    if (name.isEmpty())
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || QByteArray("\\/:*?\"<>|").contains(c))
            return false;
    }
    const QString folder = QDir(Workspace::GetDataFolder()).canonicalPath();
    const QString parent = QFileInfo(CRecipeDefinition::RecipeDataPath(name)).absoluteDir().canonicalPath();
    return !folder.isEmpty() && parent == folder;
}

bool DeleteInDataFolder(const QByteArray& name, QString* error)
{
    if (!IsInDataFolder(name))
        return true;
    QFile file(CRecipeDefinition::RecipeDataPath(name));
    // A link is removed as a link; what it points to stays.
    if (!QFileInfo(file.fileName()).exists() && !QFileInfo(file.fileName()).isSymLink())
        return true;
    if (file.remove())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace RecipeDataFiles
