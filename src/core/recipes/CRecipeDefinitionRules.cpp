// The one rule set for recipe definitions: every check the wizard pages make, plus what a data
// file or a DEF.json could hold that the pages never store. The JSON reader, the data file loader
// and the command line all go through Validate, so a definition that passes writes recipe text
// that does what its summary says, and exports and imports unchanged.
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/RecipeValueRules.h"

#include <QStringDecoder>

namespace {

using RecipeValueRules::HasLineBreakOrNul;
using RecipeValueRules::IsSize;

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

// Forward addresses go unquoted onto the sendmail command line: each must be one plain word.
bool CheckForwardAddresses(const QByteArray& addresses, QString* problem)
{
    QByteArray unified = addresses;
    unified.replace("\r\n", "\n");
    unified.replace('\r', '\n');
    int count = 0;
    for (const QByteArray& rawLine : unified.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        ++count;
        bool bad = line.startsWith('-');
        for (char c : line) {
            if (c == ' ' || c == '\t' || c == '\0' || QByteArray(";|&$`()'\"\\<>").contains(c))
                bad = true;
        }
        if (bad) {
            *problem = QStringLiteral("the forward address \"%1\" is not a plain address")
                           .arg(QString::fromUtf8(line));
            return false;
        }
    }
    if (count == 0) {
        *problem
            = QStringLiteral("You have not specified an address to forward the message to.  Please enter an "
                             "address in the box.");
        return false;
    }
    return true;
}

// Delete, and forward, reply or save without a copy, take the message away: nothing after them
// runs.
bool TakesMessage(int type, const CActionDetails& d)
{
    return type == ActionDelete
        || ((type == ActionForward || type == ActionReply || type == ActionSave) && d.copy != 1);
}

// Actions that the action page offers only once per recipe: the text builder writes one of each.
bool OnceOnly(int type)
{
    return type == ActionAddSubject || type == ActionRemoveSubject || type == ActionModifyBody
        || type == ActionExitCode || type == ActionDelete || type == ActionReply;
}

// The checks of the remove-header page on the header to remove, with its texts.
QString CheckHeaderToRemove(const QByteArray& typed)
{
    QByteArray t = typed;
    while (!t.isEmpty() && (t.at(0) == ' ' || t.at(0) == '\t'))
        t.remove(0, 1);
    if (t.isEmpty())
        return QStringLiteral(
            "You have not specified a header to remove.  Please enter the name of a header you "
            "would like to remove (or hit the \"Back\" button to deselect \"Remove header\").");
    const qsizetype blank = t.indexOf(' ');
    if (blank >= 0)
        return (blank == t.size() - 1
                       ? QStringLiteral(
                           "The header to remove that you entered has a trailing space character.")
                       : QStringLiteral("The header to remove you entered contains a space character."))
            + QStringLiteral("  Please remove it.  Your entry should not contain a space.");
    if (t.chopped(1).contains(':'))
        return QStringLiteral(
            "The header to remove that you entered has a colon character (\":\") in a position "
            "other than the final character.  Please remove it, the only colon character (if "
            "any) should be the final character in the header to remove.");
    const QByteArray lower = typed.toLower();
    if (QByteArray("x-loop:").startsWith(lower))
        return QStringLiteral(
            "It appears you are trying to remove a \"X-Loop\" header.  This should NOT be done.  "
            "Please adjust the string for the header to remove (or hit the \"Back\" button to "
            "deselect \"Remove header\").  Also remember that trying to remove all \"X\" headers "
            "by using \"X\" will remove all X headers, including X-Loop headers.");
    if (QByteArray("from").startsWith(lower))
        return QStringLiteral(
            "It appears you are trying to remove a \"From \" header.  This should not be done.  "
            "Please adjust the string for the header to remove (or hit the \"Back\" button to "
            "deselect \"Remove header\").  If you want to remove the \"From:\" header include a "
            "colon after the word \"From\".  (There is another header \"From \" that you normally "
            "don't see however removing it can create problems.)");
    return QString();
}

// The checks of the modify-body page, with its texts; `key` names the value at fault.
QString CheckBodyEdit(const CActionDetails& d, QString* key)
{
    const bool between = d.removeBetween != 0;
    if (!between && d.topMode == 0 && d.bottomMode == 0) {
        *key = QStringLiteral("removeBetween");
        return QStringLiteral(
            "You haven't specified any modifications to be made to the message body.  If you "
            "don't want to make any changes to the message body please hit the \"Back\" button "
            "and unselect \"Modify message body\".  Otherwise please specify what modification "
            "you would like to make.");
    }
    // An empty sed pattern means "the last pattern used", which sed refuses here.
    if (between && d.betweenTop.isEmpty()) {
        *key = QStringLiteral("betweenTop");
        return QStringLiteral("You have elected to remove a section from the message body but you haven't "
                              "specified the top starting string.  Please enter a string in the box.");
    }
    if (between && d.betweenBottom.isEmpty()) {
        *key = QStringLiteral("betweenBottom");
        return QStringLiteral("You have elected to remove a section from the message body but you haven't "
                              "specified the bottom (end) string.  Please enter a string in the box.");
    }
    if (d.topMode == 1 && d.topCount < 1) {
        *key = QStringLiteral("topCount");
        return QStringLiteral(
            "You have elected to delete some lines from the top of the message but you haven't "
            "specified a positive number that you would like to delete.  Please specify a "
            "positive number of lines to delete from the top of the message.");
    }
    if (d.topMode == 2 && d.topLine.isEmpty()) {
        *key = QStringLiteral("topLine");
        return QStringLiteral(
            "You have elected to delete some lines from the top of the message but you haven't "
            "specified a string where the deletion should end.  Please enter a string that when "
            "matched, the deletion of lines should stop.  For more information please select "
            "the help button.");
    }
    if (d.bottomMode == 1 && d.bottomCount < 1) {
        *key = QStringLiteral("bottomCount");
        return QStringLiteral(
            "You have elected to delete some lines from the bottom of the message but you "
            "haven't specified a positive number that you would like to delete.  Please specify "
            "a positive number of lines to delete from the bottom of the message.");
    }
    if (d.bottomMode == 2 && d.bottomLine.isEmpty()) {
        *key = QStringLiteral("bottomLine");
        return QStringLiteral(
            "You have elected to delete some lines from the bottom of the message but you "
            "haven't specified a string where the deletion should begin.  Please enter a string "
            "that when matched, all lines after that will be deleted.  For more information "
            "please select the help button.");
    }
    // What the page stores: a value of a choice that is not made stays at its reset value.
    struct Unused
    {
        bool unused;
        bool isSet;
        const char* name;
        const char* when;
    };
    const Unused unused[] = {
        { !between, !d.betweenTop.isEmpty(), "betweenTop", "removeBetween is set" },
        { !between, !d.betweenBottom.isEmpty(), "betweenBottom", "removeBetween is set" },
        { d.topMode != 1, d.topCount != 0, "topCount", "topMode is 1" },
        { d.topMode != 2, !d.topLine.isEmpty(), "topLine", "topMode is 2" },
        { d.bottomMode != 1, d.bottomCount != 0, "bottomCount", "bottomMode is 1" },
        { d.bottomMode != 2, !d.bottomLine.isEmpty(), "bottomLine", "bottomMode is 2" },
    };
    for (const Unused& u : unused) {
        if (u.unused && u.isSet) {
            *key = QLatin1String(u.name);
            return QStringLiteral("applies only when %1.").arg(QLatin1String(u.when));
        }
    }
    return QString();
}

// The checks of the detail page of an action's own type; `key` names the value at fault.
QString CheckOwnValues(int type, const CActionDetails& d, QString* key)
{
    auto blankOrEmpty = [](const QByteArray& text) { return text.trimmed().isEmpty(); };
    switch (type) {
    case ActionAddSubject:
        *key = QStringLiteral("addSubject");
        if (blankOrEmpty(d.addSubject))
            return QStringLiteral(
                "You have not specified a string to add to the subject.  Please enter a string "
                "you would like to add.");
        return QString();
    case ActionRemoveSubject:
        *key = QStringLiteral("removeSubject");
        if (blankOrEmpty(d.removeSubject))
            return QStringLiteral(
                "You have not specified a string to remove from the subject.  Please enter a "
                "string you would like to remove.");
        return QString();
    case ActionAddHeader:
        *key = QStringLiteral("headerName");
        if (blankOrEmpty(d.headerName))
            return QStringLiteral("You have not specified the first part of the X-header name.  Please enter "
                                  "something in the first box.  For example \"MY-HEADER\" would add "
                                  "\"X-MY-HEADER:\" to the message.");
        if (d.headerName.contains(' '))
            return QStringLiteral(
                "The first portion of the X-Header should not contain a space character.  Please "
                "remove any space characters from the first part of the header.");
        return QString();
    case ActionRemoveHeader:
        *key = QStringLiteral("headerToRemove");
        return CheckHeaderToRemove(d.headerToRemove);
    case ActionModifyBody:
        return CheckBodyEdit(d, key);
    case ActionForward: {
        *key = QStringLiteral("forwardAddresses");
        QString problem;
        CheckForwardAddresses(d.forwardAddresses, &problem);
        return problem;
    }
    case ActionReply:
        *key = QStringLiteral("responseFile");
        if (CRecipeDefinition::MakeResponseRemoteName(d.responseFile).isEmpty())
            return QStringLiteral("the reply has no response file.");
        return QString();
    case ActionSave: {
        *key = QStringLiteral("customMailbox");
        if (d.mailboxMode == 1 && blankOrEmpty(d.customMailbox))
            return QStringLiteral(
                "You have selected to specify your own mailbox name but haven't specified the name "
                "of the mailbox.  Please enter a name or select the default mailbox radio button.");
        if (d.mailboxMode == 0 && !d.customMailbox.isEmpty())
            return QStringLiteral("applies only when mailboxMode is 1.");
        // procmail reads an action line beginning with | as a pipe and with ! as a forward, while the
        // summary promises a mailbox of that name.
        const QByteArray name = d.customMailbox.trimmed();
        // A name with blanks inside is written in double quotes (procmail would cut it at the first
        // blank otherwise); a quote inside would end it early.
        if ((name.contains(' ') || name.contains('\t')) && (name.contains('"') || name.endsWith('\\')))
            return QStringLiteral(
                "The mailbox name \"%1\" holds blanks and a double quote or a final "
                "backslash, which cannot be written into a procmail recipe.  Please remove them.")
                .arg(QString::fromUtf8(d.customMailbox));
        if (name.startsWith('|') || name.startsWith('!'))
            return QStringLiteral(
                "The mailbox name \"%1\" begins with \"%2\", which procmail would take as a %3 "
                "instead of a mailbox.  Please enter the name of a mailbox.")
                .arg(QString::fromUtf8(d.customMailbox), QString(QChar::fromLatin1(name.at(0))),
                    name.startsWith('|') ? QStringLiteral("command to run") : QStringLiteral("forward"));
        return QString();
    }
    default:
        return QString();
    }
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
    if (HasLineBreakOrNul(m_name))
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
        if (HasLineBreakOrNul(c.customHeader))
            return fail(
                QStringLiteral("%1: the custom header contains a line break or a NUL character.").arg(where));
        if (HasLineBreakOrNul(c.size))
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
            if (!IsSize(c.size))
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
                if (HasLineBreakOrNul(d.*f.text))
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
        if (OnceOnly(type)) {
            for (int i = 0; i < j; ++i) {
                if (GetActionType(i) == type)
                    return failAt(where, QStringLiteral("type"),
                        QStringLiteral(
                            "an action of type %1 is already action %2; a recipe can do it only once.")
                            .arg(type)
                            .arg(i + 1));
            }
        }
        if (j < m - 1 && TakesMessage(type, d))
            return failAt(where, QStringLiteral("type"),
                QStringLiteral(
                    "this action takes the message away (delete, or forward, reply or save without "
                    "copy), so the actions after it would never run; it can only be the last action."));
        if (d.anotherAction != (j < m - 1 ? 1 : 0))
            return failAt(where, QStringLiteral("anotherAction"),
                QStringLiteral("is %1, but the action is %2.")
                    .arg(d.anotherAction)
                    .arg(j < m - 1 ? QStringLiteral("followed by another") : QStringLiteral("the last")));
        QString key;
        const QString problem = CheckOwnValues(type, d, &key);
        if (!problem.isEmpty())
            return failAt(where, key, problem);
    }
    return true;
}
