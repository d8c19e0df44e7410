#include "MailServers.h"

#include "FtpServers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef ZEPH_SOURCE_DIR
#define ZEPH_SOURCE_DIR "."
#endif

namespace {

const char* const Python = "/usr/bin/python3";

QString supportScript(const char* name)
{
    return QStringLiteral(ZEPH_SOURCE_DIR "/tests/support/") + QLatin1String(name);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

void stopProcess(QProcess& process, qint64* pid)
{
    if (*pid <= 0)
        return;
    ::kill(static_cast<pid_t>(*pid), SIGTERM);
    if (!process.waitForFinished(5000)) {
        ::kill(static_cast<pid_t>(*pid), SIGKILL);
        process.waitForFinished(5000);
    }
    *pid = 0;
}

} // namespace

TestPeerProcess::~TestPeerProcess()
{
    Stop();
}

bool TestPeerProcess::Start(
    const QString& script, const QStringList& args, const QString& package, QString* error)
{
    if (!QFileInfo(QLatin1String(Python)).isExecutable()) {
        *error = QStringLiteral("/usr/bin/python3 is missing: install the Debian package python3");
        return false;
    }
    m_process.start(QLatin1String(Python), QStringList { QStringLiteral("-u"), script } + args);
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("%1 could not be started").arg(script);
        return false;
    }
    m_pid = m_process.processId();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000 && !m_output.contains('\n')) {
        m_process.waitForReadyRead(200);
        m_output += m_process.readAllStandardOutput();
        if (m_process.state() != QProcess::Running)
            break;
    }
    const qsizetype end = m_output.indexOf('\n');
    const QByteArray first = m_output.left(end);
    if (!first.startsWith("PORT ")) {
        const QByteArray stderrText = m_process.readAllStandardError();
        *error = QStringLiteral("%1 did not start%2: %3")
                     .arg(QFileInfo(script).fileName(),
                         stderrText.contains("ModuleNotFoundError")
                             ? QStringLiteral(" (install the Debian package %1)").arg(package)
                             : QString(),
                         QString::fromLocal8Bit(stderrText));
        Stop();
        return false;
    }
    m_port = first.mid(5).trimmed().toInt();
    m_output.remove(0, end + 1);
    return m_port > 0;
}

void TestPeerProcess::Stop()
{
    stopProcess(m_process, &m_pid);
}

QList<QByteArray> TestPeerProcess::Lines()
{
    m_process.waitForReadyRead(50);
    m_output += m_process.readAllStandardOutput();
    QList<QByteArray> lines = m_output.split('\n');
    lines.removeLast(); // the unfinished rest
    return lines;
}

TestSmtpServer::TestSmtpServer(const Options& options)
    : m_options(options)
{
}

void TestSmtpServer::UseTls(const QString& certificate, const QString& key, bool implicit)
{
    m_tls = { implicit ? QStringLiteral("--implicit") : QStringLiteral("--starttls"), certificate, key };
}

bool TestSmtpServer::Start(QString* error)
{
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder for the SMTP server");
        return false;
    }
    QStringList args { m_dir.path() };
    if (!m_options.user.isEmpty())
        args << QStringLiteral("--auth") << m_options.user << m_options.password;
    if (!m_options.relayDomain.isEmpty())
        args << QStringLiteral("--relay-domain") << m_options.relayDomain;
    if (!m_local.isEmpty())
        args << QStringLiteral("--local") << m_local;
    args << m_tls;
    return m_peer.Start(supportScript("smtp_server.py"), args, QStringLiteral("python3-aiosmtpd"), error);
}

QString TestSmtpServer::LocalSocket() const
{
    return m_dir.filePath(QStringLiteral("local.sock"));
}

QList<TestSmtpServer::Received> TestSmtpServer::Messages() const
{
    QList<Received> messages;
    for (int n = 1;; ++n) {
        QFile content(m_dir.filePath(QStringLiteral("msg-%1.eml").arg(n)));
        QFile envelope(m_dir.filePath(QStringLiteral("msg-%1.env").arg(n)));
        if (!content.open(QIODevice::ReadOnly) || !envelope.open(QIODevice::ReadOnly))
            return messages;
        Received received;
        received.content = content.readAll();
        for (const QByteArray& line : envelope.readAll().split('\n')) {
            if (line.startsWith("FROM "))
                received.from = line.mid(5);
            else if (line.startsWith("TO "))
                received.to.append(line.mid(3));
        }
        messages.append(received);
    }
}

