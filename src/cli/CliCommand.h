#pragma once

#include <QStringList>

#include <functional>

// zeph-cli's commands register themselves here, one file each.
// A command returns 0 on success, 1 on a failure (message on stderr), 2 on wrong usage.
struct CliCommand
{
    const char* name;
    const char* usage; // lines shown by --help
    std::function<int(const QStringList& args)> run;
};

class CliCommands
{
public:
    static QList<CliCommand>& All();
};

struct CliCommandRegistration
{
    explicit CliCommandRegistration(CliCommand command) { CliCommands::All().append(std::move(command)); }
};

// Output helpers: text to stdout or stderr as UTF-8, bytes untouched.
void CliOut(const QString& text);
void CliOutBytes(const QByteArray& bytes);
void CliErr(const QString& text);
void CliErrBytes(const QByteArray& bytes);
// Text from a remote host as it may reach a terminal: ProtocolText::Printable, which escapes every
// control character but the line feed, and the backslash, as \ooo.
QByteArray CliPrintable(QByteArrayView bytes);
// Prints "zeph-cli: <text>" to stderr and returns the exit code.
int CliFail(const QString& text, int code = 1);
