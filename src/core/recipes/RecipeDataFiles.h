#pragma once

#include <QByteArray>
#include <QString>

// The recipe data file of a recipe name. Names also come from the recipe file and the log, which
// may have been edited by hand, so a name could point anywhere: a data file is read or deleted
// only when the name is a plain file name whose file lies in the recipe data folder.
namespace RecipeDataFiles {

// True when `name` is a plain file name (none of \ / : * ? " < > | and no control character) and
// its data file's folder is the recipe data folder (which must exist).
bool IsInDataFolder(const QByteArray& name);

// Deletes the data file of `name` when it exists and lies in the data folder. False only when
// deleting an existing file failed; `error` then holds the system's reason.
bool DeleteInDataFolder(const QByteArray& name, QString* error);

} // namespace RecipeDataFiles