int TestSmtpServer::Connections()
{
    return int(m_peer.Lines().count("CONNECT"));
}

QList<QByteArray> TestSmtpServer::Logins()
{
    QList<QByteArray> logins;
    for (const QByteArray& line : m_peer.Lines()) {
        if (line.startsWith("AUTH "))
            logins.append(line);
    }
    return logins;
}

void TestSmtpServer::DeliverLocally(const QString& address, const QString& user, const QString& sendmail)
{
    m_local = QStringList { address, user, sendmail };
}

QList<int> TestSmtpServer::Deliveries()
{
    QMap<int, int> codes;
    for (const QByteArray& line : m_peer.Lines()) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 3 && words.first() == "DELIVER")
            codes.insert(words.at(1).toInt(), words.last().toInt());
    }
    return codes.values();
}

int TestSmtpServer::DeliveriesRunning()
{
    int running = 0;
    for (const QByteArray& line : m_peer.Lines()) {
        if (line.startsWith("LOCAL "))
            ++running;
        else if (line.startsWith("DELIVER "))
            --running;
    }
    return running;
}

TestPop3Server::TestPop3Server() = default;

TestPop3Server::~TestPop3Server()
{
    Stop();
}

void TestPop3Server::Stop()
{
    stopProcess(m_process, &m_pid);
}

