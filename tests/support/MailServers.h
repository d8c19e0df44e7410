#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// The peers of the mail and web clients in the tests, each on 127.0.0.1 and a port chosen at run
// time, started by the test that needs it and stopped by its process id when it goes.

// A helper script (tests/support/*.py) that prints "PORT <n>" first and then one line per event.
class TestPeerProcess
{
public:
    TestPeerProcess() = default;
    ~TestPeerProcess();
    TestPeerProcess(const TestPeerProcess&) = delete;
    TestPeerProcess& operator=(const TestPeerProcess&) = delete;

    // Starts /usr/bin/python3 with the script and arguments and waits for its port. False with
    // a message naming the missing package or what went wrong.
    bool Start(const QString& script, const QStringList& args, const QString& package, QString* error);
    void Stop();
    int Port() const { return m_port; }
    // Every line the script printed after its port.
    QList<QByteArray> Lines();

private:
    QProcess m_process;
    qint64 m_pid = 0;
    int m_port = 0;
    QByteArray m_output;
};

// aiosmtpd, without a login or with PLAIN, LOGIN and CRAM-MD5 for one user; optionally a server
// that relays only to one domain.
class TestSmtpServer
{
public:
    struct Options
    {
        QString user; // empty: no login asked
        QString password;
        QString relayDomain; // empty: every recipient is taken
    };
    struct Received
    {
        QByteArray content; // the data as the server took it
        QByteArray from;
        QList<QByteArray> to;
    };

    explicit TestSmtpServer(const Options& options = Options());
    // Before Start: mail for `address` goes to real procmail run as `user`, with `sendmail` as its
    // SENDMAIL (see smtp_server.py --local).
    void DeliverLocally(const QString& address, const QString& user, const QString& sendmail);
    // Before Start: STARTTLS offered with this certificate and demanded before MAIL and AUTH, or
    // with `implicit` TLS from the first byte.
    void UseTls(const QString& certificate, const QString& key, bool implicit);
    bool Start(QString* error);
    int Port() const { return m_peer.Port(); }
    // With local delivery: the Unix socket on which the server also takes mail, the only way out
    // of a delivery (it has no network).
    QString LocalSocket() const;
    QList<Received> Messages() const;
    // How many connections the server accepted so far.
    int Connections();
    // "AUTH <mechanism> ok|failed" for every login so far.
    QList<QByteArray> Logins();
    // procmail's exit code for every finished local delivery, in the order the messages came.
    QList<int> Deliveries();
    // Local deliveries that have started and not ended yet.
    int DeliveriesRunning();

private:
    Options m_options;
    QStringList m_local;
    QStringList m_tls;
    QTemporaryDir m_dir;
    TestPeerProcess m_peer;
};

// dovecot's POP3 server in the foreground with a configuration and password file of its own.
class TestPop3Server
{
public:
    TestPop3Server();
    ~TestPop3Server();
    // Before Start: "ssl = required" with this certificate (STLS on Port(), and TLS from the first
    // byte on TlsPort()); no login without TLS.
    void UseTls(const QString& certificate, const QString& key);
    bool Start(QString* error);
    int TlsPort() const { return m_tlsPort; }
    void Stop();
    int Port() const { return m_port; }
    QString User() const { return QStringLiteral("tester"); }
    QString Password() const { return m_password; }
    // dovecot's log so far.
    QByteArray Log() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    qint64 m_pid = 0;
    int m_port = 0;
    int m_tlsPort = 0;
    QString m_certificate;
    QString m_key;
    QString m_password;
};

// Python's http.server with the files of `files` under its root, or one of the misbehaviours of
// http_version_server.py.
class TestHttpServer
{
public:
    explicit TestHttpServer(const QString& scenario = QStringLiteral("files"),
        const QMap<QString, QByteArray>& files = QMap<QString, QByteArray>());
    bool Start(QString* error);
    int Port() const { return m_peer.Port(); }
    QString Url(const QString& path) const;
    // The request lines and headers it read, without "REQUEST ".
    QList<QByteArray> Requests();

private:
    QString m_scenario;
    QMap<QString, QByteArray> m_files;
    QTemporaryDir m_dir;
    TestPeerProcess m_peer;
};

// A scripted peer for what real servers do not do (script_server.py); the script reads like a
// transcript: "say 220 hello\r\n", "hear", ...
class ScriptedPeer
{
public:
    explicit ScriptedPeer(const QStringList& steps);
    bool Start(QString* error);
    int Port() const { return m_peer.Port(); }
    // The lines the client sent, in order.
    QList<QByteArray> ClientLines();

private:
    QStringList m_steps;
    QTemporaryDir m_dir;
    TestPeerProcess m_peer;
};
