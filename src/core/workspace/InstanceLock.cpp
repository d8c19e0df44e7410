#include "core/workspace/InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace InstanceLock {

QString InstanceName(const QString& identity)
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QString::number(getuid());
    user.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return (QStringLiteral("ZEPH USER ") + identity + user).toUpper();
}

QString ServerName(const QString& instanceName)
{
    // The user id keeps users apart even where the socket folder is shared.
    const QByteArray hash
        = QCryptographicHash::hash(instanceName.toUtf8(), QCryptographicHash::Sha1).toHex().left(24);
    return QStringLiteral("zeph-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

QString LockFilePath(const QString& instanceName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + ServerName(instanceName) + QStringLiteral(".lock");
}

bool IsHeld(const QString& identity)
{
    const QString path = LockFilePath(InstanceName(identity));
    if (!QFileInfo::exists(path))
        return false;
    QLockFile lock(path);
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application))
        return true; // being written right now
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return true; // another machine's process: it cannot be asked, so it counts
    if (pid == getpid())
        return true;
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

} // namespace InstanceLock
