#include "core/recipes/CActionBuilder.h"

#include "core/recipes/CConditionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/ProcmailText.h"
#include "core/settings/Profile.h"

namespace {

// Error lines end with their line feed, so the next line of the recipe never lands on the comment.
const QByteArray UnexpectedFilterError("# UNEXPECTED ERROR, DO NOT USE THIS FILTER! PLEASE START OVER.\n");
const QByteArray UnexpectedBodyError("# UNEXPECTED ERROR!  DO NOT USE THIS RECIPE!\n");

// procmail splits a folder line at blanks and saves into the first word only ("my box" goes to
// "my"); a name with blanks inside is written in double quotes, which procmail reads as one name
// and in which $VARIABLES still expand. The rule set refuses a double quote in such a name.
QByteArray FolderLine(const QByteArray& mailbox)
{
    const QByteArray name = mailbox.trimmed();
    return name.contains(' ') || name.contains('\t') ? "\"" + name + "\"" : mailbox;
}

QByteArray Number(int value)
{
    return QByteArray::number(value);
}

const QByteArray EnvelopeBlock("\t:0\n\t* ^^From.*\\/[^ \t].*\n\t{ ZEPH_E_FROM=$MATCH }\n\n");
const QByteArray SubjectBlock("\t:0\n\t* ^Subject:.*\\/[^ \t].*\n\t{ ZEPH_SUBJECT=$MATCH }\n\n");
const QByteArray ToBlock("\t:0\n\t* ^To:.*\\/[^ \t].*\n\t{ ZEPH_TO=$MATCH }\n\n");
const QByteArray FromBlock("\t:0\n\t* ^From:.*\\/[^ \t].*\n\t{ ZEPH_FROM=$MATCH }\n\n");

// Forward addresses cut into lines of about 60 characters, blanks between addresses.
QByteArray AddressList(const QByteArray& addresses)
{
    return ProcmailText::WrapList(ProcmailText::NormaliseLines(addresses), 60, " ", "\t\t") + "\n";
}

} // namespace

RecipeTextSettings RecipeTextSettings::FromProfile()
{
    RecipeTextSettings s;
    s.maildirFormat = GetSetting(Settings::MaildirFormat) != 0;
    s.returnAddress = GetSettingString(Settings::ReturnEmailAddress).toUtf8();
    s.name = GetSettingString(Settings::PersonalName).toUtf8();
    s.outOfMemory = GetSetting(Settings::OutOfMemoryError) != 0;
    return s;
}

QByteArray CActionBuilder::ReturnAddress(const RecipeTextSettings& settings)
{
    QByteArray r = settings.returnAddress;
    r.replace('<', QByteArray());
    r.replace('>', QByteArray());
    if (r.isEmpty())
        r = Settings::PlaceholderAddress;
    return r;
}

QByteArray CActionBuilder::LoggingLines(const CRecipeDefinition& d)
{
    const QByteArray name = ProcmailText::EscapeInDoubleQuotes(d.GetName());
    switch (d.GetLoggingLevel()) {
    case 0:
        return d.Delivers() ? QByteArray("\tLOGABSTRACT=no\n\n") : QByteArray();
    case 2:
        return ToBlock + FromBlock + "LOG=\"RECIPE: " + name + "\nTO: $ZEPH_TO\nFROM: $ZEPH_FROM $NL\"\n\n";
    case 3:
        return EnvelopeBlock + SubjectBlock + ToBlock + FromBlock + "LOG=\"RECIPE: " + name
            + "\nTO: $ZEPH_TO\nFROM: $ZEPH_FROM\nFrom $ZEPH_E_FROM\n Subject: $ZEPH_SUBJECT\n  Folder: "
              "$NL\"\n\n";
    default:
        return QByteArray();
    }
}

bool CActionBuilder::IsSimple(const CRecipeDefinition& d)
{
    if (!LoggingLines(d).isEmpty())
        return false;
    const int m = d.GetActionCount();
    bool headerOnly = m > 0;
    for (int j = 0; j < m; ++j) {
        const int type = d.GetActionType(j);
        if (type != ActionRemoveSubject && type != ActionAddHeader && type != ActionRemoveHeader)
            headerOnly = false;
    }
    if (headerOnly)
        return true;
    return m == 1 && (d.GetActionType(0) == ActionDelete || d.GetActionType(0) == ActionSave)
        && !d.HasNameHeader();
}

