#pragma once

#include "core/common/Prompt.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The test mail: the account it goes through, the message the user composed, the checks made
// before anything is sent, and the message text. The Send E-Mail dialog and `zeph-cli mail send`
// share all of it (and CTestMailJob, which sends).
namespace TestMail {

// The values of "Auth Method".
enum AuthSetting { AuthNone = 0, AuthLogin = 1, AuthPlain = 2, AuthPopBeforeSend = 3, AuthCramMd5 = 4 };

struct Account
{
    QString smtpHost;
    int smtpPort = 25;
    int authMethod = AuthNone;
    QString user;
    QString password;
    QString popHost;
    int popPort = 110;
    QString helloName = QStringLiteral("auto");
    int smtpTimeoutMs = 60000;
    int popTimeoutMs = 20000;
    // 0 none, 1 STARTTLS (STLS for POP3), 2 implicit TLS; the fingerprints pinned for the hosts.
    int smtpTls = 0;
    int popTls = 0;
    QByteArray smtpPin;
    QByteArray popPin;

    // The identity's SMTP configuration with its saved password (empty when none is saved).
    static Account FromSettings();
    // Whether the method needs a user name and password (every one but none).
    bool NeedsLogin() const;
};

struct Message
{
    QString envelopeFrom;
    QString envelopeTo;
    QString to;
    QString from;
    QString subject;
    QStringList custom; // whole header lines, written as typed; empty ones are left out
    bool addDate = true;
    QByteArray body;
};

// The fields a problem points at, so that the dialog can put the focus there.
enum class Field { None, Configuration, EnvelopeFrom, EnvelopeTo, To, From, Subject, Custom };

struct Problem
{
    QString text;
    QString caption;
    Field field = Field::None;
    int customIndex = -1; // which custom line, for Field::Custom
};

// The first problem that stops a send before any connection, in the order the user meets them:
// missing entries, line breaks in the envelope and account fields, line breaks or NUL in the
// header fields, a missing POP host. False when there is none. All are warnings.
bool Check(const Account& account, const Message& message, Problem* problem);

// The message as it is sent: From, To, Date, Subject (each only when not empty), the custom
// lines, "X-Warning: Headers may be forged", an empty line and the body, with CR LF line ends.
QByteArray Compose(const Message& message, const QDateTime& now);
// "Tue, 05 Jun 2007 14:07:09 +0200": English names, the offset of `now` itself.
QByteArray DateHeaderValue(const QDateTime& now);

} // namespace TestMail
