#include "TrialRecipes.h"

TrialRecipes TrialRecipes::FromFileText(const QByteArray& fileText)
{
    QList<CRecipeListEntry> entries;
    QList<QByteArray> unparsed;
    CRecipeFile::ParseRecipeText(fileText, &entries, &unparsed);
    return FromEntries(entries);
}

TrialRecipes TrialRecipes::FromEntries(const QList<CRecipeListEntry>& entries)
{
    TrialRecipes recipes;
    recipes.entries = entries;
    for (const CRecipeListEntry& entry : entries)
        recipes.text += entry.text + '\n';
    return recipes;
}
