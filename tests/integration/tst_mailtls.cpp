// The test mail over TLS against real servers on 127.0.0.1: aiosmtpd with STARTTLS demanded before
// AUTH and MAIL, and with TLS from the first byte; dovecot with "ssl = required" for POP before
// send, by STLS and on its TLS port. Certificates are made by openssl; trust works as for FTP.
#include "TestCertificates.h"
#include "TestEnvironment.h"
#include "ZephCli.h"
#include "core/net/CTestMailJob.h"
#include "support/MailServers.h"

#include <QTest>

namespace {

const QString User = QStringLiteral("mailer");
const QString Password = QStringLiteral("tls s3cret");

QByteArray pinOf(const QString& opensslFingerprint)
{
    return opensslFingerprint.toLower().remove(QLatin1Char(':')).toLatin1();
}

TestMail::Message testMessage()
{
    TestMail::Message message;
    message.envelopeFrom = QStringLiteral("sender@example.test");
    message.envelopeTo = QStringLiteral("rcpt@example.test");
    message.subject = QStringLiteral("Over TLS");
    message.addDate = false;
    message.body = "first line\r\n.point line\r\nlast";
    return message;
}

const QByteArray Expected
    = "Subject: Over TLS\r\nX-Warning: Headers may be forged\r\n\r\nfirst line\r\n.point line\r\nlast\r\n";

TestMail::Account accountFor(int port, int method, int tls)
{
    TestMail::Account account;
    account.smtpHost = QStringLiteral("127.0.0.1");
    account.smtpPort = port;
    account.authMethod = method;
    account.user = User;
    account.password = Password;
    account.helloName = QStringLiteral("client.example.test");
    account.smtpTimeoutMs = 10000;
    account.smtpTls = tls;
    return account;
}

CTestMailJob::Result send(const TestMail::Account& account, QList<QByteArray>* log = nullptr)
{
    CTestMailJob job(account, testMessage());
    if (log)
        job.SetLog([log](const QByteArray& line, bool fromServer) {
            log->append((fromServer ? "S: " : "C: ") + line);
        });
    if (!job.Prepare(QDateTime::currentDateTime()))
        return job.GetResult();
    return job.Run();
}

} // namespace

class TestMailTls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void smtpRoundTrip_data();
    void smtpRoundTrip();
    void starttlsNotOffered();
    void smtpTrust_data();
    void smtpTrust();
    void popBeforeSend_data();
    void popBeforeSend();
    void commandLine();

private:
    // Starts aiosmtpd with a login and TLS (STARTTLS, or implicit) on one of the certificates.
    bool startTls(
        TestSmtpServer& server, bool implicit, TestCertificates::Which which = TestCertificates::SelfSigned);

    TestEnvironment m_env;
    TestCertificates m_certificates;
};

void TestMailTls::initTestCase()
{
    QString error;
    QVERIFY2(m_certificates.Create(&error), qUtf8Printable(error));
}

bool TestMailTls::startTls(TestSmtpServer& server, bool implicit, TestCertificates::Which which)
{
    server.UseTls(m_certificates.Get(which).certificate, m_certificates.Get(which).key, implicit);
    QString error;
    if (server.Start(&error))
        return true;
    qWarning("%s", qPrintable(error));
    return false;
}

void TestMailTls::smtpRoundTrip_data()
{
    QTest::addColumn<bool>("implicit");
    QTest::addColumn<int>("method");
    QTest::newRow("STARTTLS, PLAIN") << false << int(TestMail::AuthPlain);
    QTest::newRow("STARTTLS, LOGIN") << false << int(TestMail::AuthLogin);
    QTest::newRow("STARTTLS, CRAM-MD5") << false << int(TestMail::AuthCramMd5);
    QTest::newRow("implicit, PLAIN") << true << int(TestMail::AuthPlain);
}

