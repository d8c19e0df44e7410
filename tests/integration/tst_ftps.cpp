// FTP over TLS against real servers on 127.0.0.1: vsftpd demanding TLS for logins and data with
// session reuse, explicit and implicit; pyftpdlib's TLS handler. Then the trust of certificates
// made by openssl (question, pin, swapped certificate, the test's own CA), servers that do not
// offer TLS, and handshakes that stall.
#include "TestCertificates.h"
#include "TestEnvironment.h"
#include "ZephCli.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/Profile.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace {

// The settings' form of a fingerprint as openssl printed it.
QString pinOf(const QString& opensslFingerprint)
{
    return opensslFingerprint.toLower().remove(QLatin1Char(':'));
}

QString pinStored()
{
    return GetSettingString({ Settings::TlsPin, QStringLiteral("ftp 127.0.0.1") });
}

struct Question
{
    QString server;
    TlsCertificate certificate;
    QByteArray pinned;
};

} // namespace

class TestFtps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void roundTrip_data();
    void roundTrip();
    void trustSequence();
    void caSigned_data();
    void caSigned();
    void tlsNotOffered_data();
    void tlsNotOffered();
    void stalledHandshake_data();
    void stalledHandshake();
    void truncatedDownload_data();
    void truncatedDownload();
    void commandLine();

private:
    // Starts vsftpd or pyftpdlib serving TLS with one of the certificates.
    bool startServer(TestFtpServer& server, int mode, TestCertificates::Which which);
    // Answers every certificate question with `answer` and records it.
    void answerQuestions(bool answer);

    TestCertificates m_certificates;
    QList<Question> m_questions;
    TestEnvironment m_environment;
    QTemporaryDir m_local;
};

void TestFtps::initTestCase()
{
    QString error;
    QVERIFY2(m_certificates.Create(&error), qUtf8Printable(error));
}

void TestFtps::init()
{
    StartFreshIdentity();
    m_questions.clear();
    CRemoteHost::SetCertificateAsker(nullptr);
    SetSetting(Settings::InitialDir, QString());
    SetSetting(Settings::UploadWithTempFile, 1);
}

void TestFtps::cleanup()
{
    CRemoteHost::SetCertificateAsker(nullptr);
    CRemoteHost::SetPasswordAsker(nullptr);
}

bool TestFtps::startServer(TestFtpServer& server, int mode, TestCertificates::Which which)
{
    const TestCertificates::Pair pair = m_certificates.Get(which);
    server.UseTls(mode, pair.certificate, pair.key);
    if (!StartTestServer(server))
        return false;
    UseServerSettings(server, true);
    CRemoteHost::SetPasswordAsker([password = server.Password()](QString* out) {
        *out = password;
        return true;
    });
    return true;
}

void TestFtps::answerQuestions(bool answer)
{
    CRemoteHost::SetCertificateAsker(
        [this, answer](const QString& server, const TlsCertificate& certificate, const QByteArray& pinned) {
            m_questions.append({ server, certificate, pinned });
            return answer;
        });
}

void TestFtps::roundTrip_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("passive");
    QTest::newRow("vsftpd explicit passive") << int(TestFtpServer::Vsftpd) << 1 << true;
    QTest::newRow("vsftpd explicit active") << int(TestFtpServer::Vsftpd) << 1 << false;
    QTest::newRow("vsftpd implicit passive") << int(TestFtpServer::Vsftpd) << 2 << true;
    QTest::newRow("pyftpdlib explicit passive") << int(TestFtpServer::Pyftpdlib) << 1 << true;
    QTest::newRow("pyftpdlib explicit active") << int(TestFtpServer::Pyftpdlib) << 1 << false;
}

