#include "core/net/TestMail.h"

#include "core/net/SavedPassword.h"
#include "core/net/TlsCertificate.h"
#include "core/settings/Profile.h"

namespace TestMail {

namespace {

    bool hasLineBreak(const QString& text)
    {
        return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))
            || text.contains(QChar(0));
    }

    // Lone CR or LF become CR LF.
    QByteArray withCrLf(const QByteArray& text)
    {
        QByteArray out;
        out.reserve(text.size() + text.size() / 32 + 2);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\r') {
                out += "\r\n";
                if (i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
            } else if (c == '\n') {
                out += "\r\n";
            } else {
                out += c;
            }
        }
        return out;
    }

} // namespace

Account Account::FromSettings()
{
    Account account;
    account.smtpHost = GetSettingString(Settings::SmtpHost);
    account.smtpPort = GetSetting(Settings::SmtpPort);
    account.authMethod = GetSetting(Settings::SmtpAuthMethod);
    account.user = GetSettingString(Settings::SmtpUserName);
    if (GetSetting(Settings::SaveSmtpPassword) != 0)
        account.password = SavedPassword::Smtp().Load();
    account.popHost = GetSettingString(Settings::PopHost);
    account.popPort = GetSetting(Settings::PopPort);
    account.smtpTls = GetSetting(Settings::SmtpTls);
    account.popTls = GetSetting(Settings::PopTls);
    account.smtpPin
        = GetSettingString({ Settings::TlsPin, TlsPinKey(QStringLiteral("smtp"), account.smtpHost) })
              .toLatin1();
    account.popPin = GetSettingString({ Settings::TlsPin, TlsPinKey(QStringLiteral("pop"), account.popHost) })
                         .toLatin1();
    return account;
}

bool Account::NeedsLogin() const
{
    return authMethod >= AuthLogin && authMethod <= AuthCramMd5;
}

bool Check(const Account& account, const Message& message, Problem* problem)
{
    auto fail = [problem](const QString& text, const QString& caption, Field field, int index = -1) {
        *problem = Problem { text, caption, field, index };
        return true;
    };
    if (account.smtpHost.isEmpty())
        return fail(QStringLiteral("You must enter a SMTP host!  Please hit the 'Configure' button."),
            QStringLiteral("SMTP not entered"), Field::Configuration);
    if (message.envelopeFrom.isEmpty())
        return fail(QStringLiteral("You must enter an envelope from address!"),
            QStringLiteral("Envelope From not entered"), Field::EnvelopeFrom);
    if (message.envelopeTo.isEmpty())
        return fail(QStringLiteral("You must enter an envelope To address!"),
            QStringLiteral("Envelope To not entered"), Field::EnvelopeTo);
    if (account.NeedsLogin() && account.user.isEmpty())
        return fail(QStringLiteral("You must enter a username!  Please hit the 'Configure' button."),
            QStringLiteral("Username not entered"), Field::Configuration);
    if (account.NeedsLogin() && account.password.isEmpty())
        return fail(QStringLiteral("You must enter a password!  Please hit the 'Configure' button."),
            QStringLiteral("Password not entered"), Field::Configuration);
    // These go into protocol lines, where a line break would end the command and run the
    // rest as another one.
    const struct
    {
        const QString& value;
        const char* name;
        Field field;
    } commandFields[] = {
        { message.envelopeFrom, "envelope from address", Field::EnvelopeFrom },
        { message.envelopeTo, "envelope To address", Field::EnvelopeTo },
        { account.helloName, "hello name", Field::Configuration },
        { account.user, "username", Field::Configuration },
        { account.password, "password", Field::Configuration },
    };
    for (const auto& entry : commandFields) {
        if (hasLineBreak(entry.value))
            return fail(
                QStringLiteral("The %1 must not contain a line break.").arg(QLatin1String(entry.name)),
                QStringLiteral("Invalid entry"), entry.field);
    }
    // A line break in a header value would start a header or the body of its own.
    const QString headerText = QStringLiteral(
        "This entry contains a line break or a NUL character, which cannot be sent in a mail header.  "
        "Please remove it.");
    const QString headerCaption = QStringLiteral("Invalid character");
    if (hasLineBreak(message.to))
        return fail(headerText, headerCaption, Field::To);
    if (hasLineBreak(message.from))
        return fail(headerText, headerCaption, Field::From);
    if (hasLineBreak(message.subject))
        return fail(headerText, headerCaption, Field::Subject);
    for (int i = 0; i < message.custom.size(); ++i) {
        if (hasLineBreak(message.custom[i]))
            return fail(headerText, headerCaption, Field::Custom, i);
    }
    if (account.authMethod == AuthPopBeforeSend && account.popHost.isEmpty())
        return fail(QStringLiteral("You must enter a Pop host!  Please hit the 'Configure' button."),
            QStringLiteral("Pop host not entered"), Field::Configuration);
    return false;
}

QByteArray DateHeaderValue(const QDateTime& now)
{
    static const char* const days[] = { "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun" };
    static const char* const months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    const QDate date = now.date();
    const int offset = now.offsetFromUtc() / 60;
    const int magnitude = offset < 0 ? -offset : offset;
    return QByteArray(days[date.dayOfWeek() - 1]) + ", "
        + QByteArray::number(date.day()).rightJustified(2, '0') + ' ' + months[date.month() - 1] + ' '
        + QByteArray::number(date.year()) + ' ' + now.toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' '
        + (offset < 0 ? '-' : '+') + QByteArray::number(magnitude / 60).rightJustified(2, '0')
        + QByteArray::number(magnitude % 60).rightJustified(2, '0');
}

QByteArray Compose(const Message& message, const QDateTime& now)
{
    QByteArray text;
    auto header = [&text](const char* name, const QString& value) {
        if (!value.isEmpty())
            text += name + value.toUtf8() + "\r\n";
    };
    header("From: ", message.from);
    header("To: ", message.to);
    if (message.addDate)
        text += "Date: " + DateHeaderValue(now) + "\r\n";
    header("Subject: ", message.subject);
    for (const QString& line : message.custom)
        header("", line);
    text += "X-Warning: Headers may be forged\r\n\r\n";
    text += withCrLf(message.body);
    return text;
}

} // namespace TestMail