// The server demands STARTTLS before AUTH and MAIL (or speaks TLS from the start): the login and
// the message go through, byte-exact, and the result names the protocol and cipher.
void TestMailTls::smtpRoundTrip()
{
    QFETCH(bool, implicit);
    QFETCH(int, method);
    TestSmtpServer server({ User, Password, QString() });
    QVERIFY(startTls(server, implicit));
    TestMail::Account account = accountFor(server.Port(), method, implicit ? 2 : 1);
    account.smtpPin = pinOf(m_certificates.Get(TestCertificates::SelfSigned).fingerprint);
    QList<QByteArray> log;
    const CTestMailJob::Result result = send(account, &log);
    QVERIFY2(result.outcome == CTestMailJob::Result::Sent, qPrintable(result.text));
    QVERIFY2(result.smtpSecurity.startsWith(QStringLiteral("TLSv1.")), qPrintable(result.smtpSecurity));
    QCOMPARE(result.text, QStringLiteral("Message successfully sent! (%1)").arg(result.smtpSecurity));
    QCOMPARE(server.Messages().size(), 1);
    QCOMPARE(server.Messages()[0].content, Expected);
    QCOMPARE(server.Logins().size(), 1);
    QVERIFY(server.Logins()[0].endsWith(" ok"));
    if (!implicit) {
        // Only EHLO goes before the handshake; EHLO again after it, then the login.
        QList<QByteArray> sent;
        for (const QByteArray& line : log) {
            if (line.startsWith("C: "))
                sent.append(line.mid(3).left(10));
        }
        QCOMPARE(sent.mid(0, 3), QList<QByteArray>({ "EHLO clien", "STARTTLS", "EHLO clien" }));
        QVERIFY(sent.value(3).startsWith("AUTH "));
    }
    for (const QByteArray& line : log)
        QVERIFY2(!line.contains(Password.toUtf8()), line.constData());
}

// Asked for STARTTLS, a server that does not offer it gets no AUTH and no message.
void TestMailTls::starttlsNotOffered()
{
    TestSmtpServer server({ User, Password, QString() });
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    QList<QByteArray> log;
    const CTestMailJob::Result result = send(accountFor(server.Port(), TestMail::AuthPlain, 1), &log);
    QCOMPARE(int(result.outcome), int(CTestMailJob::Result::Failed));
    QCOMPARE(result.caption, QStringLiteral("No secure connection"));
    QVERIFY(result.text.contains(QStringLiteral("does not offer a secure connection")));
    QVERIFY(server.Logins().isEmpty());
    QVERIFY(server.Messages().isEmpty());
    for (const QByteArray& line : log)
        QVERIFY2(!line.startsWith("C: AUTH") && !line.startsWith("C: MAIL"), line.constData());
}

void TestMailTls::smtpTrust_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("withCa");
    QTest::addColumn<int>("pin"); // -1 none, else the certificate whose fingerprint is pinned
    QTest::addColumn<QString>("caption"); // empty: sent
    QTest::newRow("unknown") << int(TestCertificates::SelfSigned) << false << -1
                             << QStringLiteral("Certificate Not Trusted");
    QTest::newRow("pinned") << int(TestCertificates::SelfSigned) << false << int(TestCertificates::SelfSigned)
                            << QString();
    QTest::newRow("changed") << int(TestCertificates::SelfSignedOther) << false
                             << int(TestCertificates::SelfSigned) << QStringLiteral("Certificate Changed");
    QTest::newRow("CA-valid") << int(TestCertificates::CaSigned) << true << -1 << QString();
    QTest::newRow("CA-valid, other name") << int(TestCertificates::CaSignedOtherName) << true << -1
                                          << QStringLiteral("Certificate Not Trusted");
}

// A refused certificate stops the send before the login: the result carries the certificate and
// where its pin would go, and a changed one names both fingerprints.
void TestMailTls::smtpTrust()
{
    QFETCH(int, which);
    QFETCH(bool, withCa);
    QFETCH(int, pin);
    QFETCH(QString, caption);
    std::unique_ptr<ScopedCertFile> store;
    if (withCa)
        store = std::make_unique<ScopedCertFile>(m_certificates.CaFile());
    const auto served = static_cast<TestCertificates::Which>(which);
    TestSmtpServer server({ User, Password, QString() });
    QVERIFY(startTls(server, false, served));
    TestMail::Account account = accountFor(server.Port(), TestMail::AuthPlain, 1);
    if (pin >= 0)
        account.smtpPin = pinOf(m_certificates.Get(static_cast<TestCertificates::Which>(pin)).fingerprint);
    const CTestMailJob::Result result = send(account);
    if (caption.isEmpty()) {
        QVERIFY2(result.outcome == CTestMailJob::Result::Sent, qPrintable(result.text));
        return;
    }
    QCOMPARE(int(result.outcome), int(CTestMailJob::Result::Failed));
    QCOMPARE(result.caption, caption);
    QCOMPARE(result.certificate.DisplayFingerprint(), m_certificates.Get(served).fingerprint);
    QVERIFY(result.text.contains(m_certificates.Get(served).fingerprint));
    QCOMPARE(result.pinKey, QStringLiteral("smtp 127.0.0.1"));
    QCOMPARE(result.pinned, account.smtpPin);
    if (pin >= 0)
        QVERIFY(
            result.text.contains(m_certificates.Get(static_cast<TestCertificates::Which>(pin)).fingerprint));
    QVERIFY(server.Logins().isEmpty());
    QVERIFY(server.Messages().isEmpty());
}