// Login, upload through the temporary name, listing and download, byte-exact, with the
// certificate pinned beforehand. vsftpd refuses logins and data without TLS and data connections
// that do not resume the control connection's session, so its rows prove both.
void TestFtps::roundTrip()
{
    QFETCH(int, kind);
    QFETCH(int, mode);
    QFETCH(bool, passive);
    TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
    QVERIFY(startServer(server, mode, TestCertificates::SelfSigned));
    SetSetting(Settings::PasvMode, passive ? 1 : 0);
    SetSetting({ Settings::TlsPin, QStringLiteral("ftp 127.0.0.1") },
        pinOf(m_certificates.Get(TestCertificates::SelfSigned).fingerprint));

    CRemoteHost host;
    QVERIFY2(host.Connect(), qUtf8Printable(host.ResultText()));
    const QList<QByteArray> log = host.Log();
    const auto secure = std::find_if(log.begin(), log.end(),
        [](const QByteArray& line) { return line.startsWith("Secure connection: TLSv1."); });
    QVERIFY2(secure != log.end(), log.join('\n').constData());
    QVERIFY(log.contains("PASS " + QByteArray(server.Password().size(), '*')));
    for (const QByteArray& line : log)
        QVERIFY2(!line.contains(server.Password().toUtf8()), line.constData());

    QByteArray bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += char((i * 131 + i / 7) & 0xFF);
    const QString local = m_local.filePath(QStringLiteral("up.bin"));
    QVERIFY(WriteTestFile(local, bytes));
    QVERIFY2(host.Transfer(local, QStringLiteral("zeph.bin"), false, true, passive),
        qUtf8Printable(host.ResultText()));
    QCOMPARE(server.FileContent(QStringLiteral("zeph.bin")), bytes);
    QVERIFY(!server.Exists(QStringLiteral("zeph.temp_")));

    QList<QByteArray> lines;
    QVERIFY2(host.ListDir(&lines), qUtf8Printable(host.ResultText()));
    QVERIFY(std::any_of(
        lines.begin(), lines.end(), [](const QByteArray& line) { return line.contains("zeph.bin"); }));

    const QString back = m_local.filePath(QStringLiteral("down.bin"));
    QVERIFY2(host.Transfer(back, QStringLiteral("zeph.bin"), true, true, passive),
        qUtf8Printable(host.ResultText()));
    QCOMPARE(ReadTestFile(back), bytes);
    host.Disconnect();
    QVERIFY(m_questions.isEmpty());

    if (kind == TestFtpServer::Vsftpd && mode == 1) {
        // The server really demands TLS: a plain login is refused.
        SetSetting(Settings::FtpTls, 0);
        CRemoteHost plain;
        QVERIFY(!plain.Connect());
        QVERIFY2(plain.ResultText().contains(QStringLiteral("530")), qUtf8Printable(plain.ResultText()));
    }
}

// First connect: the question with openssl's fingerprint; trusted, the pin is stored and the next
// connect asks nothing. The server's certificate swapped: the changed-certificate refusal names both
// fingerprints and no user name reaches the server; replaced on purpose, the new pin holds.
void TestFtps::trustSequence()
{
    const TestCertificates::Pair first = m_certificates.Get(TestCertificates::SelfSigned);
    const TestCertificates::Pair second = m_certificates.Get(TestCertificates::SelfSignedOther);
    {
        TestFtpServer server(TestFtpServer::Vsftpd);
        QVERIFY(startServer(server, 1, TestCertificates::SelfSigned));
        answerQuestions(true);
        CRemoteHost host;
        QVERIFY2(host.Connect(), qUtf8Printable(host.ResultText()));
        host.Disconnect();
        QCOMPARE(m_questions.size(), 1);
        const Question asked = m_questions.first();
        QCOMPARE(asked.certificate.DisplayFingerprint(), first.fingerprint);
        QVERIFY(asked.pinned.isEmpty());
        QVERIFY(!asked.certificate.caValid);
        QVERIFY2(asked.certificate.subject.contains(QStringLiteral("CN=127.0.0.1")),
            qUtf8Printable(asked.certificate.subject));
        QCOMPARE(asked.certificate.issuer, asked.certificate.subject);
        QVERIFY(!asked.certificate.notAfter.isEmpty());
        QCOMPARE(pinStored(), pinOf(first.fingerprint));

        answerQuestions(false);
        CRemoteHost again;
        QVERIFY2(again.Connect(), qUtf8Printable(again.ResultText()));
        again.Disconnect();
        QCOMPARE(m_questions.size(), 1);
    }

    TestFtpServer swapped(TestFtpServer::Vsftpd);
    QVERIFY(startServer(swapped, 1, TestCertificates::SelfSignedOther));
    answerQuestions(false);
    {
        CRemoteHost host;
        QVERIFY(!host.Connect());
        QCOMPARE(m_questions.size(), 2);
        QCOMPARE(m_questions.last().pinned, pinOf(first.fingerprint).toLatin1());
        QCOMPARE(m_questions.last().certificate.DisplayFingerprint(), second.fingerprint);
        QCOMPARE(host.ResultCaption(), QStringLiteral("Certificate Changed"));
        QVERIFY(host.ResultText().contains(first.fingerprint));
        QVERIFY(host.ResultText().contains(second.fingerprint));
        QCOMPARE(pinStored(), pinOf(first.fingerprint));
        const QByteArray serverLog = swapped.ProtocolLog();
        QVERIFY2(serverLog.contains("AUTH TLS"), serverLog.constData());
        QVERIFY2(!serverLog.contains("USER"), serverLog.constData());
        QVERIFY(!host.Log().contains("USER " + swapped.User().toUtf8()));
    }
    // Without anyone to ask (the command line), the refusal is the message.
    CRemoteHost::SetCertificateAsker(nullptr);
    {
        CRemoteHost host;
        QVERIFY(!host.Connect());
        const Prompt::Record shown = Prompt::History().last();
        QCOMPARE(shown.caption, QStringLiteral("Certificate Changed"));
        QVERIFY(shown.text.contains(second.fingerprint));
    }
    answerQuestions(true);
    {
        CRemoteHost host;
        QVERIFY2(host.Connect(), qUtf8Printable(host.ResultText()));
        host.Disconnect();
        QCOMPARE(pinStored(), pinOf(second.fingerprint));
    }
}

