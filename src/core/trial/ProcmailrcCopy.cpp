#include "core/trial/ProcmailrcCopy.h"

#include <QList>
#include <QRegularExpression>

QByteArray ProcmailrcCopy(const QByteArray& procmailrc)
{
    static const QRegularExpression owned(QStringLiteral(
        R"(^\s*(SHELL|HOME|PATH|MAILDIR|ZEPH_DIR|DEFAULT|ORGMAIL|SENDMAIL|LOGFILE|VERBOSE|LOGABSTRACT)\s*=)"));
    QList<QByteArray> lines = procmailrc.split('\n');
    for (QByteArray& line : lines)
        if (owned.match(QString::fromLatin1(line)).hasMatch())
            line.prepend("# dry run: ");
    return lines.join('\n');
}