QByteArray CActionBuilder::BodyText(const CRecipeDefinition& d, int j)
{
    CBodyEdit edit;
    if (!d.GetBodyEdit(j, &edit))
        return UnexpectedBodyError;
    // The lines are sed patterns inside single quotes.
    const QByteArray top = ProcmailText::QuoteSedPattern(edit.topLine);
    const QByteArray bottom = ProcmailText::QuoteSedPattern(edit.bottomLine);
    const QByteArray s = edit.removeBetween ? "-e '/" + ProcmailText::QuoteSedPattern(edit.betweenTop) + "/,/"
            + ProcmailText::QuoteSedPattern(edit.betweenBottom) + "/d' "
                                            : QByteArray();
    const QByteArray n1 = Number(edit.bottomCount + 1);
    const QByteArray t = Number(edit.topCount);
    switch (edit.modeCode) {
    case 0:
        if (!edit.removeBetween)
            return UnexpectedBodyError;
        return "\t:0bfwi\n\t| sed " + s + "\n\n";
    case 1:
        return "\t:0Bbfwi\n\t* 1^1 ^.*$\n\t* -" + n1 + "^0\n\t| sed " + s + "-e \"$=\"q\n\n";
    case 2:
        return "\t:0bfwi\n\t| sed " + s + "-e '/" + bottom + "/q'\n\n";
    case 3:
        return "\t:0bfwi\n\t| sed " + s + "-e'1," + t + "d'\n\n";
    case 4:
        return "\t:0Bbfwi\n\t* 1^1 ^.*$\n\t* -" + n1 + "^0\n\t| sed " + s + "-e 1," + t + "d -e \"$=\"q\n\n";
    case 5:
        return "\t:0bfwi\n\t| sed " + s + "-e 1," + t + "d -e '/" + bottom + "/q'\n\n";
    case 6:
        return "\t:0bfwi\n\t| sed " + s + "-ne '/" + top + "/,$p'\n\n";
    case 7:
        return "\t:0Bbfwi\n\t* -" + n1 + "^0\n\t* 1^1 ^.*$\n\t| sed " + s + "-ne '/" + top
            + "/,$p' -e \"$=\"q\n\n";
    default:
        return "\t:0bfwi\n\t| sed " + s + "-ne '/" + top + "/,/" + bottom + "/p'\n\n";
    }
}

QByteArray CActionBuilder::ForwardText(const CRecipeDefinition& d, int j, const RecipeTextSettings& settings)
{
    const QByteArray r = ReturnAddress(settings);
    const QByteArray rq = ProcmailText::EscapeInDoubleQuotes(r);
    const bool copy = d.IsCopy(j);
    QByteArray text = copy ? "\t:0cw\n" : "\t:0w\n";
    text += "\t* !^X-Loop: " + ProcmailText::RegexEscape(r) + "\n";
    text += "\t| formail -A\"X-Loop: " + rq + "\" \\\n";
    text += "\t| $SENDMAIL $SENDMAILFLAGS " + AddressList(d.GetForwardAddresses(j)) + "\n\n";
    text += copy ? "\t:0Efhw\n" : "\t:0fhw\n";
    text += "\t| formail -A \"X-ZEPH: No forward, potential loop\"\n\n";
    return text;
}

