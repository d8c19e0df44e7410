#include "core/procmail/BackupRecipe.h"

#include "core/recipes/CRecipeFile.h"
#include "core/recipes/ProcmailText.h"

namespace {

struct Selection
{
    const char* listText; // %1: the address
    const char* commentPhrase; // nullptr: none
    const char* condition; // nullptr: none
    const char* secondFlags;
};

const Selection Selections[BackupRecipe::SelectionCount] = {
    { "To: or Cc: %1", "addressed To: or Cc: %1", "* ^(To|Cc):.*%1\n", ":0aic\n" },
    { "TO_ %1 (using the TO_ macro)", "addressed TO_ %1 (using the TO_ macro)", "* ^TO_%1\n", ":0aic\n" },
    { "TO %1 (using the TO macro)", "addressed TO %1 (using the TO macro)", "* ^TO%1\n", ":0aic\n" },
    { "To: %1", "addressed To: %1", "* ^To:.*%1\n", ":0aic\n" },
    { "All messages", nullptr, nullptr, ":0ic\n" },
};

int clamp(int selection)
{
    return selection >= 0 && selection < BackupRecipe::SelectionCount ? selection : 0;
}

} // namespace

QByteArray BackupRecipe::Name()
{
    return "ZEPH_Backup";
}

QString BackupRecipe::SelectionText(int index, const QString& address)
{
    return QString::fromLatin1(Selections[clamp(index)].listText).replace(QStringLiteral("%1"), address);
}

QByteArray BackupRecipe::BuildBlock(
    int selection, int count, const QByteArray& prefix, const QByteArray& address)
{
    const Selection& chosen = Selections[clamp(selection)];
    const QByteArray number = QByteArray::number(count);
    QByteArray comment = "A copy of the " + number + " most recent messages\n";
    if (chosen.commentPhrase)
        comment += QByteArray(chosen.commentPhrase).replace("%1", address) + "\n";
    comment += "will be saved in your backup directory.";
    QByteArray body = ":0c\n";
    if (chosen.condition)
        body += QByteArray(chosen.condition).replace("%1", ProcmailText::RegexEscape(address));
    body += "backup\n\n";
    body += chosen.secondFlags;
    body += "| cd backup && rm -f dummy `ls -t " + prefix + "* | sed -e 1," + number + "d`\n";
    return CRecipeFile::BuildRecipeBlock(Name(), comment, body);
}

QByteArray BackupRecipe::LoopMarker()
{
    return "ZEPH backup folder";
}

QByteArray BackupRecipe::BuildRetrievalRecipe(
    const QByteArray& address, const QByteArray& backupDir, const QByteArray& prefix, bool toDefault)
{
    const QByteArray loop = LoopMarker();
    QByteArray text = ":0hwic\n* ^From.*" + ProcmailText::RegexEscape(address) + "\n* !^X-Loop: " + loop
        + "\n| n=0; for f in " + backupDir + "/" + prefix
        + "*; do test $n -lt 500 || break; n=`expr $n + 1`; formail -A\"X-Loop: " + loop
        + "\" < \"$f\" | procmail; done\n";
    if (toDefault)
        text += "\n:0:\n* ^X-Loop: " + loop + "\n$DEFAULT\n";
    return text;
}

QByteArray BackupRecipe::BackupDir(const QString& mailDir)
{
    return mailDir.toUtf8() + "/backup";
}

bool BackupRecipe::IsValidPrefix(const QString& prefix)
{
    if (prefix.isEmpty())
        return false;
    for (const QChar c : prefix) {
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')
            || c == QLatin1Char('_') || c == QLatin1Char('+') || c == QLatin1Char('-');
        if (!ok)
            return false;
    }
    return true;
}

QString BackupRecipe::InvalidPrefixText()
{
    return QStringLiteral(
        "The MSGPREFIX value may only contain letters, digits, points, underscores and the signs + "
        "and -, for example 'msg.'.  Please enter another value.");
}
