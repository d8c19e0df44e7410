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

    // Whether some recipe of `blockText` looks at the message body: a `B` flag on its ":0" line,
    // or a condition that begins with "B ??" or "HB ??" (after "!" or "$" and blanks). Lines that
    // are switched off (comments) do not count.
    static bool TestsBody(const QByteArray& blockText);
};
