#include "cli/CliCommand.h"
#include "core/common/Prompt.h"
#include "core/net/CFtpListing.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/CAppState.h"

#include <QFileInfo>

#include <cstdlib>

namespace {

const char* const Usage
    = "  ftp [--identity NAME] [--host H] [--port P] [--user U] [--password-env VAR] [--active]\n"
      "      [--ascii] [--verbose] [--timeout SECONDS] [--tls none|explicit|implicit]\n"
      "      [--trust FINGERPRINT] CMD ARGS\n"
      "        CMD: ls [DIR] | get REMOTE LOCAL | put LOCAL REMOTE | rename FROM TO | rm REMOTE\n"
      "             | mkdir DIR | rmdir DIR | chmod MODE REMOTE\n"
      "        Defaults come from the identity's FTP settings (else \"Default\"); passive mode unless\n"
      "        --active. put uploads through the temporary name; --ascii transfers in text mode.\n"
      "        ls prints one entry a line: type (d, - or l), permissions, size and name, a link\n"
      "        without its target; a field the listing lacks stays empty. Listing lines it cannot\n"
      "        read go to stderr.\n"
      "        --tls defaults to the identity's setting. With TLS a certificate that neither verifies\n"
      "        for the host name nor matches the identity's pin or --trust (the SHA-256 of the\n"
      "        certificate, 64 hex digits; colons and case ignored) ends the command with its\n"
      "        fingerprint before anything is sent.";

struct Options
{
    QString identity;
    CRemoteHost::Overrides overrides;
    bool active = false;
    bool ascii = false;
    bool verbose = false;
    int timeout = CFtpClient::DefaultTimeoutSeconds;
    QString passwordVariable; // --password-env
    QStringList positional;
};

// Every message of this command may carry the host's text, so each goes out escaped.
void tell(const QString& text)
{
    CliErrBytes("zeph-cli: " + CliPrintable(text.toUtf8()) + '\n');
}

int fail(const QString& text)
{
    tell(text);
    return 1;
}

int usage(const QString& problem)
{
    CliErr(QStringLiteral("zeph-cli: ") + problem + QStringLiteral("\nUsage: zeph-cli") + QLatin1String(Usage)
        + QLatin1Char('\n'));
    return 2;
}

bool parseOptions(const QStringList& args, Options* options, QString* problem)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&](QString* out) {
            if (i + 1 >= args.size()) {
                *problem = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            *out = args[++i];
            return true;
        };
        QString text;
        if (arg == QLatin1String("--identity")) {
            if (!value(&options->identity))
                return false;
        } else if (arg == QLatin1String("--host")) {
            if (!value(&options->overrides.host))
                return false;
        } else if (arg == QLatin1String("--user")) {
            if (!value(&options->overrides.user))
                return false;
        } else if (arg == QLatin1String("--port") || arg == QLatin1String("--timeout")) {
            if (!value(&text))
                return false;
            bool ok = false;
            const int number = text.toInt(&ok);
            if (!ok || number <= 0 || (arg == QLatin1String("--port") && number > 65535)) {
                *problem = QStringLiteral("%1 must be a positive number, not \"%2\"").arg(arg, text);
                return false;
            }
            (arg == QLatin1String("--port") ? options->overrides.port : options->timeout) = number;
        } else if (arg == QLatin1String("--password-env")) {
            if (!value(&text))
                return false;
            const QByteArray variable = text.toLocal8Bit();
            const char* password = std::getenv(variable.constData());
            if (!password) {
                *problem = QStringLiteral("the environment variable %1 is not set").arg(text);
                return false;
            }
            options->overrides.password = QString::fromLocal8Bit(password);
            options->overrides.hasPassword = true;
            options->passwordVariable = text;
        } else if (arg == QLatin1String("--tls")) {
            if (!value(&text))
                return false;
            static const QStringList modes
                = { QStringLiteral("none"), QStringLiteral("explicit"), QStringLiteral("implicit") };
            options->overrides.tls = int(modes.indexOf(text));
            if (options->overrides.tls < 0) {
                *problem = QStringLiteral("--tls must be none, explicit or implicit, not \"%1\"").arg(text);
                return false;
            }
        } else if (arg == QLatin1String("--trust")) {
            if (!value(&text))
                return false;
            options->overrides.trust = TlsCertificate::NormalizeFingerprint(text);
            if (options->overrides.trust.isEmpty()) {
                *problem = QStringLiteral("--trust needs a SHA-256 fingerprint of 64 hex digits, not \"%1\"")
                               .arg(text);
                return false;
            }
        } else if (arg == QLatin1String("--active")) {
            options->active = true;
        } else if (arg == QLatin1String("--ascii")) {
            options->ascii = true;
        } else if (arg == QLatin1String("--verbose")) {
            options->verbose = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            *problem = QStringLiteral("unknown option %1").arg(arg);
            return false;
        } else {
            options->positional.append(arg);
        }
    }
    return true;
}

