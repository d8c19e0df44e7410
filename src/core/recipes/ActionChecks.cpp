#include "core/recipes/ActionChecks.h"

#include "core/recipes/CRecipeDefinition.h"
#include "core/settings/SettingsTable.h"

#include <algorithm>

namespace ActionChecks {

namespace {

    ActionProblem Problem(const QString& key, const QString& text, const QString& caption,
        Prompt::Icon icon = Prompt::Information)
    {
        return ActionProblem { key, text, caption, icon };
    }

    bool BlankOrEmpty(const QByteArray& text)
    {
        return text.trimmed().isEmpty();
    }

    // Forward addresses go unquoted onto the sendmail command line: each must be one plain word.
    ActionProblem CheckForwardAddresses(const QByteArray& addresses)
    {
        const QString key = QStringLiteral("forwardAddresses");
        QByteArray unified = addresses;
        unified.replace("\r\n", "\n");
        unified.replace('\r', '\n');
        const QList<QByteArray> lines = unified.split('\n');
        if (std::all_of(lines.begin(), lines.end(), BlankOrEmpty))
            return Problem(key,
                QStringLiteral(
                    "You have not specified an address to forward the message to.  Please enter an "
                    "address in the box."),
                QStringLiteral("Enter address"));
        if (unified.contains('<') || unified.contains('>')) {
            const QString address = QLatin1String(Settings::PlaceholderAddress);
            return Problem(key,
                QStringLiteral("You cannot use 'angle brackets' i.e. '<' or '>'.  Please remove all angle "
                               "brackets from the address(es) you want to forward the message to.  The "
                               "address only should be entered.  For example, enter %1 and not <%1>.")
                    .arg(address),
                QStringLiteral("Remove angle brackets"), Prompt::Warning);
        }
        for (const QByteArray& rawLine : lines) {
            const QByteArray line = rawLine.trimmed();
            if (line.isEmpty())
                continue;
            bool bad = line.startsWith('-');
            for (char c : line) {
                if (c == ' ' || c == '\t' || c == '\0' || QByteArray(";|&$`()'\"\\").contains(c))
                    bad = true;
            }
            if (bad)
                return Problem(key,
                    QStringLiteral("The address \"%1\" cannot be used.  An address must not contain blanks "
                                   "or any of ; | & $ ` ( ) ' \" \\ and must not begin with \"-\".")
                        .arg(QString::fromUtf8(line)),
                    QStringLiteral("Invalid address"), Prompt::Warning);
        }
        return ActionProblem();
    }

    ActionProblem CheckHeaderToRemove(const QByteArray& typed)
    {
        const QString key = QStringLiteral("headerToRemove");
        QByteArray t = typed;
        while (!t.isEmpty() && (t.at(0) == ' ' || t.at(0) == '\t'))
            t.remove(0, 1);
        if (t.isEmpty())
            return Problem(key,
                QStringLiteral(
                    "You have not specified a header to remove.  Please enter the name of a header you "
                    "would like to remove (or hit the \"Back\" button to deselect \"Remove header\")."),
                QStringLiteral("Enter header name to remove"));
        // formail refuses a field name with a blank or a tab anywhere, leading ones included, and the
        // recipe then removes nothing; a leading blank would also slip past the X-Loop test below.
        qsizetype blank = -1;
        for (qsizetype i = 0; i < typed.size() && blank < 0; ++i) {
            if (typed.at(i) == ' ' || typed.at(i) == '\t')
                blank = i;
        }
        if (blank >= 0)
            return Problem(key,
                (blank == typed.size() - 1
                        ? QStringLiteral(
                            "The header to remove that you entered has a trailing space character.")
                        : QStringLiteral("The header to remove you entered contains a space character."))
                    + QStringLiteral("  Please remove it.  Your entry should not contain a space."),
                QStringLiteral("Remove space characters"));
        if (t.chopped(1).contains(':'))
            return Problem(key,
                QStringLiteral(
                    "The header to remove that you entered has a colon character (\":\") in a position "
                    "other than the final character.  Please remove it, the only colon character (if "
                    "any) should be the final character in the header to remove."),
                QStringLiteral("Extra colon character"));
        const QByteArray lower = typed.toLower();
        if (QByteArray("x-loop:").startsWith(lower))
            return Problem(key,
                QStringLiteral(
                    "It appears you are trying to remove a \"X-Loop\" header.  This should NOT be done.  "
                    "Please adjust the string for the header to remove (or hit the \"Back\" button to "
                    "deselect \"Remove header\").  Also remember that trying to remove all \"X\" headers "
                    "by using \"X\" will remove all X headers, including X-Loop headers."),
                QStringLiteral("X-Loop should not be removed!"), Prompt::Warning);
        if (QByteArray("from").startsWith(lower))
            return Problem(key,
                QStringLiteral(
                    "It appears you are trying to remove a \"From \" header.  This should not be done.  "
                    "Please adjust the string for the header to remove (or hit the \"Back\" button to "
                    "deselect \"Remove header\").  If you want to remove the \"From:\" header include a "
                    "colon after the word \"From\".  (There is another header \"From \" that you normally "
                    "don't see however removing it can create problems.)"),
                QStringLiteral("\"From \" header should not be removed!"), Prompt::Warning);
        return ActionProblem();
    }

