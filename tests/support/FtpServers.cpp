#include "FtpServers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef ZEPH_SOURCE_DIR
#define ZEPH_SOURCE_DIR "."
#endif

namespace {

const char* const Python = "/usr/bin/python3";

// A TCP connect to 127.0.0.1:port that reads the first bytes, or nothing.
QByteArray probe(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return QByteArray();
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<quint16>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray got;
    if (::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        timeval wait { 2, 0 };
        ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char buffer[256];
        const ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
        if (n > 0)
            got = QByteArray(buffer, static_cast<int>(n));
        static const char quit[] = "QUIT\r\n";
        [[maybe_unused]] auto sent = ::send(s, quit, sizeof quit - 1, MSG_NOSIGNAL);
    }
    ::close(s);
    return got;
}

// Whether a TCP connect to 127.0.0.1:port succeeds (an implicit TLS server greets only after a
// handshake).
bool accepts(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<quint16>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = ::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    ::close(s);
    return connected;
}

} // namespace

void TestFtpServer::UseTls(int mode, const QString& certificate, const QString& key)
{
    m_tlsMode = mode;
    m_certificate = certificate;
    m_key = key;
}

TestFtpServer::TestFtpServer(Kind kind, const QString& scenario)
    : m_kind(kind)
    , m_scenario(scenario)
{
}

TestFtpServer::~TestFtpServer()
{
    Stop();
}

QString TestFtpServer::Name() const
{
    switch (m_kind) {
    case Vsftpd:
        return QStringLiteral("vsftpd");
    case Pyftpdlib:
        return QStringLiteral("pyftpdlib");
    case Fault:
        return QStringLiteral("fault server (%1)").arg(m_scenario);
    }
    return QString();
}

int TestFtpServer::FreePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) == 0)
        port = ntohs(at.sin_port);
    ::close(s);
    return port;
}

bool TestFtpServer::Start(QString* error)
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zeph-ftp-XXXXXX"));
    if (!m_dir->isValid()) {
        *error = QStringLiteral("no temporary folder for the FTP server");
        return false;
    }
    switch (m_kind) {
    case Vsftpd:
        return startVsftpd(error);
    case Pyftpdlib:
        return startPyftpdlib(error);
    case Fault:
        return startFault(error);
    }
    return false;
}

bool TestFtpServer::waitForGreeting(QString* error)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 15000) {
        if (m_process.state() != QProcess::Running) {
            *error = QStringLiteral("%1 ended at start: %2%3")
                         .arg(Name(), QString::fromLocal8Bit(m_process.readAllStandardError()),
                             QString::fromLocal8Bit(m_process.readAllStandardOutput()));
            return false;
        }
        if (m_tlsMode == 2 ? accepts(m_port) : probe(m_port).startsWith("220"))
            return true;
        QThread::msleep(100);
    }
    *error = QStringLiteral("%1 did not greet on port %2").arg(Name()).arg(m_port);
    return false;
}

void TestFtpServer::UseAccount(const QString& user, const QString& password, const QString& root)
{
    m_user = user;
    m_password = password;
    m_root = root;
}

