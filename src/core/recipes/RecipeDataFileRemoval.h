#pragma once

#include <QByteArray>
#include <QString>

// Deleting the recipe data file of a recipe name. Names come from the recipe file, which the user
// may edit by hand, so a name could point anywhere: only a plain name whose file lies in the
// recipe data folder is ever deleted.
namespace RecipeDataFileRemoval {

// True when `name` is a plain file name (none of \ / : * ? " < > | and no control character) and
// its data file's folder is the recipe data folder.
bool MayDelete(const QByteArray& name);

// Deletes the data file of `name` when it exists and may be deleted. False only when deleting an
// existing file failed; `error` then holds the system's reason.
bool Delete(const QByteArray& name, QString* error);

} // namespace RecipeDataFileRemoval