QByteArray CActionBuilder::ReplyText(const CRecipeDefinition& d, int j, const RecipeTextSettings& settings)
{
    // The address and the name stand inside double quotes below; the condition takes the address
    // as a pattern.
    const QByteArray r = ReturnAddress(settings);
    const QByteArray rq = ProcmailText::EscapeInDoubleQuotes(r);
    const QByteArray u = ProcmailText::EscapeInDoubleQuotes(settings.name);
    const QByteArray f = d.GetResponseRemoteName(j);
    const bool o = settings.outOfMemory;
    const bool copy = d.IsCopy(j);
    const QByteArray fromLine = "\t\t-I\"From: " + u + "'s Mailer-Daemon <" + rq + ">\" \\\n";

    QByteArray modeLines;
    const QByteArray h1 = o ? QByteArray("\t\tHEAD=`formail -X \"\" | sed 's/^/> /'`\n\n")
                            : QByteArray("\t\t:0h\n\t\tHEAD=| sed 's/^/> /'\n\n");
    const QByteArray h5 = o
        ? "\t\tHEAD=`formail -rt -A\"X-Loop: " + rq + "\" \\\n" + fromLine + "\t\t-I\"Precedence: junk\"`\n\n"
        : "\t\t:0hi\n\t\tHEAD=| formail -rt -A\"X-Loop: " + rq + "\" \\\n" + fromLine
            + "\t\t-I\"Precedence: junk\" \n\n";
    const QByteArray p0 = "\t\t:0hw\n\t\t| (formail -rt -A\"X-Loop: " + rq + "\" \\\n" + fromLine
        + "\t\t-I\"Precedence: junk\"; \\\n";
    const QByteArray e = "\t\t) | $SENDMAIL $SENDMAILFLAGS -t\n";
    const QByteArray cat = "\t\tcat $ZEPH_DIR/" + f;
    // The backquoted HEAD loses its trailing empty line; the echo puts it back.
    const QByteArray echoHead
        = o ? QByteArray("\t\t| (echo \"$HEAD\"; echo; \\\n") : QByteArray("\t\t| (echo \"$HEAD\"; \\\n");
    switch (d.GetReplyMode(j)) {
    case 0:
        modeLines = p0 + cat + " \\\n" + e;
        break;
    case 1:
        modeLines = h1 + p0 + "\t\techo \"$HEAD\"; \\\n" + cat + " \\\n" + e;
        break;
    case 2:
        modeLines = h1 + p0 + cat + "; \\\n" + "\t\techo \"$HEAD\" \\\n" + e;
        break;
    case 3:
        modeLines = "\t\t:0w\n\t\t| (formail -rtk -p \"> \" -A\"X-Loop: " + rq + "\" \\\n" + fromLine
            + "\t\t-I\"Precedence: junk\"; \\\n" + cat + " \\\n" + e;
        break;
    case 4:
        modeLines = "\t\t:0w\n\t\t| formail -rtk -A\"X-Loop: " + rq + "\" \\\n" + fromLine
            + "\t\t-I\"Precedence: junk\" \\\n" + "\t\t| sed -e '1,/^$/!b' -e '/^$/r'\"$ZEPH_DIR/" + f
            + "\" \\\n" + "\t\t| $SENDMAIL $SENDMAILFLAGS -t\n";
        break;
    case 5:
        modeLines = h5 + "\t\t:0w\n" + echoHead + "\t\tsed -e 's/^/> /'; \\\n" + cat + " \\\n" + e;
        break;
    case 6:
        modeLines = h5 + "\t\t:0w\n" + echoHead + cat + "; \\\n" + "\t\tsed -e 's/^/> /' \\\n" + e;
        break;
    default:
        return "## Unexpected error!  Please don't use this recipe!\n";
    }

    QByteArray text = "\tREPLY_TO=`formail -rtzxTo:`\n";
    text += "\tDATE=`date +%D`\n";
    text += copy ? "\t:0c\n" : "\t:0\n";
    text += "\t* !^X-Loop: " + ProcmailText::RegexEscape(r) + "\n";
    text += "\t* !^FROM_DAEMON\n";
    text += "\t* ! ? fgrep -ix \"$REPLY_TO $DATE\" $ZEPH_DIR/zeph_reply.txt\n";
    text += "\t{\n";
    text += "\t\tLOCKFILE=$ZEPH_DIR/zeph_reply.txt$LOCKEXT\n";
    if (o)
        text += "\t\tCURRENT=`grep \"$DATE\" $ZEPH_DIR/zeph_reply.txt`\n";
    else
        text += "\t\t:0hi\n\t\tCURRENT=| grep \"$DATE\" $ZEPH_DIR/zeph_reply.txt\n";
    text += "\t\tDUMMY=`(echo \"$REPLY_TO $DATE\"; echo \"$CURRENT\") > $ZEPH_DIR/zeph_reply.txt`\n";
    text += "\t\tLOCKFILE\n\n";
    text += modeLines;
    text += "\t}\n";
    text += copy ? "\t:0Efhw\n" : "\t:0fhw\n";
    text += "\t| formail -A \"X-ZEPH: No reply, potential loop\"\n\n";
    return text;
}

