#include "LogProcmail.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool runTool(const QString& program, const QStringList& args, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        *output = QStringLiteral("%1 did not finish").arg(program);
        return false;
    }
    *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

LogProcmail::LogProcmail()
{
    if (geteuid() != 0) {
        Fail(QStringLiteral("the procmail log tests run procmail as a throwaway user and must run as root"));
        return;
    }
    for (const char* tool : {"procmail", "useradd", "userdel", "setpriv"}) {
        const QString name = QLatin1String(tool);
        if (QStandardPaths::findExecutable(name, {QStringLiteral("/usr/bin"), QStringLiteral("/usr/sbin"),
                                                  QStringLiteral("/bin"), QStringLiteral("/sbin")})
                .isEmpty()) {
            const char* package = name == QLatin1String("procmail") ? "procmail"
                : name == QLatin1String("setpriv")                  ? "util-linux"
                                                                    : "passwd";
            Fail(QStringLiteral("%1 is missing; install the Debian package %2").arg(name, QLatin1String(package)));
            return;
        }
    }
    if (!m_home.isValid()) {
        Fail(QStringLiteral("no temporary folder for the sandbox home"));
        return;
    }
    // procmail refuses homes and rc files that others may write to.
    ::chmod(QFile::encodeName(m_home.path()).constData(), 0755);
    m_user = QStringLiteral("zlog%1").arg(QCoreApplication::applicationPid());
    QString output;
    if (!runTool(QStringLiteral("useradd"), {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                                             QStringLiteral("--home-dir"), m_home.path(), QStringLiteral("--shell"),
                                             QStringLiteral("/bin/sh"), QStringLiteral("--user-group"), m_user},
                 &output)) {
        Fail(QStringLiteral("useradd %1 failed: %2").arg(m_user, output));
        return;
    }
    m_userAdded = true;
    const passwd* entry = getpwnam(QFile::encodeName(m_user).constData());
    if (!entry) {
        Fail(QStringLiteral("the new user %1 cannot be found").arg(m_user));
        return;
    }
    m_uid = entry->pw_uid;
    m_gid = entry->pw_gid;
    if (::chown(QFile::encodeName(m_home.path()).constData(), m_uid, m_gid) != 0) {
        Fail(QStringLiteral("cannot give the sandbox home to %1").arg(m_user));
        return;
    }
    m_ready = true;
}

LogProcmail::~LogProcmail()
{
    if (m_userAdded) {
        QString output;
        runTool(QStringLiteral("userdel"), {m_user}, &output);
    }
}

bool LogProcmail::Fail(const QString& error)
{
    m_error = error;
    return false;
}

bool LogProcmail::WriteFile(const QString& relativePath, const QByteArray& content)
{
    const QString path = m_home.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return Fail(QStringLiteral("cannot write %1").arg(path));
    file.close();
    // Everything from the home down to the file belongs to the sandbox user.
    for (QString p = path; p.startsWith(m_home.path()); p = QFileInfo(p).absolutePath()) {
        if (::chown(QFile::encodeName(p).constData(), m_uid, m_gid) != 0)
            return Fail(QStringLiteral("cannot give %1 to %2").arg(p, m_user));
        if (p == m_home.path())
            break;
    }
    ::chmod(QFile::encodeName(path).constData(), 0644);
    return true;
}

QByteArray LogProcmail::ReadFile(const QString& relativePath) const
{
    QFile file(m_home.filePath(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool LogProcmail::Deliver(const QByteArray& sender, const QByteArray& message)
{
    if (!m_ready)
        return false;
    QProcess process;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("LOGNAME"), m_user);
    environment.insert(QStringLiteral("USER"), m_user);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_home.path());
    process.start(QStringLiteral("setpriv"),
                  {QStringLiteral("--reuid=%1").arg(m_uid), QStringLiteral("--regid=%1").arg(m_gid),
                   QStringLiteral("--clear-groups"), QStringLiteral("procmail"), QStringLiteral("-f"),
                   QString::fromLatin1(sender), m_home.filePath(QStringLiteral(".procmailrc"))});
    if (!process.waitForStarted(10000))
        return Fail(QStringLiteral("setpriv/procmail did not start"));
    process.write(message);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return Fail(QStringLiteral("procmail did not finish"));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return Fail(QStringLiteral("procmail failed (exit %1): %2")
                        .arg(process.exitCode())
                        .arg(QString::fromLocal8Bit(process.readAllStandardError())));
    return true;
}
