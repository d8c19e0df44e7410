#include "XSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

XSession::~XSession()
{
    stop(m_windowManager);
    stop(m_server);
}

void XSession::stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool XSession::Start(QString* error)
{
    for (const char* tool : { "Xvfb", "openbox", "xdotool" }) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            *error = QStringLiteral("%1 is missing: install the Debian packages xvfb, openbox and xdotool "
                                    "(scripts/install-deps)")
                         .arg(QLatin1String(tool));
            return false;
        }
    }
    // A display number nobody uses: no socket and no lock file.
    for (int number = 90 + int(QCoreApplication::applicationPid() % 400); number < 1000; ++number) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))
            || QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            continue;
        m_display = QStringLiteral(":%1").arg(number);
        break;
    }
    if (m_display.isEmpty()) {
        *error = QStringLiteral("no free X display number");
        return false;
    }
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(QStringLiteral("Xvfb"),
        { m_display, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x800x24"),
            QStringLiteral("-nolisten"), QStringLiteral("tcp") });
    if (!m_server.waitForStarted(10000)) {
        *error = QStringLiteral("Xvfb could not be started");
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    const QString socket = QStringLiteral("/tmp/.X11-unix/X") + m_display.mid(1);
    while (!QFileInfo::exists(socket)) {
        if (m_server.state() != QProcess::Running || waited.elapsed() > 15000) {
            *error = QStringLiteral("Xvfb did not start on %1: %2")
                         .arg(m_display, QString::fromLocal8Bit(m_server.readAll()));
            return false;
        }
        QThread::msleep(50);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("HOME"), m_dir.path());
    m_windowManager.setProcessEnvironment(env);
    m_windowManager.setProcessChannelMode(QProcess::MergedChannels);
    m_windowManager.start(QStringLiteral("openbox"), {});
    if (!m_windowManager.waitForStarted(10000)) {
        *error = QStringLiteral("openbox could not be started");
        return false;
    }
    // The window manager is ready once it announces its desktops.
    waited.restart();
    while (XDoTool({ QStringLiteral("get_desktop") }).trimmed().isEmpty()) {
        if (m_windowManager.state() != QProcess::Running || waited.elapsed() > 15000) {
            *error = QStringLiteral("openbox did not start: %1")
                         .arg(QString::fromLocal8Bit(m_windowManager.readAll()));
            return false;
        }
        QThread::msleep(100);
    }
    return true;
}

QProcessEnvironment XSession::Environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DISPLAY"), m_display);
    base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return base;
}

QByteArray XSession::XDoTool(const QStringList& arguments, int timeoutMs) const
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(timeoutMs) || tool.exitStatus() != QProcess::NormalExit
        || tool.exitCode() != 0) {
        tool.kill();
        tool.waitForFinished(1000);
        return QByteArray();
    }
    const QByteArray output = tool.readAllStandardOutput();
    return output.isEmpty() ? QByteArray("") : output;
}

QString XSession::WaitForWindow(const QString& pattern, int timeoutMs) const
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        const QByteArray found = XDoTool(
            { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern });
        if (!found.trimmed().isEmpty())
            return QString::fromLatin1(found.trimmed().split('\n').first());
        QThread::msleep(100);
    }
    return QString();
}