bool TestFtpServer::startVsftpd(QString* error)
{
    const QString program = QStringLiteral("/usr/sbin/vsftpd");
    if (!QFileInfo(program).isExecutable()) {
        *error = QStringLiteral("vsftpd is missing: install the Debian package vsftpd");
        return false;
    }
    if (::geteuid() != 0) {
        *error = QStringLiteral("vsftpd tests need root to create their throwaway login user");
        return false;
    }
    if (!QDir().mkpath(QStringLiteral("/var/run/vsftpd/empty"))) {
        *error = QStringLiteral("cannot create /var/run/vsftpd/empty for vsftpd");
        return false;
    }
    if (m_user.isEmpty()) {
        m_root = m_dir->path() + QStringLiteral("/home");
        QDir().mkpath(m_root);
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        m_password = QStringLiteral("pw%1").arg(QRandomGenerator::global()->bounded(100000, 999999));
        if (!m_account.Create(QStringLiteral("zephftp"), m_root, QStringLiteral("/bin/sh"), false, error))
            return false;
        m_user = m_account.Name();
        if (!m_account.SetPassword(m_password, error)
            || !ThrowawayUser::RunTool(QStringLiteral("chown"), { m_user, m_root }, QByteArray(), error))
            return false;
    }
    m_port = FreePort();
    const int pasv = FreePort();
    const QString config = m_dir->path() + QStringLiteral("/vsftpd.conf");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1").arg(config);
        return false;
    }
    file.write(QStringLiteral("listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%1\n"
                              "background=NO\nanonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\n"
                              "local_umask=022\nchmod_enable=YES\npasv_enable=YES\npasv_min_port=%2\n"
                              "pasv_max_port=%3\npasv_address=127.0.0.1\nport_enable=YES\n"
                              "connect_from_port_20=NO\nsecure_chroot_dir=/var/run/vsftpd/empty\n"
                              "pam_service_name=vsftpd\nseccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
                              "xferlog_enable=NO\nchroot_local_user=NO\nuse_localtime=YES\n")
                   .arg(m_port)
                   .arg(pasv)
                   .arg(std::min(pasv + 20, 65535))
                   .toUtf8());
    if (m_tlsMode != 0)
        file.write(
            QStringLiteral("ssl_enable=YES\nrsa_cert_file=%1\nrsa_private_key_file=%2\nssl_ciphers=HIGH\n"
                           "force_local_logins_ssl=YES\nforce_local_data_ssl=YES\nrequire_ssl_reuse=YES\n"
                           "implicit_ssl=%3\nxferlog_enable=YES\nxferlog_std_format=NO\n"
                           "log_ftp_protocol=YES\nvsftpd_log_file=%4\n")
                .arg(m_certificate, m_key, m_tlsMode == 2 ? QStringLiteral("YES") : QStringLiteral("NO"),
                    m_dir->filePath(QStringLiteral("vsftpd.log")))
                .toUtf8());
    file.close();
    m_process.start(program, { config });
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("vsftpd could not be started (Debian package vsftpd)");
        return false;
    }
    m_pid = m_process.processId();
    return waitForGreeting(error);
}

bool TestFtpServer::startPyftpdlib(QString* error)
{
    if (!QFileInfo(QLatin1String(Python)).isExecutable()) {
        *error = QStringLiteral("/usr/bin/python3 is missing: install the Debian package python3");
        return false;
    }
    QProcess check;
    check.start(QLatin1String(Python), { QStringLiteral("-c"), QStringLiteral("import pyftpdlib") });
    check.waitForFinished(20000);
    if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0) {
        *error = QStringLiteral("pyftpdlib is missing: install the Debian package python3-pyftpdlib");
        return false;
    }
    if (m_tlsMode != 0) {
        check.start(QLatin1String(Python), { QStringLiteral("-c"), QStringLiteral("import OpenSSL") });
        check.waitForFinished(20000);
        if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0) {
            *error = QStringLiteral("pyOpenSSL is missing: install the Debian package python3-openssl");
            return false;
        }
    }
    m_root = m_dir->path() + QStringLiteral("/home");
    QDir().mkpath(m_root);
    m_user = QStringLiteral("tester");
    m_password = QStringLiteral("pw%1").arg(QRandomGenerator::global()->bounded(100000, 999999));
    m_port = FreePort();
    const int pasv = FreePort();
    const QString script
        = QStringLiteral("import sys, logging\n"
                         "from pyftpdlib.authorizers import DummyAuthorizer\n"
                         "from pyftpdlib.handlers import FTPHandler\n"
                         "from pyftpdlib.servers import FTPServer\n"
                         "logging.basicConfig(level=logging.WARNING)\n"
                         "a = DummyAuthorizer()\n"
                         "a.add_user(sys.argv[2], sys.argv[3], sys.argv[4], perm='elradfmwMT')\n"
                         "if sys.argv[6] != '0':\n"
                         "    from pyftpdlib.handlers import TLS_FTPHandler as FTPHandler\n"
                         "    FTPHandler.certfile = sys.argv[7]\n"
                         "    FTPHandler.keyfile = sys.argv[8]\n"
                         "    FTPHandler.tls_control_required = True\n"
                         "    FTPHandler.tls_data_required = True\n"
                         "h = FTPHandler\n"
                         "h.authorizer = a\n"
                         "h.passive_ports = range(int(sys.argv[5]), int(sys.argv[5]) + 20)\n"
                         "h.permit_foreign_addresses = False\n"
                         "s = FTPServer(('127.0.0.1', int(sys.argv[1])), h)\n"
                         "s.serve_forever()\n");
    m_process.start(QLatin1String(Python),
        { QStringLiteral("-c"), script, QString::number(m_port), m_user, m_password, m_root,
            QString::number(std::min(pasv, 65500)), QString::number(m_tlsMode), m_certificate, m_key });
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("/usr/bin/python3 could not be started (Debian package python3)");
        return false;
    }
    m_pid = m_process.processId();
    return waitForGreeting(error);
}

