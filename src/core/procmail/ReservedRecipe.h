#pragma once

#include <QByteArray>
#include <QString>

// The one block a guided task keeps in the recipe file under its reserved name.
namespace ReservedRecipe {

enum class Written { Failed, Added, Replaced };

// What the user is told: `replaced` and `added` hold %1 for the recipe name.
struct Texts
{
    QString replaced;
    QString added;
};

// Replaces the block of `name` in place, or appends `block` when there is none, and tells the
// user which ("Success" or "Recipe added"). Failed when the recipe file refused (its error has
// been shown).
Written Write(const QString& recipeFile, const QByteArray& name, const QByteArray& block, const Texts& texts);

} // namespace ReservedRecipe
