#include "core/procmail/ForwardFile.h"

#include "core/common/AtomicFile.h"
#include "core/common/RegularFileCheck.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QFile>
#include <QFileInfo>

namespace ForwardFile {

Kind StoredKind()
{
    const int value = GetSetting(Settings::ForwardQmailRadio);
    return value >= Forward && value <= NotChosen ? Kind(value) : NotChosen;
}

QString LocalPath(Kind kind)
{
    return kind == Qmail ? Workspace::GetQmailPath() : Workspace::GetForwardPath();
}

QString RemoteName(Kind kind)
{
    return kind == Qmail ? QStringLiteral(".qmail") : QStringLiteral(".forward");
}

bool ReadLine(const QString& path, QString* line, QString* error)
{
    line->clear();
    if (!QFileInfo::exists(path))
        return true;
    if (!RegularFileCheck::CanRead(path, QStringLiteral("as a mail forwarding file"), error))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
        return false;
    }
    // CR LF and lone CR end lines too, so a file from another editor shows its line.
    QByteArray text = file.readAll();
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    for (const QByteArray& current : text.split('\n')) {
        if (!current.isEmpty() && !current.startsWith('#')) {
            *line = QString::fromUtf8(current);
            break;
        }
    }
    return true;
}

bool WriteLine(const QString& path, const QString& line, QString* error)
{
    if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')) || line.contains(QChar(0))) {
        *error = QStringLiteral("The entry must not contain a line break or a NUL character.");
        return false;
    }
    QString reason;
    if (!SaveFileAtomically(path, line.toUtf8(), &reason)) {
        *error = QStringLiteral("The file %1 could not be written: %2").arg(path, reason);
        return false;
    }
    return true;
}

QStringList ForwardExamples(const QString& user)
{
    const QString name = user.isEmpty() ? QStringLiteral("username") : user;
    // The first one defers (exit 75) when procmail is missing: "exit 75#user" would be a shell
    // error, and the mail would bounce instead of waiting.
    const QStringList patterns = {
        QStringLiteral("\"|IFS=' '&&p=/usr/local/bin/procmail&&test -f $p&&exec $p -f-||exit 75 #%1\""),
        QStringLiteral("\"|exec /usr/local/bin/procmail #%1\""),
        QStringLiteral("\"|exec /usr/local/bin/procmail USER=%1\""),
        QStringLiteral("\"|IFS=' ';exec /usr/local/bin/procmail #%1\""),
        QStringLiteral("\"|IFS=' ';exec /usr/local/bin/procmail USER=%1\""),
        QStringLiteral("\"|/usr/local/bin/procmail #%1\""),
    };
    QStringList examples;
    for (const QString& pattern : patterns)
        examples << pattern.arg(name);
    return examples;
}

QStringList QmailExamples()
{
    return { QStringLiteral("|preline /usr/local/bin/procmail") };
}

} // namespace ForwardFile
