// The one rule set for recipe definitions: every check the wizard pages make, plus what a data
// file or a DEF.json could hold that the pages never store. The JSON reader, the data file loader
// and the command line all go through Validate, so a definition that passes writes recipe text
// that does what its summary says, and exports and imports unchanged.
#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/RecipeValueRules.h"

#include <QStringDecoder>

namespace {

// The DEF.json form holds text as UTF-8; anything else would come back changed.
bool IsUtf8(const QByteArray& text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)decoder.decode(text);
    return !decoder.hasError();
}

// Whether a multi-line value holds a line with something other than blanks and tabs.
bool HasNonBlankLine(const QByteArray& text)
{
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return true;
    }
    return false;
}

} // namespace

bool CRecipeDefinition::Validate(QString* error) const
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    // "action 2 (topCount): text" names the value the way the DEF.json form does.
    auto failAt = [&fail](const QString& where, const QString& key, const QString& text) {
        return fail(QStringLiteral("%1 (%2): %3").arg(where, key, text));
    };
    const int n = GetConditionCount();
    const int m = GetActionCount();
    if (n < 1)
        return fail(QStringLiteral("the recipe has no condition."));
    if (m < 1)
        return fail(QStringLiteral("the recipe has no action."));
    if (m_dataMgr.Count() != m)
        return fail(QStringLiteral("the recipe has %1 action types but %2 action details.")
                        .arg(m)
                        .arg(m_dataMgr.Count()));
    if (ActionChecks::HasLineBreakOrNul(m_name))
        return fail(QStringLiteral("the recipe name contains a line break or a NUL character."));
    if (!IsUtf8(m_name))
        return fail(QStringLiteral("the recipe name is not UTF-8 text."));
    const RecipeValueRules::NameProblem nameProblem = RecipeValueRules::CheckName(m_name);
    if (nameProblem.kind != RecipeValueRules::NameProblem::None)
        return failAt(QStringLiteral("the recipe"), QStringLiteral("name"), nameProblem.text);
    if (m_nameHeader != 0 && m_nameHeader != 1)
        return failAt(QStringLiteral("the recipe"), QStringLiteral("nameHeader"),
            QStringLiteral("%1 is neither 0 nor 1.").arg(m_nameHeader));
    if (m_loggingChoice < 0 || m_loggingChoice > 2)
        return failAt(QStringLiteral("the recipe"), QStringLiteral("logging"),
            QStringLiteral("%1 is out of range (0 to 2).").arg(m_loggingChoice));

    for (int k = 0; k < n; ++k) {
        const CRecipeCondition& c = m_conditions.at(k);
        const QString where = QStringLiteral("condition %1").arg(k + 1);
        if (c.field < 0 || c.field > 11)
            return fail(QStringLiteral("%1 has the unknown field %2.").arg(where).arg(c.field));
        // Page 140 stores a To kind for every field; only field 0 reads it.
        if (c.toKind < 100 || c.toKind > 102)
            return failAt(where, QStringLiteral("toKind"),
                QStringLiteral("%1 is out of range (100 to 102).").arg(c.toKind));
        if (c.invert != 0 && c.invert != 1)
            return fail(QStringLiteral("%1 has the invert value %2.").arg(where).arg(c.invert));
        const bool last = k == n - 1;
        if (last && c.join != CRecipeCondition::JoinNone)
            return fail(QStringLiteral("the last condition is joined to a condition that does not exist."));
        if (!last && c.join != CRecipeCondition::JoinAnd && c.join != CRecipeCondition::JoinOr)
            return fail(QStringLiteral("%1 has the join value %2.").arg(where).arg(c.join));
        if (c.field == CRecipeCondition::AllMessages && n != 1)
            return failAt(where, QStringLiteral("field"),
                QStringLiteral("only a recipe's single, first condition can match all messages."));
        if (c.field == CRecipeCondition::AllMessages && c.invert != 0)
            return failAt(where, QStringLiteral("invert"), QStringLiteral("does not apply to field 10."));
        for (const QByteArray* text : { &c.customHeader, &c.entries, &c.size }) {
            if (!IsUtf8(*text))
                return fail(QStringLiteral("%1 holds text that is not UTF-8.").arg(where));
        }
        if (ActionChecks::HasLineBreakOrNul(c.customHeader))
            return fail(
                QStringLiteral("%1: the custom header contains a line break or a NUL character.").arg(where));
        if (ActionChecks::HasLineBreakOrNul(c.size))
            return fail(QStringLiteral("%1: the size contains a line break or a NUL character.").arg(where));
        if (c.entries.contains('\0'))
            return fail(QStringLiteral("%1: the entries contain a NUL character.").arg(where));
        if (c.field == CRecipeCondition::CustomHeader) {
            if (c.customHeader.trimmed().isEmpty())
                return failAt(where, QStringLiteral("customHeader"),
                    QStringLiteral(
                        "You have selected to filter on a custom header but you have not specified a "
                        "custom header.  Please enter a custom header to filter on (or select another "
                        "field to filter on)."));
            const qsizetype length = QString::fromUtf8(c.customHeader).size();
            if (length > RecipeValueRules::MaxCustomHeaderLength)
                return failAt(where, QStringLiteral("customHeader"),
                    QStringLiteral("the custom header is %1 characters long; at most %2 are allowed.")
                        .arg(length)
                        .arg(RecipeValueRules::MaxCustomHeaderLength));
            // procmail joins a condition line that ends in a backslash with the next line.
            if (c.customHeader.endsWith('\\'))
                return fail(
                    QStringLiteral("%1: the custom header \"%2\" ends in a backslash (\\), which would join "
                                   "the next recipe line to the condition.")
                        .arg(where, QString::fromUtf8(c.customHeader)));
        } else if (!c.customHeader.isEmpty()) {
            return failAt(where, QStringLiteral("customHeader"), QStringLiteral("applies only to field 11."));
        }
        if (c.field == CRecipeCondition::Size) {
            if (!RecipeValueRules::IsSize(c.size))
                return failAt(where, QStringLiteral("size"),
                    QStringLiteral(
                        "\"%1\" is not a number of bytes from 1 to 9999999999.  Please enter a positive "
                        "number.  That number represents the size of the message in bytes that you want "
                        "to match on. For example if you want to match messages over 100 kilobytes "
                        "enter 102400.")
                        .arg(QString::fromUtf8(c.size)));
        } else if (!c.size.isEmpty()) {
            return failAt(where, QStringLiteral("size"), QStringLiteral("applies only to field 9."));
        }
        if ((c.field == CRecipeCondition::Size || c.field == CRecipeCondition::AllMessages)
            && !c.entries.isEmpty())
            return failAt(
                where, QStringLiteral("entries"), QStringLiteral("do not apply to fields 9 and 10."));
        if (const int line = RecipeValueRules::LineEndingInBackslash(c.entries))
            return failAt(where, QStringLiteral("entries"),
                QStringLiteral("Line %1 of your entries ends with a backslash (\\).  procmail would join the "
                               "next recipe line to it.  Please remove the backslash, or double it to match "
                               "a backslash.")
                    .arg(line));
        // Without an entry these conditions are written as "* ()" or "* ", which match every message.
        if ((c.field == CRecipeCondition::AnyHeader || c.field == CRecipeCondition::Body)
            && !HasNonBlankLine(c.entries))
            return failAt(where, QStringLiteral("entries"),
                QStringLiteral(
                    "You have not entered a word or character to filter on.  Please enter something to "
                    "filter on."));
    }

    const CActionDetails reset;
    for (int j = 0; j < m; ++j) {
        const CActionDetails& d = Action(j);
        const int type = GetActionType(j);
        const QString where = QStringLiteral("action %1").arg(j + 1);
        if (type < 0 || type > 9)
            return fail(QStringLiteral("%1 has the unknown type %2.").arg(where).arg(type));
        for (const CActionDetailField& f : DetailFields()) {
            const QString key = QLatin1String(f.name);
            if (f.number == &CActionDetails::anotherAction)
                continue;
            if (!f.UsedBy(type)) {
                // Storing an action resets every value of other types.
                const bool isReset = f.number ? d.*f.number == reset.*f.number : (d.*f.text).isEmpty();
                if (!isReset)
                    return failAt(
                        where, key, QStringLiteral("does not apply to an action of type %1.").arg(type));
                continue;
            }
            switch (f.kind) {
            case CActionDetailField::Number:
                if (d.*f.number < f.low || d.*f.number > f.high)
                    return failAt(where, key,
                        QStringLiteral("%1 is out of range (%2 to %3).")
                            .arg(d.*f.number)
                            .arg(f.low)
                            .arg(f.high));
                break;
            case CActionDetailField::Flag:
                if (d.*f.number != 0 && d.*f.number != 1)
                    return failAt(where, key, QStringLiteral("%1 is neither 0 nor 1.").arg(d.*f.number));
                break;
            case CActionDetailField::Text:
                if (ActionChecks::HasLineBreakOrNul(d.*f.text))
                    return fail(QStringLiteral("%1: the %2 contains a line break or a NUL character.")
                                    .arg(where, QLatin1String(f.label)));
                if (!IsUtf8(d.*f.text))
                    return failAt(where, key, QStringLiteral("is not UTF-8 text."));
                break;
            case CActionDetailField::Lines:
                if ((d.*f.text).contains('\0'))
                    return fail(QStringLiteral("%1: the %2 contain a NUL character.")
                                    .arg(where, QLatin1String(f.label)));
                if (!IsUtf8(d.*f.text))
                    return failAt(where, key, QStringLiteral("is not UTF-8 text."));
                break;
            }
        }
        if (ActionChecks::OnceOnly(type)) {
            for (int i = 0; i < j; ++i) {
                if (GetActionType(i) == type)
                    return failAt(where, QStringLiteral("type"),
                        QStringLiteral(
                            "an action of type %1 is already action %2; a recipe can do it only once.")
                            .arg(type)
                            .arg(i + 1));
            }
        }
        if (j < m - 1 && ActionChecks::TakesMessage(type, d))
            return failAt(where, QStringLiteral("type"),
                QStringLiteral(
                    "this action takes the message away (delete, or forward, reply or save without "
                    "copy), so the actions after it would never run; it can only be the last action."));
        if (d.anotherAction != (j < m - 1 ? 1 : 0))
            return failAt(where, QStringLiteral("anotherAction"),
                QStringLiteral("is %1, but the action is %2.")
                    .arg(d.anotherAction)
                    .arg(j < m - 1 ? QStringLiteral("followed by another") : QStringLiteral("the last")));
        const ActionProblem problem = ActionChecks::CheckOwnValues(type, d);
        if (!problem.IsNull())
            return failAt(where, problem.key, problem.text);
    }
    return true;
}