    ActionProblem CheckBodyEdit(const CActionDetails& d)
    {
        const bool between = d.removeBetween != 0;
        if (!between && d.topMode == 0 && d.bottomMode == 0)
            return Problem(QStringLiteral("removeBetween"),
                QStringLiteral(
                    "You haven't specified any modifications to be made to the message body.  If you "
                    "don't want to make any changes to the message body please hit the \"Back\" button "
                    "and unselect \"Modify message body\".  Otherwise please specify what modification "
                    "you would like to make."),
                QStringLiteral("No modifications specified"));
        // An empty sed pattern means "the last pattern used", which sed refuses here.
        if (between && d.betweenTop.isEmpty())
            return Problem(QStringLiteral("betweenTop"),
                QStringLiteral("You have elected to remove a section from the message body but you haven't "
                               "specified the top starting string.  Please enter a string in the box."),
                QStringLiteral("No top string specified"));
        if (between && d.betweenBottom.isEmpty())
            return Problem(QStringLiteral("betweenBottom"),
                QStringLiteral("You have elected to remove a section from the message body but you haven't "
                               "specified the bottom (end) string.  Please enter a string in the box."),
                QStringLiteral("No bottom string specified"));
        // A count of 0 would write "1,0d", which sed reads as "line 1".
        if (d.topMode == 1 && d.topCount < 1)
            return Problem(QStringLiteral("topCount"),
                QStringLiteral(
                    "You have elected to delete some lines from the top of the message but you haven't "
                    "specified a positive number that you would like to delete.  Please specify a "
                    "positive number of lines to delete from the top of the message."),
                QStringLiteral("No number specified"));
        if (d.topMode == 2 && d.topLine.isEmpty())
            return Problem(QStringLiteral("topLine"),
                QStringLiteral(
                    "You have elected to delete some lines from the top of the message but you haven't "
                    "specified a string where the deletion should end.  Please enter a string that when "
                    "matched, the deletion of lines should stop.  For more information please select "
                    "the help button."),
                QStringLiteral("No string specified"));
        if (d.bottomMode == 1 && d.bottomCount < 1)
            return Problem(QStringLiteral("bottomCount"),
                QStringLiteral(
                    "You have elected to delete some lines from the bottom of the message but you "
                    "haven't specified a positive number that you would like to delete.  Please specify "
                    "a positive number of lines to delete from the bottom of the message."),
                QStringLiteral("No number specified"));
        if (d.bottomMode == 2 && d.bottomLine.isEmpty())
            return Problem(QStringLiteral("bottomLine"),
                QStringLiteral(
                    "You have elected to delete some lines from the bottom of the message but you "
                    "haven't specified a string where the deletion should begin.  Please enter a string "
                    "that when matched, all lines after that will be deleted.  For more information "
                    "please select the help button."),
                QStringLiteral("No string specified"));
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
            if (u.unused && u.isSet)
                return Problem(QLatin1String(u.name),
                    QStringLiteral("applies only when %1.").arg(QLatin1String(u.when)),
                    QStringLiteral("Invalid value"));
        }
        return ActionProblem();
    }

