#include "core/procmail/AccountDetails.h"

#include "core/settings/SettingsTable.h"

namespace AccountDetails {

bool HasShellSpecial(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')
            || c.unicode() < 0x20)
            return true;
    }
    return false;
}

QString AngleBracketText(bool returnAddress)
{
    const QString which
        = returnAddress ? QStringLiteral("return email address") : QStringLiteral("email address");
    return QStringLiteral(
        "The %1 entry should just contain your plain email address, e.g. %2.  It should  not "
        "contain any angle brackets (also referred to as 'less than' and 'greater than' signs) "
        "i.e. < or > .\n\n Please remove the angle brackets from your %1.")
        .arg(which, QLatin1String(Settings::PlaceholderAddress));
}

QString ShellSpecialText(const QString& what)
{
    return QStringLiteral(
        "The %1 should not contain a quote, backquote, dollar sign, backslash or control character.")
        .arg(what);
}

} // namespace AccountDetails