void TestMailTls::popBeforeSend_data()
{
    QTest::addColumn<int>("tls");
    QTest::newRow("STLS") << 1;
    QTest::newRow("implicit") << 2;
}

// By STLS or on its TLS port the POP login before the send works with dovecot set to "ssl =
// required", and dovecot itself records the login as one over TLS.
void TestMailTls::popBeforeSend()
{
    QFETCH(int, tls);
    const TestCertificates::Pair pair = m_certificates.Get(TestCertificates::SelfSigned);
    TestPop3Server pop;
    pop.UseTls(pair.certificate, pair.key);
    QString error;
    QVERIFY2(pop.Start(&error), qPrintable(error));
    TestSmtpServer smtp;
    QVERIFY2(smtp.Start(&error), qPrintable(error));
    TestMail::Account account = accountFor(smtp.Port(), TestMail::AuthPopBeforeSend, 0);
    account.user = pop.User();
    account.password = pop.Password();
    account.popHost = QStringLiteral("127.0.0.1");
    account.popPort = tls == 2 ? pop.TlsPort() : pop.Port();
    account.popTls = tls;
    account.popPin = pinOf(pair.fingerprint);
    account.popTimeoutMs = 10000;
    const CTestMailJob::Result result = send(account);
    QVERIFY2(result.outcome == CTestMailJob::Result::Sent, qPrintable(result.text));
    QCOMPARE(smtp.Messages().size(), 1);
    const QByteArray log = pop.Log();
    const qsizetype login = log.indexOf("Login: user=<tester>");
    QVERIFY2(login >= 0, log.constData());
    QVERIFY2(log.mid(login, log.indexOf('\n', login) - login).contains("TLS"), log.constData());
}

// zeph-cli mail send --tls/--trust: an unknown certificate exits 1 with openssl's fingerprint and
// no login; trusted, the message goes and --verbose names the session's protocol.
void TestMailTls::commandLine()
{
    TestSmtpServer server({ User, Password, QString() });
    QVERIFY(startTls(server, false));
    const QString fingerprint = m_certificates.Get(TestCertificates::SelfSigned).fingerprint;
    QProcessEnvironment environment = m_env.ProcessEnvironment();
    environment.insert(QStringLiteral("ZEPH_MAIL_PW"), Password);
    const QStringList common = { QStringLiteral("mail"), QStringLiteral("send"), QStringLiteral("--host"),
        QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QString::number(server.Port()),
        QStringLiteral("--user"), User, QStringLiteral("--password-env"), QStringLiteral("ZEPH_MAIL_PW"),
        QStringLiteral("--auth"), QStringLiteral("login"), QStringLiteral("--from"),
        QStringLiteral("cli@example.test"), QStringLiteral("--to"), QStringLiteral("rcpt@example.test"),
        QStringLiteral("--tls"), QStringLiteral("starttls") };
    ZephCliRun run = RunZephCli(common, environment);
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains(fingerprint.toLatin1()), run.err.constData());
    QVERIFY(server.Logins().isEmpty());

    run = RunZephCli(
        common + QStringList { QStringLiteral("--trust"), fingerprint, QStringLiteral("--verbose") },
        environment);
    QVERIFY2(run.code == 0, run.err.constData());
    QVERIFY2(run.err.contains("Message successfully sent! (TLSv1."), run.err.constData());
    QVERIFY(!run.err.contains(Password.toUtf8()));
    QCOMPARE(server.Messages().size(), 1);
    QCOMPARE(RunZephCli(common + QStringList { QStringLiteral("--trust"), QStringLiteral("00") }, environment)
                 .code,
        2);
}

QTEST_GUILESS_MAIN(TestMailTls)
#include "tst_mailtls.moc"
