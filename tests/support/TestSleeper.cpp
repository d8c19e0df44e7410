#include "TestSleeper.h"

#include <QCoreApplication>
#include <QProcess>
#include <QString>

TestSleeper::TestSleeper(int seconds)
    : m_command("/bin/sleep " + QByteArray::number(seconds) + '.'
        + QByteArray::number(QCoreApplication::applicationPid()))
{
}

bool TestSleeper::Running() const
{
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"),
        { QStringLiteral("-x"), QStringLiteral("-f"), QString::fromLatin1(m_command) });
    // pgrep answers 0 (found) or 1 (none); anything else would read as an answer it is not.
    if (!pgrep.waitForFinished() || pgrep.exitStatus() != QProcess::NormalExit || pgrep.exitCode() > 1)
        qFatal("pgrep could not look for %s (Debian package procps)", m_command.constData());
    return pgrep.exitCode() == 0;
}