bool TestFtpServer::startFault(QString* error)
{
    const QString script = QStringLiteral(ZEPH_SOURCE_DIR "/tests/support/ftp_fault_server.py");
    if (!QFileInfo(QLatin1String(Python)).isExecutable()) {
        *error = QStringLiteral("/usr/bin/python3 is missing: install the Debian package python3");
        return false;
    }
    m_user = QStringLiteral("u");
    m_password = QStringLiteral("p");
    QStringList args = { QStringLiteral("-u"), script, m_scenario };
    if (!m_certificate.isEmpty())
        args << m_certificate << m_key;
    m_process.start(QLatin1String(Python), args);
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("the fault server could not be started (Debian package python3)");
        return false;
    }
    m_pid = m_process.processId();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 15000 && !m_output.contains('\n')) {
        m_process.waitForReadyRead(200);
        m_output += m_process.readAllStandardOutput();
        if (m_process.state() != QProcess::Running)
            break;
    }
    const QByteArray first = m_output.left(m_output.indexOf('\n'));
    if (!first.startsWith("PORT ")) {
        *error = QStringLiteral("the fault server did not start: %1")
                     .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
        return false;
    }
    m_port = first.mid(5).trimmed().toInt();
    return m_port > 0;
}

QList<QByteArray> TestFtpServer::Commands()
{
    m_process.waitForReadyRead(50);
    m_output += m_process.readAllStandardOutput();
    QList<QByteArray> commands;
    for (const QByteArray& line : m_output.split('\n')) {
        if (line.startsWith("C: "))
            commands.append(line.mid(3));
    }
    return commands;
}

void TestFtpServer::Stop()
{
    if (m_pid > 0) {
        ::kill(static_cast<pid_t>(m_pid), SIGTERM);
        if (!m_process.waitForFinished(5000)) {
            ::kill(static_cast<pid_t>(m_pid), SIGKILL);
            m_process.waitForFinished(5000);
        }
        m_pid = 0;
    }
    m_account.Remove();
}

bool TestFtpServer::MakeDir(const QString& relative)
{
    if (m_root.isEmpty() || !QDir().mkpath(m_root + QLatin1Char('/') + relative))
        return false;
    if (m_kind != Vsftpd)
        return true;
    QString error;
    return ThrowawayUser::RunTool(
        QStringLiteral("chown"), { QStringLiteral("-R"), m_user, m_root }, QByteArray(), &error);
}

bool TestFtpServer::PutFile(const QString& relative, const QByteArray& bytes)
{
    const QString path = m_root + QLatin1Char('/') + relative;
    if (m_root.isEmpty() || !QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return MakeDir(QFileInfo(relative).path());
}

QByteArray TestFtpServer::FileContent(const QString& relative) const
{
    QFile file(m_root + QLatin1Char('/') + relative);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

QByteArray TestFtpServer::ProtocolLog() const
{
    QFile file(m_dir ? m_dir->filePath(QStringLiteral("vsftpd.log")) : QString());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TestFtpServer::Exists(const QString& relative) const
{
    return QFileInfo::exists(m_root + QLatin1Char('/') + relative);
}

bool StartTestServer(TestFtpServer& server)
{
    QString error;
    if (server.Start(&error))
        return true;
    qWarning("%s", qUtf8Printable(error));
    return false;
}