void TestFtps::caSigned_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("withCa");
    QTest::addColumn<bool>("asked");
    QTest::newRow("signed by the trusted CA") << int(TestCertificates::CaSigned) << true << false;
    QTest::newRow("CA not trusted") << int(TestCertificates::CaSigned) << false << true;
    QTest::newRow("trusted CA, other host name") << int(TestCertificates::CaSignedOtherName) << true << true;
}

// A certificate that verifies for the host against the trust store is taken without a question
// and without a pin; the store is the test's own CA through SSL_CERT_FILE.
void TestFtps::caSigned()
{
    QFETCH(int, which);
    QFETCH(bool, withCa);
    QFETCH(bool, asked);
    std::unique_ptr<ScopedCertFile> store;
    if (withCa)
        store = std::make_unique<ScopedCertFile>(m_certificates.CaFile());
    TestFtpServer server(TestFtpServer::Vsftpd);
    QVERIFY(startServer(server, 1, static_cast<TestCertificates::Which>(which)));
    answerQuestions(false);
    CRemoteHost host;
    QCOMPARE(host.Connect(), !asked);
    QCOMPARE(m_questions.size(), asked ? 1 : 0);
    QVERIFY(pinStored().isEmpty());
    if (asked)
        QVERIFY(!m_questions.first().certificate.verifyError.isEmpty());
}

void TestFtps::tlsNotOffered_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("vsftpd without TLS") << int(TestFtpServer::Vsftpd);
    QTest::newRow("server without AUTH") << int(TestFtpServer::Fault);
}

// Asked for TLS, a server that does not offer it gets no user name and no password.
void TestFtps::tlsNotOffered()
{
    QFETCH(int, kind);
    TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
    QVERIFY(StartTestServer(server));
    UseServerSettings(server, true);
    SetSetting(Settings::FtpTls, 1);
    CRemoteHost host;
    CRemoteHost::Overrides overrides;
    overrides.password = server.Password();
    overrides.hasPassword = true;
    host.SetOverrides(overrides);
    QVERIFY(!host.Connect());
    QVERIFY2(
        host.ResultText().contains(QStringLiteral("The server does not offer a secure connection (TLS)")),
        qUtf8Printable(host.ResultText()));
    QVERIFY(host.ResultText().contains(QStringLiteral("\"Secure connection\" on the FTP page")));
    for (const QByteArray& line : host.Log())
        QVERIFY2(!line.startsWith("USER") && !line.startsWith("PASS"), line.constData());
    if (kind == TestFtpServer::Fault)
        QCOMPARE(server.Commands(), QList<QByteArray>({ "AUTH TLS" }));
}

void TestFtps::stalledHandshake_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("cancel");
    QTest::newRow("explicit, time-out") << QStringLiteral("tls-stall") << 1 << false;
    QTest::newRow("explicit, cancel") << QStringLiteral("tls-stall") << 1 << true;
    QTest::newRow("implicit, time-out") << QStringLiteral("implicit-stall") << 2 << false;
    QTest::newRow("implicit, cancel") << QStringLiteral("implicit-stall") << 2 << true;
}

// A server that takes the ClientHello and never answers: the handshake ends with the time-out,
// or at once with Cancel, like any other wait.
void TestFtps::stalledHandshake()
{
    QFETCH(QString, scenario);
    QFETCH(int, mode);
    QFETCH(bool, cancel);
    TestFtpServer server(TestFtpServer::Fault, scenario);
    QVERIFY(StartTestServer(server));
    UseServerSettings(server, true);
    SetSetting(Settings::FtpTls, mode);
    CRemoteHost host;
    CRemoteHost::Overrides overrides;
    overrides.password = server.Password();
    overrides.hasPassword = true;
    host.SetOverrides(overrides);
    host.SetTimeout(cancel ? 60 : 2);
    if (cancel)
        QTimer::singleShot(500, &host, [&host] { host.RequestCancel(); });
    QElapsedTimer took;
    took.start();
    QVERIFY(!host.Connect());
    QVERIFY2(took.elapsed() < 5000, qPrintable(QString::number(took.elapsed())));
    if (cancel)
        QVERIFY(host.WasCanceled());
    else
        QVERIFY2(host.ResultText().contains(QStringLiteral("Timed Out")), qUtf8Printable(host.ResultText()));
    QVERIFY(server.Commands().size() <= 1);
}

