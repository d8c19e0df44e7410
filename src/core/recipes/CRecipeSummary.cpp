#include "core/recipes/CRecipeSummary.h"

#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/ProcmailText.h"

namespace {

QByteArray Introduction(const CRecipeDefinition& d, int k)
{
    if (d.StartsOrGroup(k)) {
        return k == 0
            ? QByteArray("If at least one of the following conditions match:\n(Start of grouping for 'or' "
                         "conditions)\n")
            : QByteArray("\nAnd if at least one of the following conditions match:\n(Start of grouping for "
                         "'or' conditions)\n");
    }
    if (d.InOrGroup(k))
        return "Or this condition:\n";
    return k == 0 ? QByteArray("If this condition matches:\n")
                  : QByteArray("And if this condition matches:\n");
}

// Appends the description of condition k (one segment, or two for an unknown field).
void AddDescription(const CRecipeDefinition& d, int k, QList<QByteArray>* segments)
{
    QByteArray e = ProcmailText::NormaliseLines(d.GetEntries(k));
    e.replace("\r\n", "\nOR\n");
    const bool inverted = d.IsInverted(k);
    const int field = d.GetField(k);
    const CRecipeCondition& c = d.Conditions().at(k);
    QByteArray h = c.HeaderName();
    QByteArray m;
    if (field == CRecipeCondition::To && h.isEmpty())
        h = "# UNEXPECTED ERROR!  DO NOT USE THIS RECIPE!";
    else if (field == CRecipeCondition::To && c.toKind != CRecipeCondition::ToHeader)
        m = " (using the \"" + h + "\" macro)";
    if ((field >= 0 && field <= 6) || field == 11) {
        QByteArray text = "If there is " + QByteArray(inverted ? "NOT " : "") + "a \"" + h + "\" header" + m;
        if (!e.isEmpty())
            text += " containing the string:\n" + e;
        segments->append(text + "\n");
    } else if (field == 7) {
        segments->append("If any line in the message header "
            + QByteArray(inverted ? "does NOT contain the string:\n" : "contains the string:\n") + e + "\n");
    } else if (field == 8) {
        segments->append("If the message body "
            + QByteArray(inverted ? "does NOT contain the string:\n" : "contains the string:\n") + e + "\n");
    } else if (field == 9) {
        segments->append("If the size of the message "
            + QByteArray(inverted ? "is NOT greater than " : "is greater than ") + "\n" + d.GetSize(k)
            + " bytes\n");
    } else if (field == 10) {
        segments->append("On all messages\n");
    } else {
        segments->append(QByteArray());
        segments->append("\n\n# UNEXPECTED ERROR, DO NOT USE THIS FILTER! PLEASE START OVER.\n\n");
    }
}

QByteArray BodyPhrase(const CRecipeDefinition& d, int j)
{
    CBodyEdit edit;
    if (!d.GetBodyEdit(j, &edit))
        return "# UNEXPECTED ERROR! DO NOT USE THIS RECIPE";
    QList<QByteArray> parts;
    if (edit.removeBetween)
        parts.append("remove lines in the message body starting with the line:\n" + edit.betweenTop
            + "\nending with the line(inclusive):\n" + edit.betweenBottom);
    if (edit.topCount > 0)
        parts.append("remove the top " + QByteArray::number(edit.topCount) + " lines of the message body.");
    else if (!edit.topLine.isEmpty())
        parts.append("remove all lines in the message body before the line:\n" + edit.topLine);
    if (edit.bottomCount > 0)
        parts.append(
            "remove the bottom " + QByteArray::number(edit.bottomCount) + " lines of the message body.");
    else if (!edit.bottomLine.isEmpty())
        parts.append("remove all lines in the message body after the line:\n" + edit.bottomLine);
    return parts.join("\nAND\n");
}

QByteArray ReplyPhrase(const CRecipeDefinition& d, int j)
{
    static const char* const sentences[] = {
        "",
        "  The original message headers will be included before your response.",
        "  The original message headers will be included after your response.",
        "  The original message body will be included before your response.",
        "  The original message body will be included after your response.",
        "  The original message headers and body will be included before your response.",
        "  The original message headers and body will be included after your response.",
    };
    const int mode = d.GetReplyMode(j);
    if (mode < 0 || mode > 6)
        return "# Unexpected error!  Please don't use this recipe!";
    return "send a reply using\n" + d.GetResponseFile(j) + "\nas your response." + sentences[mode];
}

QByteArray ActionSummary(const CRecipeDefinition& d)
{
    QByteArray text;
    for (int j = 0; j < d.GetActionCount(); ++j) {
        if (j > 0)
            text += "\nAND\n";
        if (d.IsCopy(j))
            text += "On a COPY of the message ";
        text += "Procmail will ";
        const CActionDetails& a = d.Action(j);
        switch (d.GetActionType(j)) {
        case ActionAddSubject:
            text += "add to the Subject: line the string:\n" + a.addSubject;
            break;
        case ActionRemoveSubject:
            text += "remove from the Subject: line the string:\n" + a.removeSubject;
            break;
        case ActionAddHeader:
            text += "add the following header to the message:\nX-" + a.headerName + ": " + a.headerValue;
            break;
        case ActionRemoveHeader:
            text += "remove all headers that begin with:\n" + a.headerToRemove;
            break;
        case ActionModifyBody:
            text += BodyPhrase(d, j);
            break;
        case ActionExitCode:
            text += "set the exitcode to " + QByteArray::number(a.exitCode) + ".";
            break;
        case ActionDelete:
            text += "DELETE the message.";
            break;
        case ActionForward:
            text += "forward the message to the following address(es):\n"
                + ProcmailText::NormaliseLines(a.forwardAddresses);
            text.replace("\r\n", "\n");
            break;
        case ActionReply:
            text += ReplyPhrase(d, j);
            break;
        case ActionSave: {
            const QByteArray mailbox = d.GetMailbox(j);
            if (mailbox == "$DEFAULT")
                text += "save it to your default mailbox.";
            else
                text += "save it to a mailbox named " + mailbox;
            break;
        }
        default:
            return "# UNEXPECTED ERROR, DO NOT USE THIS FILTER! PLEASE START OVER.";
        }
    }
    return text;
}

QByteArray LoggingSummary(const CRecipeDefinition& d)
{
    QByteArray text;
    if (d.HasNameHeader())
        text += "Also adding a header \"X-ZEPH-RECIPE: " + d.GetName() + "\"\n\n";
    switch (d.GetLoggingLevel()) {
    case 0:
        text += "There will be no logging for this recipe.";
        break;
    case 1:
        text += "There will be standard logging for this recipe.";
        break;
    case 2:
    case 3:
        text += "There will be extended logging for this recipe.";
        break;
    default:
        break;
    }
    return text;
}

} // namespace

QList<QByteArray> CRecipeSummary::BuildSummarySegments(const CRecipeDefinition& d)
{
    QList<QByteArray> segments;
    segments.append(QByteArray());
    for (int k = 0; k < d.GetConditionCount(); ++k) {
        segments.append(Introduction(d, k));
        AddDescription(d, k, &segments);
        if (d.EndsOrGroup(k)) {
            segments.append("End of grouping for 'or' conditions\n\n");
            segments.append(QByteArray());
        }
    }
    segments.append(QByteArray());
    if (segments.size() % 2 == 1)
        segments.append(QByteArray());
    segments.append("\n\n" + ActionSummary(d));
    segments.append(QByteArray());
    segments.append("\n\n" + LoggingSummary(d));
    segments.append(QByteArray());
    return segments;
}

QByteArray CRecipeSummary::BuildSummaryText(const CRecipeDefinition& d)
{
    QByteArray text;
    for (const QByteArray& segment : BuildSummarySegments(d))
        text += segment;
    return text;
}
