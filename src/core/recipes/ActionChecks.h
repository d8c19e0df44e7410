#pragma once

#include "core/common/Prompt.h"
#include "core/recipes/CRecWizDataMgr.h"

#include <QByteArray>
#include <QString>

// A rule that the values of one action break: the value at fault (its DEF.json key), the message,
// and the caption and icon the wizard shows it with. The loader and the JSON reader report the
// same message.
struct ActionProblem
{
    QString key;
    QString text;
    QString caption;
    Prompt::Icon icon = Prompt::Information;

    bool IsNull() const { return text.isEmpty(); }
};

// The checks of one action that CRecipeDefinition::Validate makes and the action pages show.
namespace ActionChecks {

// The checks of the detail page of `type` on the values of that type.
ActionProblem CheckOwnValues(int type, const CActionDetails& values);

// Delete, and forward, reply or save without a copy, take the message away: nothing after them
// runs, so such an action can only be the last.
bool TakesMessage(int type, const CActionDetails& values);

// Actions a recipe can perform only once: the text builder writes one of each.
bool OnceOnly(int type);

// A single-line value with a CR, LF or NUL would write raw lines into the recipe.
bool HasLineBreakOrNul(const QByteArray& text);

} // namespace ActionChecks
