#include "cli/CliCommand.h"
#include "core/net/ProtocolText.h"

#include <QCoreApplication>

#include <cstdio>

QList<CliCommand>& CliCommands::All()
{
    static QList<CliCommand> commands;
    return commands;
}

void CliOut(const QString& text)
{
    CliOutBytes(text.toUtf8());
}

void CliOutBytes(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void CliErr(const QString& text)
{
    CliErrBytes(text.toUtf8());
}

void CliErrBytes(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

QByteArray CliPrintable(QByteArrayView bytes)
{
    return ProtocolText::Printable(bytes);
}

int CliFail(const QString& text, int code)
{
    CliErr(QStringLiteral("zeph-cli: ") + text + QLatin1Char('\n'));
    return code;
}

namespace {

void printUsage(std::FILE* to)
{
    QByteArray text = "Usage: zeph-cli COMMAND ARGS...\n"
                      "       zeph-cli --help | --version\n\nCommands:\n";
    for (const CliCommand& command : CliCommands::All())
        text += QByteArray(command.usage) + '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), to);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeph-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEPH_VERSION));

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printUsage(stderr);
        return 2;
    }
    const QString first = args.takeFirst();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        printUsage(stdout);
        return 0;
    }
    if (first == QLatin1String("--version")) {
        CliOut(QStringLiteral("zeph-cli " ZEPH_VERSION "\n"));
        return 0;
    }
    for (const CliCommand& command : CliCommands::All()) {
        if (first == QLatin1String(command.name))
            return command.run(args);
    }
    CliErr(QStringLiteral("zeph-cli: unknown command \"%1\"\n").arg(first));
    printUsage(stderr);
    return 2;
}
