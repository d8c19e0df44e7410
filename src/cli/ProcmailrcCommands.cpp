// zeph-cli procmailrc ...: the .procmailrc template and its settings lines.
#include "cli/CliCommand.h"
#include "core/procmail/CProcmailrcFile.h"

namespace {

int RunProcmailrc(const QStringList& args)
{
    const QString usage = QStringLiteral(
        "usage: zeph-cli procmailrc default | set FILE zephdir|maildir DIR | set FILE logging on|off | "
        "set FILE verbose yes|no");
    if (args.size() == 1 && args.at(0) == QLatin1String("default")) {
        CliOutBytes(CProcmailrcFile::DefaultText());
        return 0;
    }
    if (args.size() != 4 || args.at(0) != QLatin1String("set"))
        return CliFail(usage, 2);
    const QString& key = args.at(2);
    const QString& value = args.at(3);
    CProcmailrcFile file(args.at(1));
    QString error;
    bool ok = false;
    if (key == QLatin1String("zephdir")) {
        ok = file.SetZephDir(value, &error);
    } else if (key == QLatin1String("maildir")) {
        ok = file.SetMailDir(value, &error);
    } else if (key == QLatin1String("logging")
        && (value == QLatin1String("on") || value == QLatin1String("off"))) {
        ok = file.SetLogging(value == QLatin1String("on"), &error);
    } else if (key == QLatin1String("verbose")
        && (value == QLatin1String("yes") || value == QLatin1String("no"))) {
        ok = file.SetVerbose(value == QLatin1String("yes"), &error);
    } else {
        return CliFail(usage, 2);
    }
    return ok ? 0 : CliFail(error);
}

const CliCommandRegistration procmailrcCommand({
    "procmailrc",
    "  procmailrc default                 the default .procmailrc (LF line ends, none after the\n"
    "                                     last line)\n"
    "  procmailrc set FILE KEY VALUE      replace the settings line under KEY's marker: KEY is\n"
    "                                     zephdir, maildir, logging (on|off) or verbose (yes|no)",
    RunProcmailrc,
});

} // namespace
