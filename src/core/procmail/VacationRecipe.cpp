#include "core/procmail/VacationRecipe.h"

#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/ProcmailText.h"
#include "core/settings/SettingsTable.h"

namespace {

constexpr int SelectionCount = 5;

const char* const Conditions[SelectionCount] = {
    "* ^(To|Cc):.*%1\n",
    "* ^TO_%1\n",
    "* ^TO%1\n",
    "* ^To:.*%1\n",
    nullptr,
};

const char* const HeaderPhrases[SelectionCount] = {
    "\"To:\" or \"Cc:\" header",
    "\"TO_\" header (using the TO_ macro)",
    "\"TO\" header (using the TO macro)",
    "\"To:\" header",
    nullptr,
};

int clamp(int selection)
{
    return selection >= 0 && selection < SelectionCount ? selection : 0;
}

QByteArray dayNumber(const QDate& day)
{
    return day.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

} // namespace

QByteArray VacationRecipe::Name()
{
    return "ZEPH_Vacation";
}

QByteArray VacationRecipe::ReplyListName()
{
    return "zeph_vacation_reply.txt";
}

QByteArray VacationRecipe::BuildBlock(const Options& options)
{
    const int selection = clamp(options.selection);
    const QByteArray ret = ReplyAddress(options);
    // Inside the double-quoted formail arguments a quote, `$` or backquote of the user's own name
    // or address would end the word or run on the host, and no reply would go out.
    const QByteArray quotedRet = ProcmailText::QuoteInDoubleQuotes(ret);

    QByteArray comment;
    if (HeaderPhrases[selection])
        comment = "If there is a " + QByteArray(HeaderPhrases[selection]) + " containing the string:\n"
            + options.address + "\n\n";
    else
        comment = "On all messages, ";
    // No final line break: the block adds exactly one "#  " line after the text.
    comment += "procmail will send a reply using\n" + options.localPath
        + "\nas your response.  This is a vacation recipe so it will only\nsend one reply to each address.";

    const bool nested = Conditions[selection] != nullptr;
    const QByteArray t = nested ? "\t" : "";
    QByteArray body;
    if (nested)
        body = ":0\n"
            + QByteArray(Conditions[selection]).replace("%1", ProcmailText::RegexEscape(options.address))
            + "{\n\tREPLY_TO=`formail -rtzxTo:`\n\t:0\n";
    else
        body = "REPLY_TO=`formail -rtzxTo:`\n:0\n";
    // A '+' or '.' of the address must match itself, or the guard against our own replies fails.
    body += t + "* !^X-Loop: " + ProcmailText::RegexEscape(ret) + "\n";
    body += t + "* !^FROM_DAEMON\n";
    // The window is tested before the list check, so a sender outside it is not recorded and
    // still gets a reply once the vacation starts. date(1) answers in the host's time zone.
    if (options.firstDay.isValid())
        body += t + "* ? test `date +%Y%m%d` -ge " + dayNumber(options.firstDay) + "\n";
    if (options.lastDay.isValid())
        body += t + "* ? test `date +%Y%m%d` -le " + dayNumber(options.lastDay) + "\n";
    body += t + "* ! ? fgrep -ix \"$REPLY_TO\" $ZEPH_DIR/zeph_vacation_reply.txt\n";
    body += t + "{\n";
    body += t + "\t:0hciw:\n";
    body += t + "\t| echo \"$REPLY_TO\" >> $ZEPH_DIR/zeph_vacation_reply.txt\n\n";
    body += t + "\t:0hacw\n";
    body += t + (options.oldProcmail ? "\t| (formail -rt -A\"X-Loop: " : "\t| (formail -r -A\"X-Loop: ")
        + quotedRet + "\" \\\n";
    body += t + "\t-I\"From: " + ProcmailText::QuoteInDoubleQuotes(options.name) + "'s Mailer-Daemon <"
        + quotedRet + ">\" \\\n";
    body += t + "\t-I\"Precedence: junk\" ; \\\n";
    body += t + "\tcat $ZEPH_DIR/" + options.remoteName + " \\\n";
    body += t + "\t) | $SENDMAIL $SENDMAILFLAGS -t\n";
    body += t + "}\n";
    if (nested)
        body += "}\n";
    return CRecipeFile::BuildRecipeBlock(Name(), comment, body);
}

QByteArray VacationRecipe::ReplyAddress(const Options& options)
{
    QByteArray ret = options.returnAddress;
    ret.replace('<', QByteArray()).replace('>', QByteArray());
    return ret.isEmpty() ? QByteArray(Settings::PlaceholderAddress) : ret;
}

QString VacationRecipe::RemoteName(const QString& localPath)
{
    // The reply action's rule: the name goes unquoted into "cat" on the host.
    return QString::fromUtf8(CRecipeDefinition::MakeResponseRemoteName(localPath.toUtf8()));
}

QByteArray VacationRecipe::PreviewReply(const Options& options, const QByteArray& responseText)
{
    const QByteArray ret = ReplyAddress(options);
    return "From: " + options.name + "'s Mailer-Daemon <" + ret + ">\n"
        + "To: (the sender)\nSubject: Re: (the subject of the sender's message)\nX-Loop: " + ret
        + "\nPrecedence: junk\n\n" + responseText;
}

QString VacationRecipe::CheckDates(const QDate& firstDay, const QDate& lastDay)
{
    if (firstDay.isValid() && lastDay.isValid() && lastDay < firstDay)
        return QStringLiteral(
            "The last day of the vacation comes before its first day.  Please correct the dates.");
    return QString();
}
