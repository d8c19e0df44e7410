#include "ThrowawayUser.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {

// Tries a step that may meet a held password-file lock for up to about ten seconds.
bool retried(const QString& program, const QStringList& args, const QByteArray& input, QString* error)
{
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (ThrowawayUser::RunTool(program, args, input, error))
            return true;
        QThread::msleep(250);
    }
    return false;
}

} // namespace

bool ThrowawayUser::RunTool(
    const QString& program, const QStringList& args, const QByteArray& input, QString* error)
{
    const QString path = QStandardPaths::findExecutable(program,
        { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin"),
            QStringLiteral("/bin") });
    if (path.isEmpty()) {
        *error = QStringLiteral("%1 is missing: install the Debian package passwd").arg(program);
        return false;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(path, args);
    if (!process.waitForStarted(10000)) {
        *error = QStringLiteral("%1 could not be started: %2").arg(program, process.errorString());
        return false;
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        *error = QStringLiteral("%1 did not finish").arg(program);
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("%1 %2 failed (%3): %4")
                     .arg(program, args.join(QLatin1Char(' ')))
                     .arg(process.exitCode())
                     .arg(QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool ThrowawayUser::Create(
    const QString& prefix, const QString& home, const QString& shell, bool ownGroup, QString* error)
{
    if (geteuid() != 0) {
        *error = QStringLiteral("this test creates a throwaway user and must run as root (as CI does)");
        return false;
    }
    m_name = QStringLiteral("%1%2").arg(prefix).arg(QRandomGenerator::global()->bounded(100000, 999999));
    m_ownGroup = ownGroup;
    const QStringList args { QStringLiteral("-M"), ownGroup ? QStringLiteral("-U") : QStringLiteral("-N"),
        QStringLiteral("-d"), home, QStringLiteral("-s"), shell, m_name };
    m_created = retried(QStringLiteral("useradd"), args, QByteArray(), error);
    return m_created;
}

bool ThrowawayUser::SetPassword(const QString& password, QString* error)
{
    return retried(QStringLiteral("chpasswd"), {},
        (m_name + QLatin1Char(':') + password + QLatin1Char('\n')).toUtf8(), error);
}

void ThrowawayUser::Remove()
{
    if (!m_created)
        return;
    QString ignored;
    retried(QStringLiteral("userdel"), { m_name }, QByteArray(), &ignored);
    // userdel removes a group of the user's name itself when no one else is in it.
    if (m_ownGroup)
        RunTool(QStringLiteral("groupdel"), { m_name }, QByteArray(), &ignored);
    m_created = false;
}
