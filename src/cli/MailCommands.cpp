#include "cli/CliCommand.h"
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CTestMailJob.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace {

const char* const Usage
    = "  mail send [--identity NAME] [--host H] [--port P] [--auth none|login|plain|pop|cram-md5]\n"
      "      [--user U] [--password-env VAR] [--pop-host H] [--pop-port P]\n"
      "      [--tls none|starttls|implicit] [--trust FINGERPRINT]\n"
      "      [--hello NAME] --from ADDR --to ADDR [--subject S] [--header \"Name: value\"]...\n"
      "      [--body-file F] [--verbose]\n"
      "        Sends one message the way the Send E-Mail dialog does: --from and --to are the\n"
      "        envelope, the headers are written as given. Defaults come from the identity's SMTP\n"
      "        configuration (else \"Default\"). --tls sets SMTP and POP alike (starttls is STLS for\n"
      "        POP); a certificate that neither verifies for the host nor matches the identity's pin\n"
      "        or --trust (SHA-256, 64 hex digits, colons and case ignored) ends the command with its\n"
      "        fingerprint before anything is sent. The SMTP and POP dialogue goes to stderr with\n"
      "        --verbose, and the protocol version and cipher of a protected session at the end.";

int usage(const QString& problem)
{
    CliErr(QStringLiteral("zeph-cli: ") + problem + QStringLiteral("\nUsage: zeph-cli") + QLatin1String(Usage)
        + QLatin1Char('\n'));
    return 2;
}

// A message box of the core (a temporary file that cannot be made) as a line on stderr.
void tell(const QString& text)
{
    CliErrBytes("zeph-cli: " + CliPrintable(text.toUtf8()) + '\n');
}

// The results carry the server's text with its control characters escaped already; escaping
// again would double every backslash of it.
int fail(const QString& text)
{
    CliErr(QStringLiteral("zeph-cli: ") + text + QLatin1Char('\n'));
    return 1;
}

bool positiveNumber(const QString& text, int max, int* out)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number <= 0 || number > max)
        return false;
    *out = number;
    return true;
}

// Where the command line gives what a refused send is missing.
QString optionFor(const TestMail::Problem& problem)
{
    switch (problem.field) {
    case TestMail::Field::EnvelopeFrom:
        return QStringLiteral("--from");
    case TestMail::Field::EnvelopeTo:
        return QStringLiteral("--to");
    case TestMail::Field::Subject:
        return QStringLiteral("--subject");
    case TestMail::Field::Custom:
        return QStringLiteral("--header");
    case TestMail::Field::Configuration:
        if (problem.caption == QLatin1String("SMTP not entered"))
            return QStringLiteral("--host");
        if (problem.caption == QLatin1String("Username not entered"))
            return QStringLiteral("--user");
        if (problem.caption == QLatin1String("Password not entered"))
            return QStringLiteral("--password-env");
        if (problem.caption == QLatin1String("Pop host not entered"))
            return QStringLiteral("--pop-host");
        return QStringLiteral("--hello, --user or --password-env");
    default:
        return QString();
    }
}

