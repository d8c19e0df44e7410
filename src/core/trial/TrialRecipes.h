#pragma once

#include "core/recipes/CRecipeFile.h"

#include <QByteArray>
#include <QList>

// A recipe file as a dry run is given it. Lines outside any recipe get their generated block name
// here, once, so that the names the run reports are the names the caller shows (the run would
// otherwise generate names of its own for them).
struct TrialRecipes
{
    QList<CRecipeListEntry> entries; // in file order
    QByteArray text; // every entry as a block, in the same order

    static TrialRecipes FromFileText(const QByteArray& fileText);
    static TrialRecipes FromEntries(const QList<CRecipeListEntry>& entries);
};