    ActionProblem CheckMailbox(const CActionDetails& d)
    {
        const QString key = QStringLiteral("customMailbox");
        if (d.mailboxMode == 1 && BlankOrEmpty(d.customMailbox))
            return Problem(key,
                QStringLiteral(
                    "You have selected to specify your own mailbox name but haven't specified the name "
                    "of the mailbox.  Please enter a name or select the default mailbox radio button."),
                QStringLiteral("Enter mailbox name"));
        if (d.mailboxMode == 0 && !d.customMailbox.isEmpty())
            return Problem(
                key, QStringLiteral("applies only when mailboxMode is 1."), QStringLiteral("Invalid value"));
        const QByteArray name = d.customMailbox.trimmed();
        // A name with blanks inside is written in double quotes (procmail would cut it at the first
        // blank otherwise); a quote inside would end it early.
        if ((name.contains(' ') || name.contains('\t')) && (name.contains('"') || name.endsWith('\\')))
            return Problem(key,
                QStringLiteral("The mailbox name \"%1\" holds blanks and a double quote or a final "
                               "backslash, which cannot be written into a procmail recipe.  Please remove "
                               "them.")
                    .arg(QString::fromUtf8(d.customMailbox)),
                QStringLiteral("Invalid mailbox name"), Prompt::Warning);
        // procmail reads an action line beginning with | as a pipe and with ! as a forward, while the
        // summary promises a mailbox of that name.
        if (name.startsWith('|') || name.startsWith('!'))
            return Problem(key,
                QStringLiteral(
                    "The mailbox name \"%1\" begins with \"%2\", which procmail would take as a %3 "
                    "instead of a mailbox.  Please enter the name of a mailbox.")
                    .arg(QString::fromUtf8(d.customMailbox), QString(QChar::fromLatin1(name.at(0))),
                        name.startsWith('|') ? QStringLiteral("command to run") : QStringLiteral("forward")),
                QStringLiteral("Invalid mailbox name"), Prompt::Warning);
        return ActionProblem();
    }

} // namespace

ActionProblem CheckOwnValues(int type, const CActionDetails& d)
{
    switch (type) {
    case ActionAddSubject:
        if (BlankOrEmpty(d.addSubject))
            return Problem(QStringLiteral("addSubject"),
                QStringLiteral(
                    "You have not specified a string to add to the subject.  Please enter a string "
                    "you would like to add."),
                QStringLiteral("Enter string to add to Subject:"));
        return ActionProblem();
    case ActionRemoveSubject:
        if (BlankOrEmpty(d.removeSubject))
            return Problem(QStringLiteral("removeSubject"),
                QStringLiteral("You have not specified a string to remove from the subject.  Please enter a "
                               "string you would like to remove."),
                QStringLiteral("Enter string to remove from Subject:"));
        return ActionProblem();
    case ActionAddHeader:
        if (BlankOrEmpty(d.headerName))
            return Problem(QStringLiteral("headerName"),
                QStringLiteral("You have not specified the first part of the X-header name.  Please enter "
                               "something in the first box.  For example \"MY-HEADER\" would add "
                               "\"X-MY-HEADER:\" to the message."),
                QStringLiteral("Enter X-Header name"));
        // formail refuses a field name with a blank or a tab in it.
        if (d.headerName.contains(' ') || d.headerName.contains('\t'))
            return Problem(QStringLiteral("headerName"),
                QStringLiteral("The first portion of the X-Header should not contain a space character.  "
                               "Please remove any space characters from the first part of the header."),
                QStringLiteral("Remove spaces"));
        return ActionProblem();
    case ActionRemoveHeader:
        return CheckHeaderToRemove(d.headerToRemove);
    case ActionModifyBody:
        return CheckBodyEdit(d);
    case ActionForward:
        return CheckForwardAddresses(d.forwardAddresses);
    case ActionReply:
        if (CRecipeDefinition::MakeResponseRemoteName(d.responseFile).isEmpty())
            return Problem(QStringLiteral("responseFile"), QStringLiteral("the reply has no response file."),
                QStringLiteral("Enter filename"));
        return ActionProblem();
    case ActionSave:
        return CheckMailbox(d);
    default:
        return ActionProblem();
    }
}

bool TakesMessage(int type, const CActionDetails& d)
{
    return type == ActionDelete
        || ((type == ActionForward || type == ActionReply || type == ActionSave) && d.copy != 1);
}

bool OnceOnly(int type)
{
    return type == ActionAddSubject || type == ActionRemoveSubject || type == ActionModifyBody
        || type == ActionExitCode || type == ActionDelete || type == ActionReply;
}

bool HasLineBreakOrNul(const QByteArray& text)
{
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

} // namespace ActionChecks
