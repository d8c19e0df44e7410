#include "core/trial/RunsPrograms.h"

#include <QList>
#include <QRegularExpression>

namespace {

bool SafeCommand(QByteArray command)
{
    command = command.trimmed();
    const QByteArray program = command.left(command.indexOf(' '));
    return program == "formail" || program == "$SENDMAIL" || program == "${SENDMAIL}"
        || program == "\"$SENDMAIL\"";
}

} // namespace

bool RunsPrograms(const QByteArray& text)
{
    static const QRegularExpression absoluteValue(
        QStringLiteral(R"(^[A-Za-z_][A-Za-z0-9_]*\s*=\s*["']?[/~])"));
    static const QRegularExpression exitCode(QStringLiteral(R"(^\*\s*!?\s*\?)"));
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        // A condition may hold any character in its pattern; elsewhere these redirect or run.
        if (line.contains('`') || (!line.startsWith('*') && (line.contains('>') || line.contains('<'))))
            return true;
        const QString latin = QString::fromLatin1(line);
        if (exitCode.match(latin).hasMatch() || absoluteValue.match(latin).hasMatch())
            return true;
        if (line.startsWith('/') || line.startsWith('~'))
            return true;
        if (line.startsWith('|')) {
            for (const QByteArray& command : line.mid(1).split('|'))
                if (command.contains(';') || command.contains('&') || !SafeCommand(command))
                    return true;
        }
    }
    return false;
}