int runMail(const QStringList& args)
{
    if (args.isEmpty() || args.first() != QLatin1String("send"))
        return usage(args.isEmpty() ? QStringLiteral("mail needs a command")
                                    : QStringLiteral("unknown mail command \"%1\"").arg(args.first()));
    QString identity;
    QString host, user, popHost, hello, from, to, subject, bodyFile, passwordVariable;
    int port = 0, popPort = 0, auth = -1, tls = -1;
    QByteArray trust;
    bool hasSubject = false, verbose = false;
    QStringList headers;
    static const QList<QPair<QString, int>> methods = {
        { QStringLiteral("none"), TestMail::AuthNone },
        { QStringLiteral("login"), TestMail::AuthLogin },
        { QStringLiteral("plain"), TestMail::AuthPlain },
        { QStringLiteral("pop"), TestMail::AuthPopBeforeSend },
        { QStringLiteral("cram-md5"), TestMail::AuthCramMd5 },
    };
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--verbose")) {
            verbose = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--")))
            return usage(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        if (i + 1 >= args.size())
            return usage(QStringLiteral("%1 needs a value").arg(arg));
        const QString value = args[++i];
        if (arg == QLatin1String("--identity")) {
            identity = value;
        } else if (arg == QLatin1String("--host")) {
            host = value;
        } else if (arg == QLatin1String("--pop-host")) {
            popHost = value;
        } else if (arg == QLatin1String("--port") || arg == QLatin1String("--pop-port")) {
            if (!positiveNumber(value, 65535, arg == QLatin1String("--port") ? &port : &popPort))
                return usage(QStringLiteral("%1 must be a port number, not \"%2\"").arg(arg, value));
        } else if (arg == QLatin1String("--auth")) {
            for (const auto& [name, setting] : methods) {
                if (value == name)
                    auth = setting;
            }
            if (auth < 0)
                return usage(QStringLiteral("--auth must be none, login, plain, pop or cram-md5, not \"%1\"")
                                 .arg(value));
        } else if (arg == QLatin1String("--user")) {
            user = value;
        } else if (arg == QLatin1String("--password-env")) {
            passwordVariable = value;
        } else if (arg == QLatin1String("--tls")) {
            static const QStringList modes
                = { QStringLiteral("none"), QStringLiteral("starttls"), QStringLiteral("implicit") };
            tls = int(modes.indexOf(value));
            if (tls < 0)
                return usage(
                    QStringLiteral("--tls must be none, starttls or implicit, not \"%1\"").arg(value));
        } else if (arg == QLatin1String("--trust")) {
            trust = TlsCertificate::NormalizeFingerprint(value);
            if (trust.isEmpty())
                return usage(
                    QStringLiteral("--trust needs a SHA-256 fingerprint of 64 hex digits, not \"%1\"")
                        .arg(value));
        } else if (arg == QLatin1String("--hello")) {
            hello = value;
        } else if (arg == QLatin1String("--from")) {
            from = value;
        } else if (arg == QLatin1String("--to")) {
            to = value;
        } else if (arg == QLatin1String("--subject")) {
            subject = value;
            hasSubject = true;
        } else if (arg == QLatin1String("--header")) {
            headers.append(value);
        } else if (arg == QLatin1String("--body-file")) {
            bodyFile = value;
        } else {
            return usage(QStringLiteral("unknown option %1").arg(arg));
        }
    }
    if (from.isEmpty() || to.isEmpty())
        return usage(QStringLiteral("mail send needs --from and --to"));

    TestMail::Message message;
    message.envelopeFrom = from;
    message.envelopeTo = to;
    if (hasSubject)
        message.subject = subject;
    message.custom = headers;
    if (!bodyFile.isEmpty()) {
        QFile file(bodyFile);
        if (!QFileInfo(bodyFile).isFile() || !file.open(QIODevice::ReadOnly))
            return CliFail(QStringLiteral("The body file %1 cannot be read.").arg(bodyFile));
        message.body = file.readAll();
    }

    // Message boxes become lines on stderr.
    Prompt::SetPresenter([](const Prompt::Record& record) {
        tell(record.text);
        return record.defaultButton != Prompt::NoButton ? record.defaultButton : Prompt::Ok;
    });
    CAppState& state = CAppState::Instance();
    state.SetIdentity(identity);
    if (QFileInfo(state.DataFilePath()).isFile())
        state.LoadIdentityData();
    message.addDate = GetSetting(Settings::MailAddDateHeader) != 0;

    TestMail::Account account = TestMail::Account::FromSettings();
    if (!host.isEmpty())
        account.smtpHost = host;
    if (port > 0)
        account.smtpPort = port;
    if (auth >= 0)
        account.authMethod = auth;
    if (!user.isEmpty())
        account.user = user;
    if (!popHost.isEmpty())
        account.popHost = popHost;
    if (popPort > 0)
        account.popPort = popPort;
    if (!hello.isEmpty())
        account.helloName = hello;
    if (tls >= 0)
        account.smtpTls = account.popTls = tls;
    if (!trust.isEmpty())
        account.smtpPin = account.popPin = trust;
    if (!passwordVariable.isEmpty()) {
        const char* password = std::getenv(passwordVariable.toLocal8Bit().constData());
        if (!password)
            return usage(QStringLiteral("the environment variable %1 is not set").arg(passwordVariable));
        account.password = QString::fromLocal8Bit(password);
    }

    CTestMailJob job(account, message);
    if (verbose) {
        job.SetLog([](const QByteArray& line, bool fromServer) {
            CliErrBytes((fromServer ? "S: " : "C: ") + CliPrintable(line) + '\n');
        });
    }
    if (!job.Prepare(Clock::Now())) {
        const CTestMailJob::Result& result = job.GetResult();
        const QString option = optionFor(result.problem);
        return fail(option.isEmpty() ? result.text : QStringLiteral("%1 (%2)").arg(result.text, option));
    }
    const CTestMailJob::Result& result = job.Run();
    if (result.outcome != CTestMailJob::Result::Sent)
        return fail(result.text);
    if (verbose)
        CliErr(result.text + QLatin1Char('\n'));
    return 0;
}

CliCommandRegistration registration({ "mail", Usage, runMail });

} // namespace
