#pragma once

#include "ThrowawayUser.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// FTP servers for the tests, each on 127.0.0.1 and a port chosen at run time, started by the
// test that needs it and stopped by its process id.
class TestFtpServer
{
public:
    enum Kind { Vsftpd, Pyftpdlib, Fault };

    // `scenario` names the fault server's misbehaviour (see ftp_fault_server.py).
    explicit TestFtpServer(Kind kind, const QString& scenario = QStringLiteral("normal"));
    ~TestFtpServer();
    TestFtpServer(const TestFtpServer&) = delete;
    TestFtpServer& operator=(const TestFtpServer&) = delete;

    // Starts the server and waits until it greets. False with a message naming the missing
    // package or what went wrong.
    bool Start(QString* error);
    // vsftpd only, before Start: log in as an existing user whose home is `root` (the procmail
    // sandbox's user, so that uploads land where procmail reads them) instead of a new one.
    void UseAccount(const QString& user, const QString& password, const QString& root);
    // Before Start: serve TLS only (logins and data), `mode` 1 explicit (AUTH TLS) or 2 implicit
    // (vsftpd only), with this certificate. vsftpd also demands that every data connection
    // resumes the control connection's TLS session, as it does by default. The fault server
    // takes AUTH TLS besides plain commands (see ftp_fault_server.py).
    void UseTls(int mode, const QString& certificate, const QString& key);
    int TlsMode() const { return m_tlsMode; }
    void Stop();

    Kind ServerKind() const { return m_kind; }
    QString Name() const;
    int Port() const { return m_port; }
    QString User() const { return m_user; }
    QString Password() const { return m_password; }
    // The folder the user logs into (not for the fault server).
    QString Root() const { return m_root; }
    // Writes a file under Root() (creating its folders) owned by the login user, so that the
    // server may rename and delete it. Not for the fault server.
    bool PutFile(const QString& relative, const QByteArray& bytes);
    bool MakeDir(const QString& relative);
    // The content of a file under Root(), or "<missing>".
    QByteArray FileContent(const QString& relative) const;
    bool Exists(const QString& relative) const;
    // vsftpd with TLS: its log of every command it received and every reply it sent.
    QByteArray ProtocolLog() const;
    // The fault server's "C: " lines so far: every command it received.
    QList<QByteArray> Commands();

    static int FreePort();

private:
    bool startVsftpd(QString* error);
    bool startPyftpdlib(QString* error);
    bool startFault(QString* error);
    bool waitForGreeting(QString* error);

    Kind m_kind;
    int m_tlsMode = 0;
    QString m_certificate;
    QString m_key;
    QString m_scenario;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    QString m_user;
    QString m_password;
    int m_port = 0;
    qint64 m_pid = 0;
    QProcess m_process;
    QByteArray m_output;
    ThrowawayUser m_account;
};

// Starts `server`; false with a warning that says what went wrong.
bool StartTestServer(TestFtpServer& server);