int runFtp(const QStringList& args)
{
    Options options;
    QString problem;
    if (!parseOptions(args, &options, &problem))
        return usage(problem);
    if (options.positional.isEmpty())
        return usage(QStringLiteral("ftp needs a command"));
    const QString command = options.positional.takeFirst();
    const QStringList& operands = options.positional;
    static const QList<QPair<QString, QPair<int, int>>> arity = {
        { QStringLiteral("ls"), { 0, 1 } },
        { QStringLiteral("get"), { 2, 2 } },
        { QStringLiteral("put"), { 2, 2 } },
        { QStringLiteral("rename"), { 2, 2 } },
        { QStringLiteral("rm"), { 1, 1 } },
        { QStringLiteral("mkdir"), { 1, 1 } },
        { QStringLiteral("rmdir"), { 1, 1 } },
        { QStringLiteral("chmod"), { 2, 2 } },
    };
    bool known = false;
    for (const auto& [name, range] : arity) {
        if (name != command)
            continue;
        known = true;
        if (operands.size() < range.first || operands.size() > range.second)
            return usage(QStringLiteral("wrong number of arguments for ftp %1").arg(command));
    }
    if (!known)
        return usage(QStringLiteral("unknown ftp command \"%1\"").arg(command));
    int mode = 0;
    if (command == QLatin1String("chmod")) {
        const QString& text = operands[0];
        bool ok = text.size() == 3;
        for (QChar c : text)
            ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('7');
        if (!ok)
            return usage(QStringLiteral("MODE must be three octal digits such as 644, not \"%1\"").arg(text));
        mode = text.toInt();
    }
    if (command == QLatin1String("put")) {
        const QFileInfo local(operands[0]);
        if (!local.isFile())
            return CliFail(QStringLiteral("The file %1 does not exist.").arg(operands[0]));
    }

    // Message boxes become lines on stderr.
    Prompt::SetPresenter([](const Prompt::Record& record) {
        tell(record.text);
        return record.defaultButton != Prompt::NoButton ? record.defaultButton : Prompt::Ok;
    });
    CAppState& state = CAppState::Instance();
    state.SetIdentity(options.identity);
    if (QFileInfo(state.DataFilePath()).isFile())
        state.LoadIdentityData();
    // Where the program would ask for the missing password, the command says where to give it.
    CRemoteHost::SetPasswordAsker([&options, &state](QString*) {
        if (options.passwordVariable.isEmpty())
            CliFail(QStringLiteral("No FTP password was given and none is saved for the identity \"%1\".  "
                                   "Give it in an environment variable named with --password-env.")
                        .arg(state.IdentityName()));
        else
            CliFail(QStringLiteral("The environment variable %1 is empty; it must hold the FTP password.")
                        .arg(options.passwordVariable));
        return false;
    });

    CRemoteHost host;
    host.SetSaveBeforeConnect(false);
    host.SetOverrides(options.overrides);
    host.SetTimeout(options.timeout);
    if (options.verbose)
        host.SetLogOutput([](const QString& line) { CliErrBytes(CliPrintable(line.toUtf8()) + '\n'); });
    if (!host.Connect())
        return 1; // Connect has told why
    const bool passive = !options.active;
    const bool binary = !options.ascii;
    host.SetPassive(passive);
    bool ok = false;
    if (command == QLatin1String("ls")) {
        if (!operands.isEmpty() && operands[0] != QLatin1String(".")
            && !host.Command(QStringLiteral("CWD ") + operands[0])) {
            host.Disconnect();
            return fail(host.ResultText());
        }
        QList<QByteArray> lines;
        ok = host.ListDir(&lines);
        if (ok) {
            // Fields the server's dialect does not give (a DOS-style listing has no permissions)
            // stay empty, so every line has its name after the third blank.
            const CFtpListingResult listing = CFtpListing::ParseAll(lines);
            QByteArray out;
            for (const CFtpListEntry& entry : listing.entries)
                out += QByteArray(1, entry.type) + ' ' + entry.permissions + ' ' + entry.size + ' '
                    + CliPrintable(entry.name) + '\n';
            CliOutBytes(out);
            for (QByteArray line : listing.unparsed) {
                if (line.endsWith('\r'))
                    line.chop(1);
                CliErrBytes("zeph-cli: listing line not understood: " + CliPrintable(line) + '\n');
            }
        }
    } else if (command == QLatin1String("get")) {
        ok = host.Transfer(operands[1], operands[0], true, binary, passive);
    } else if (command == QLatin1String("put")) {
        ok = host.Transfer(operands[0], operands[1], false, binary, passive);
    } else if (command == QLatin1String("rename")) {
        ok = host.Rename(operands[0], operands[1]);
    } else if (command == QLatin1String("rm")) {
        ok = host.DeleteFile(operands[0]);
    } else if (command == QLatin1String("mkdir")) {
        ok = host.MakeDir(operands[0]);
    } else if (command == QLatin1String("rmdir")) {
        ok = host.RemoveDir(operands[0]);
    } else if (command == QLatin1String("chmod")) {
        ok = host.Chmod(operands[1], mode);
    }
    const QString result = host.ResultText();
    host.Disconnect();
    if (!ok)
        return fail(result);
    if (options.verbose)
        CliErrBytes(CliPrintable(result.toUtf8()) + '\n');
    return 0;
}

CliCommandRegistration registration({ "ftp", Usage, runFtp });

} // namespace