QByteArray TestPop3Server::Log() const
{
    QFile file(m_dir.filePath(QStringLiteral("dovecot.log")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestPop3Server::UseTls(const QString& certificate, const QString& key)
{
    m_certificate = certificate;
    m_key = key;
}

bool TestPop3Server::Start(QString* error)
{
    const QString program = QStringLiteral("/usr/sbin/dovecot");
    if (!QFileInfo(program).isExecutable()) {
        *error = QStringLiteral("dovecot is missing: install the Debian package dovecot-pop3d");
        return false;
    }
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder for dovecot");
        return false;
    }
    // Run by root, dovecot keeps its login processes and the mail user off root: they run as its
    // own accounts, which must reach the folders. Run by anyone else, everything runs as that user.
    QByteArray loginUsers;
    uid_t mailUid = ::getuid();
    gid_t mailGid = ::getgid();
    if (::geteuid() == 0) {
        const passwd* account = ::getpwnam("dovecot");
        if (!account) {
            *error
                = QStringLiteral("the account dovecot is missing: install the Debian package dovecot-core");
            return false;
        }
        mailUid = account->pw_uid;
        mailGid = account->pw_gid;
    } else {
        const passwd* self = ::getpwuid(::getuid());
        const group* own = ::getgrgid(::getgid());
        if (!self || !own) {
            *error = QStringLiteral("the current user has no name for dovecot");
            return false;
        }
        loginUsers = QByteArray("default_login_user = ") + self->pw_name
            + "\ndefault_internal_user = " + self->pw_name + "\ndefault_internal_group = " + own->gr_name
            + "\nservice anvil {\n  chroot =\n}\n"; // only root may chroot
    }
    const QString root = m_dir.path();
    for (const char* folder : { "run", "state", "mail", "home" })
        QDir().mkpath(root + QLatin1Char('/') + QLatin1String(folder));
    ::chmod(QFile::encodeName(root).constData(), 0755);
    for (const char* folder : { "mail", "home" }) {
        if (::chown(QFile::encodeName(root + QLatin1Char('/') + QLatin1String(folder)).constData(), mailUid,
                mailGid)
            != 0) {
            *error = QStringLiteral("cannot hand the mail folders to the mail user of dovecot");
            return false;
        }
    }
    m_password = QStringLiteral("pop%1").arg(QRandomGenerator::global()->bounded(100000, 999999));
    if (!writeFile(root + QStringLiteral("/passwd"),
            (User() + QStringLiteral(":{PLAIN}") + m_password + QLatin1Char('\n')).toUtf8())) {
        *error = QStringLiteral("cannot write dovecot's password file");
        return false;
    }
    m_port = TestFtpServer::FreePort();
    m_tlsPort = m_certificate.isEmpty() ? 0 : TestFtpServer::FreePort();
    const QByteArray dir = QFile::encodeName(root);
    const QByteArray ssl = m_certificate.isEmpty()
        ? QByteArray("ssl = no\ndisable_plaintext_auth = no\n")
        : "ssl = required\nssl_cert = <" + QFile::encodeName(m_certificate) + "\nssl_key = <"
            + QFile::encodeName(m_key) + "\ndisable_plaintext_auth = yes\n";
    const QByteArray config = "base_dir = " + dir + "/run\nstate_dir = " + dir + "/state\nlog_path = " + dir
        + "/dovecot.log\nprotocols = pop3\nlisten = 127.0.0.1\n" + ssl + "auth_mechanisms = plain\n"
        + loginUsers + "first_valid_uid = " + QByteArray::number(mailUid)
        + "\nfirst_valid_gid = " + QByteArray::number(mailGid) + "\nmail_location = maildir:" + dir
        + "/mail/%u\npassdb {\n  driver = passwd-file\n  args = scheme=PLAIN " + dir
        + "/passwd\n}\nuserdb {\n  driver = static\n  args = uid=" + QByteArray::number(mailUid)
        + " gid=" + QByteArray::number(mailGid) + " home=" + dir
        + "/home/%u\n}\n"
          "service pop3-login {\n  chroot =\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = "
        + QByteArray::number(m_port) + "\n  }\n  inet_listener pop3s {\n    address = 127.0.0.1\n    port = "
        + QByteArray::number(m_tlsPort)
        + "\n  }\n}\n"
          "service imap-login {\n  inet_listener imap {\n    port = 0\n  }\n  inet_listener imaps {\n"
          "    port = 0\n  }\n}\n"
          "service submission-login {\n  inet_listener submission {\n    port = 0\n  }\n}\n";
    const QString configPath = root + QStringLiteral("/dovecot.conf");
    if (!writeFile(configPath, config)) {
        *error = QStringLiteral("cannot write dovecot's configuration");
        return false;
    }
    m_process.start(program, { QStringLiteral("-F"), QStringLiteral("-c"), configPath });
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("dovecot could not be started (Debian package dovecot-pop3d)");
        return false;
    }
    m_pid = m_process.processId();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000) {
        if (m_process.state() != QProcess::Running) {
            *error = QStringLiteral("dovecot ended at start: %1%2")
                         .arg(QString::fromLocal8Bit(m_process.readAll()), QString::fromLocal8Bit(Log()));
            return false;
        }
        // The greeting comes from a login process: once it is there, logins work.
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to {};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<quint16>(m_port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QByteArray got;
        if (::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
            timeval wait { 2, 0 };
            ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
            char buffer[128];
            const ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
            if (n > 0)
                got = QByteArray(buffer, static_cast<int>(n));
        }
        ::close(s);
        if (got.startsWith("+OK"))
            return true;
        QThread::msleep(100);
    }
    *error = QStringLiteral("dovecot did not greet on port %1: %2")
                 .arg(m_port)
                 .arg(QString::fromLocal8Bit(Log()));
    return false;
}

TestHttpServer::TestHttpServer(const QString& scenario, const QMap<QString, QByteArray>& files)
    : m_scenario(scenario)
    , m_files(files)
{
}

bool TestHttpServer::Start(QString* error)
{
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder for the web server");
        return false;
    }
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
        if (!writeFile(m_dir.filePath(it.key()), it.value())) {
            *error = QStringLiteral("cannot write %1 for the web server").arg(it.key());
            return false;
        }
    }
    return m_peer.Start(supportScript("http_version_server.py"), { m_dir.path(), m_scenario },
        QStringLiteral("python3"), error);
}

QString TestHttpServer::Url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(Port()).arg(path);
}

QList<QByteArray> TestHttpServer::Requests()
{
    QList<QByteArray> requests;
    for (const QByteArray& line : m_peer.Lines()) {
        if (line.startsWith("REQUEST "))
            requests.append(line.mid(8));
    }
    return requests;
}

ScriptedPeer::ScriptedPeer(const QStringList& steps)
    : m_steps(steps)
{
}

bool ScriptedPeer::Start(QString* error)
{
    const QString script = m_dir.filePath(QStringLiteral("script.txt"));
    if (!m_dir.isValid() || !writeFile(script, m_steps.join(QLatin1Char('\n')).toUtf8() + '\n')) {
        *error = QStringLiteral("cannot write the peer's script");
        return false;
    }
    return m_peer.Start(supportScript("script_server.py"), { script }, QStringLiteral("python3"), error);
}

QList<QByteArray> ScriptedPeer::ClientLines()
{
    QList<QByteArray> lines;
    for (const QByteArray& line : m_peer.Lines()) {
        if (line.startsWith("C: "))
            lines.append(line.mid(3));
    }
    return lines;
}