QByteArray CActionBuilder::BuildRecipeText(const CRecipeDefinition& d, const RecipeTextSettings& settings)
{
    const QByteArray& point = CConditionBuilder::HeadFlagsPoint;
    const QByteArray& headerEdit = CConditionBuilder::HeaderEditPoint;
    const CConditionBuilder::Result conditions = CConditionBuilder::BuildConditions(d, point);
    const bool simple = IsSimple(d);

    QByteArray text = conditions.text;
    if (!simple)
        text += "{\n";
    text += LoggingLines(d);
    text += headerEdit;

    QByteArray formailArgs;
    if (d.HasNameHeader())
        formailArgs = " -A\"X-ZEPH-RECIPE: " + ProcmailText::EscapeInDoubleQuotes(d.GetName()) + "\"";
    QByteArray subjectSed;
    bool subjectAdd = false;
    bool unexpected = false;

    for (int j = 0; j < d.GetActionCount() && !unexpected; ++j) {
        const bool copy = d.IsCopy(j);
        const CActionDetails& a = d.Action(j);
        switch (d.GetActionType(j)) {
        case ActionAddSubject:
            subjectAdd = true;
            formailArgs += " -I\"Subject: " + ProcmailText::QuoteInDoubleQuotes(a.addSubject) + " $SUBJ\"";
            break;
        case ActionRemoveSubject:
            subjectSed = "| sed '/^Subject:/s/" + ProcmailText::QuoteSedPattern(a.removeSubject) + "//'";
            break;
        case ActionAddHeader:
            formailArgs += " -A\"X-" + ProcmailText::QuoteInDoubleQuotes(a.headerName) + ": "
                + ProcmailText::QuoteInDoubleQuotes(a.headerValue) + "\"";
            break;
        case ActionRemoveHeader:
            formailArgs += " -I \"" + ProcmailText::QuoteInDoubleQuotes(a.headerToRemove) + "\"";
            break;
        case ActionModifyBody:
            text += BodyText(d, j);
            break;
        case ActionExitCode:
            text += "\tEXITCODE=" + Number(a.exitCode) + "\n\n";
            break;
        case ActionDelete:
            text += simple ? QByteArray("/dev/null\n\n") : QByteArray("\t:0\n\t/dev/null\n\n");
            break;
        case ActionForward:
            text += ForwardText(d, j, settings);
            break;
        case ActionReply:
            text += ReplyText(d, j, settings);
            break;
        case ActionSave: {
            const QByteArray lock = settings.maildirFormat ? QByteArray() : QByteArray(":");
            if (simple)
                text.replace(point, (copy ? "c" : "") + lock + "\n");
            else
                text += (copy ? "\t:0c" : "\t:0") + lock + "\n\t";
            text += FolderLine(d.GetMailbox(j)) + "\n\n";
            break;
        }
        default:
            text = UnexpectedFilterError;
            unexpected = true;
            break;
        }
    }

    if (!unexpected) {
        if (formailArgs.isEmpty() && subjectSed.isEmpty()) {
            text.replace(headerEdit, QByteArray());
        } else if (formailArgs.isEmpty()) {
            if (simple) {
                text.replace(point, "fhw\n");
                text += subjectSed + "\n\n";
                text.replace(headerEdit, QByteArray());
            } else {
                text.replace(headerEdit, "\t:0fhw\n\t" + subjectSed + "\n\n");
            }
        } else {
            if (simple) {
                text.replace(point, "fhw\n");
                text += "| formail" + formailArgs + " " + subjectSed + "\n\n";
                text.replace(headerEdit, QByteArray());
            } else {
                QByteArray edits;
                if (subjectAdd)
                    edits += "\t:0\n\t* ^Subject:.*\\/[^ \t].*\n\t{ SUBJ=$MATCH }\n\n";
                edits += "\t:0fhw\n\t| formail" + formailArgs + " " + subjectSed + "\n\n";
                text.replace(headerEdit, edits);
            }
        }
        if (!simple)
            text += "}\n";
    }

    text.replace(point, "\n");

    if (d.IsAllMessages() && !simple && text.startsWith(":0\n{") && text.endsWith("\n}\n")) {
        text = text.mid(4, text.size() - 7);
        text.replace("\n\t", "\n");
        if (!text.endsWith('\n'))
            text += "\n";
    }
    for (int i = 0; i < conditions.nesting; ++i)
        text += "}\n";
    return text;
}
