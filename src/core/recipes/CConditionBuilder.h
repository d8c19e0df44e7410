#pragma once

#include <QByteArray>

class CRecipeDefinition;

// Turns the conditions of a recipe definition into the head of a procmail recipe. Conditions
// joined by OR are written negated under a head with an empty action, followed by an "E" head
// that runs when at least one of them holds; what follows such a group is nested in a block.
class CConditionBuilder
{
public:
    // Stand-ins that mark insertion points while a recipe is built; each holds "\r\r\n\n", which
    // cannot come from the wizard, and all are replaced before the text is final.
    static const QByteArray HeadFlagsPoint;
    static const QByteArray BodyPoint;
    static const QByteArray HeaderEditPoint;

    struct Result
    {
        QByteArray text;
        int nesting = 0; // "{" blocks opened for OR groups
    };
    struct Joined
    {
        QByteArray regex;
        bool several = false; // more than one alternative
    };

    // The ":0" heads and condition lines; the text ends with the head-flags point after the last
    // head.
    static Result BuildConditions(const CRecipeDefinition& definition, const QByteArray& headFlagsPoint);
    // The alternatives of one condition's entries as one regular expression.
    static Joined JoinEntries(const QByteArray& entries);
};
