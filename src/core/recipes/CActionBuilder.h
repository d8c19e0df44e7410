#pragma once

#include <QByteArray>

class CRecipeDefinition;

// The identity's settings that the recipe text depends on.
struct RecipeTextSettings
{
    bool maildirFormat = false; // mail always goes to directories: no lockfile when saving
    QByteArray returnAddress; // sender of replies and the loop marker
    QByteArray name = "Your Name";
    bool outOfMemory = false; // replies use the form that needs no procmail pipes

    // The current identity's values ("Setup" section).
    static RecipeTextSettings FromProfile();
};

// Turns a whole recipe definition into procmail text: conditions, logging lines, the actions,
// the flags of the last head and the closing braces.
class CActionBuilder
{
public:
    static QByteArray BuildRecipeText(
        const CRecipeDefinition& definition, const RecipeTextSettings& settings);
    static QByteArray BuildRecipeText(const CRecipeDefinition& definition)
    {
        return BuildRecipeText(definition, RecipeTextSettings::FromProfile());
    }

    // The parts, for the summary and the tests.
    static QByteArray LoggingLines(const CRecipeDefinition& definition);
    static QByteArray BodyText(const CRecipeDefinition& definition, int j);
    static QByteArray ForwardText(
        const CRecipeDefinition& definition, int j, const RecipeTextSettings& settings);
    static QByteArray ReplyText(
        const CRecipeDefinition& definition, int j, const RecipeTextSettings& settings);
    static bool IsSimple(const CRecipeDefinition& definition);
    // The return address with "<" and ">" removed, or the placeholder address when that is empty.
    static QByteArray ReturnAddress(const RecipeTextSettings& settings);
};