void TestFtps::truncatedDownload_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("complete");
    QTest::newRow("ended with the close notification") << QStringLiteral("normal") << true;
    QTest::newRow("cut without it") << QStringLiteral("tls-truncate") << false;
}

// Over TLS a data connection that ends without the close notification may have been cut by anyone
// on the way, and a text download has no size to check: it fails and the old file stays.
void TestFtps::truncatedDownload()
{
    QFETCH(QString, scenario);
    QFETCH(bool, complete);
    const TestCertificates::Pair pair = m_certificates.Get(TestCertificates::SelfSigned);
    TestFtpServer server(TestFtpServer::Fault, scenario);
    server.UseTls(1, pair.certificate, pair.key);
    QVERIFY(StartTestServer(server));
    UseServerSettings(server, true);
    SetSetting({ Settings::TlsPin, QStringLiteral("ftp 127.0.0.1") }, pinOf(pair.fingerprint));
    CRemoteHost host;
    CRemoteHost::Overrides overrides;
    overrides.password = server.Password();
    overrides.hasPassword = true;
    host.SetOverrides(overrides);
    QVERIFY2(host.Connect(), qUtf8Printable(host.ResultText()));
    const QString local = m_local.filePath(QStringLiteral("text.txt"));
    QVERIFY(WriteTestFile(local, "old content\n"));
    QCOMPARE(host.Transfer(local, QStringLiteral("text.txt"), true, false, true), complete);
    QCOMPARE(
        ReadTestFile(local), complete ? QByteArray("line one\nline two\n") : QByteArray("old content\n"));
    host.Disconnect();
}

// zeph-cli ftp --tls/--trust: an unknown certificate ends the command with openssl's fingerprint
// and nothing sent; --trust with that fingerprint (any case, no colons) lets it through.
void TestFtps::commandLine()
{
    TestFtpServer server(TestFtpServer::Vsftpd);
    QVERIFY(startServer(server, 1, TestCertificates::SelfSigned));
    const QString fingerprint = m_certificates.Get(TestCertificates::SelfSigned).fingerprint;
    QProcessEnvironment environment = m_environment.ProcessEnvironment();
    environment.insert(QStringLiteral("ZEPH_TEST_PW"), server.Password());
    auto cli = [&](const QStringList& args) {
        const QStringList common
            = { QStringLiteral("ftp"), QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                  QStringLiteral("--port"), QString::number(server.Port()), QStringLiteral("--user"),
                  server.User(), QStringLiteral("--password-env"), QStringLiteral("ZEPH_TEST_PW") };
        return RunZephCli(common + args, environment);
    };
    QVERIFY(server.PutFile(QStringLiteral("hello.txt"), "hello over TLS\n"));

    ZephCliRun run = cli({ QStringLiteral("--tls"), QStringLiteral("explicit"), QStringLiteral("ls") });
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains(fingerprint.toLatin1()), run.err.constData());
    QVERIFY(!server.ProtocolLog().contains("USER"));

    const QString back = m_local.filePath(QStringLiteral("hello.txt"));
    run = cli({ QStringLiteral("--tls"), QStringLiteral("explicit"), QStringLiteral("--trust"),
        pinOf(fingerprint).toUpper(), QStringLiteral("--verbose"), QStringLiteral("get"),
        QStringLiteral("hello.txt"), back });
    QVERIFY2(run.code == 0, run.err.constData());
    QCOMPARE(ReadTestFile(back), QByteArray("hello over TLS\n"));
    QVERIFY2(run.err.contains("Secure connection: TLSv1."), run.err.constData());
    QVERIFY(!run.err.contains(server.Password().toUtf8()));

    // A plain session to a server that demands TLS fails; bad values are wrong usage.
    QCOMPARE(cli({ QStringLiteral("--tls"), QStringLiteral("none"), QStringLiteral("ls") }).code, 1);
    QCOMPARE(cli({ QStringLiteral("--tls"), QStringLiteral("maybe"), QStringLiteral("ls") }).code, 2);
    QCOMPARE(cli({ QStringLiteral("--trust"), QStringLiteral("12:34"), QStringLiteral("ls") }).code, 2);
}

QTEST_GUILESS_MAIN(TestFtps)
#include "tst_ftps.moc"
