#pragma once

#include <QByteArray>
#include <QList>

class CRecipeDefinition;

// The plain-English explanation of a recipe definition: what it tests, what procmail will do
// with a matching message, and how it logs.
class CRecipeSummary
{
public:
    // Even segments are shown in the normal style, odd ones highlighted.
    static QList<QByteArray> BuildSummarySegments(const CRecipeDefinition& definition);
    // The non-empty segments joined: the comment at the top of the recipe block.
    static QByteArray BuildSummaryText(const CRecipeDefinition& definition);
};
