#include "TestSecretService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/types.h>

namespace {

struct Tool
{
    const char* program;
    const char* package;
};

// Claims the service's name and never runs a main loop, so every call to it waits for an answer
// that never comes: a keychain stuck behind a hung D-Bus peer.
// A session bus like the standard one, but without the folders of services it may start.
const char BareSessionBus[]
    = "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
      " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
      "<busconfig>\n"
      "  <type>session</type>\n"
      "  <listen>unix:tmpdir=/tmp</listen>\n"
      "  <auth>EXTERNAL</auth>\n"
      "  <policy context=\"default\">\n"
      "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
      "    <allow eavesdrop=\"true\"/>\n"
      "    <allow own=\"*\"/>\n"
      "  </policy>\n"
      "</busconfig>\n";

const char SilentService[] = "import dbus, time\n"
                             "bus = dbus.SessionBus()\n"
                             "bus.request_name('org.freedesktop.secrets')\n"
                             "time.sleep(3600)\n";

} // namespace

TestSecretService::TestSecretService(Kind kind)
    : m_kind(kind)
{
}

TestSecretService::~TestSecretService()
{
    Stop();
}

bool TestSecretService::Start(QString* error)
{
    const Tool tools[] = {
        { "dbus-run-session", "dbus-daemon" },
        { "dbus-send", "dbus-bin" },
        { "gnome-keyring-daemon", "gnome-keyring" },
        { "secret-tool", "libsecret-tools" },
        { "/usr/bin/python3", "python3-dbus" },
    };
    for (const Tool& tool : tools) {
        if (QStandardPaths::findExecutable(QLatin1String(tool.program)).isEmpty()) {
            *error = QStringLiteral("%1 is missing: install the Debian package %2 (scripts/install-deps)")
                         .arg(QLatin1String(tool.program), QLatin1String(tool.package));
            return false;
        }
    }
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("run"))
        || !QFile::setPermissions(m_dir.filePath(QStringLiteral("run")),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        *error = QStringLiteral("no temporary folder for the Secret Service");
        return false;
    }

    // The keyrings and the daemon's sockets live in the temporary folder.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_dir.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("run")));
    m_process.setProcessEnvironment(ClientEnvironment(env));

    if (m_kind == Kind::Absent) {
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(BareSessionBus) != qint64(sizeof BareSessionBus - 1)) {
            *error = QStringLiteral("cannot write %1").arg(config);
            return false;
        }
        file.close();
        return startService({ QStringLiteral("sleep"), QStringLiteral("3600") }, QByteArray(), error,
            { QStringLiteral("--config-file=") + config });
    }
    if (m_kind == Kind::Silent) {
        QProcess probe;
        probe.start(
            QStringLiteral("/usr/bin/python3"), { QStringLiteral("-c"), QStringLiteral("import dbus") });
        if (!probe.waitForFinished(10000) || probe.exitCode() != 0) {
            *error
                = QStringLiteral("Python's dbus module is missing: install the Debian package python3-dbus");
            return false;
        }
        return startService(
            { QStringLiteral("/usr/bin/python3"), QStringLiteral("-c"), QLatin1String(SilentService) },
            QByteArray(), error);
    }
    const QStringList keyring = { QStringLiteral("gnome-keyring-daemon"), QStringLiteral("--foreground"),
        QStringLiteral("--components=secrets") };
    // --unlock reads the new login keyring's password from standard input up to its end. A locked
    // keyring is one made like that by an earlier session and not unlocked by this one.
    if (!startService(keyring + QStringList(QStringLiteral("--unlock")), "keyring password", error))
        return false;
    if (m_kind == Kind::Locked) {
        Stop();
        return startService(keyring, QByteArray(), error);
    }
    return true;
}

bool TestSecretService::startService(
    const QStringList& service, const QByteArray& input, QString* error, const QStringList& busOptions)
{
    // The shell prints its process id, which the service keeps by exec, and the bus address.
    m_process.start(QStringLiteral("dbus-run-session"),
        busOptions
            + QStringList { QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                QStringLiteral("echo \"$$\"; echo \"$DBUS_SESSION_BUS_ADDRESS\"; exec \"$@\""),
                QStringLiteral("sh") }
            + service);
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("dbus-run-session could not be started (Debian package dbus-daemon)");
        return false;
    }
    // Written out now: nothing here runs an event loop that would flush it later, and the daemon
    // waits for the end of its input.
    if (!input.isEmpty()) {
        m_process.write(input);
        m_process.waitForBytesWritten(10000);
    }
    m_process.closeWriteChannel();

    QByteArray output;
    QElapsedTimer waited;
    waited.start();
    while (output.count('\n') < 2 && waited.elapsed() < 20000 && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(200);
        output += m_process.readAllStandardOutput();
    }
    const QList<QByteArray> lines = output.split('\n');
    if (lines.size() < 3 || lines[0].toLongLong() <= 0 || lines[1].isEmpty()) {
        *error = QStringLiteral("the private session bus did not start: %1")
                     .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
        Stop();
        return false;
    }
    m_servicePid = lines[0].toLongLong();
    m_address = QString::fromLocal8Bit(lines[1]);

    while (m_kind != Kind::Absent && !nameHasOwner()) {
        if (waited.elapsed() > 20000 || m_process.state() != QProcess::Running) {
            *error = QStringLiteral("the Secret Service did not come up on the private bus: %1")
                         .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
            Stop();
            return false;
        }
        QThread::msleep(100);
    }
    return true;
}

void TestSecretService::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    // Ending the service ends dbus-run-session, which then stops the bus it started.
    if (m_servicePid > 0)
        ::kill(static_cast<pid_t>(m_servicePid), SIGTERM);
    if (!m_process.waitForFinished(5000)) {
        if (m_servicePid > 0)
            ::kill(static_cast<pid_t>(m_servicePid), SIGKILL);
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    m_servicePid = 0;
}

QProcessEnvironment TestSecretService::ClientEnvironment(const QProcessEnvironment& base) const
{
    QProcessEnvironment env = base;
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

bool TestSecretService::nameHasOwner() const
{
    QProcess send;
    send.start(QStringLiteral("dbus-send"),
        QStringList { QStringLiteral("--bus=") + m_address, QStringLiteral("--print-reply"),
            QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
            QStringLiteral("string:org.freedesktop.secrets") });
    return send.waitForFinished(10000) && send.readAllStandardOutput().contains("boolean true");
}

bool TestSecretService::runSecretTool(
    const QStringList& args, const QByteArray& input, QByteArray* output) const
{
    QProcess tool;
    tool.setProcessEnvironment(ClientEnvironment(m_process.processEnvironment()));
    tool.start(QStringLiteral("secret-tool"), args);
    if (!tool.waitForStarted(10000))
        return false;
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(20000)) {
        tool.kill();
        tool.waitForFinished(5000);
        return false;
    }
    if (output)
        *output = tool.readAllStandardOutput();
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool TestSecretService::Lookup(const QStringList& attributes, QByteArray* secret) const
{
    return runSecretTool(QStringList { QStringLiteral("lookup") } + attributes, QByteArray(), secret);
}

bool TestSecretService::Store(const QStringList& attributes, const QByteArray& secret) const
{
    return runSecretTool(
        QStringList { QStringLiteral("store"), QStringLiteral("--label=stored by the test") } + attributes,
        secret, nullptr);
}
