// The test mail and the version check against the real programs on 127.0.0.1: aiosmtpd with and
// without a login (PLAIN, LOGIN, CRAM-MD5), dovecot for POP before send, Python's http.server for
// the version file; and zeph-cli mail send, which takes the same road.
#include "ZephCli.h"
#include "core/net/CTestMailJob.h"
#include "core/net/CVersionCheck.h"
#include "core/settings/CAppState.h"
#include "support/MailServers.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimeZone>

namespace {

const QString User = QStringLiteral("tester");
const QString Password = QStringLiteral("s3cret pass");

// A body whose point lines would end or change the message if they went out unstuffed.
const QByteArray Body = ".starts with a point\r\n.\r\n..two points\r\nmiddle\r\n. \r\nlast line";

TestMail::Message testMessage()
{
    TestMail::Message message;
    message.envelopeFrom = QStringLiteral("sender@example.test");
    message.envelopeTo = QStringLiteral("rcpt@example.test");
    message.from = QStringLiteral("Sender <sender@example.test>");
    message.to = QStringLiteral("Someone Else <else@example.test>");
    message.subject = QStringLiteral("Recipe check \u00e4");
    message.custom
        = { QStringLiteral("Cc: copy@example.test"), QString(), QStringLiteral("X-Test: one  two") };
    message.body = Body;
    return message;
}

QDateTime sendTime()
{
    return QDateTime(QDate(2007, 3, 5), QTime(9, 4, 3), QTimeZone(-5 * 3600));
}

// What the server must hold: the headers as typed, the body as typed, and the line end that ends
// the last line.
const QByteArray Expected = "From: Sender <sender@example.test>\r\n"
                            "To: Someone Else <else@example.test>\r\n"
                            "Date: Mon, 05 Mar 2007 09:04:03 -0500\r\n"
                            "Subject: Recipe check \xc3\xa4\r\n"
                            "Cc: copy@example.test\r\n"
                            "X-Test: one  two\r\n"
                            "X-Warning: Headers may be forged\r\n"
                            "\r\n"
    + Body + "\r\n";

TestMail::Account accountFor(int port, int method)
{
    TestMail::Account account;
    account.smtpHost = QStringLiteral("127.0.0.1");
    account.smtpPort = port;
    account.authMethod = method;
    account.user = User;
    account.password = Password;
    account.helloName = QStringLiteral("client.example.test");
    account.smtpTimeoutMs = 10000;
    return account;
}

CTestMailJob::Result send(const TestMail::Account& account, const TestMail::Message& message = testMessage())
{
    CTestMailJob job(account, message);
    if (!job.Prepare(sendTime()))
        return job.GetResult();
    return job.Run();
}

} // namespace

class TestMailServers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void deliveredWithEachLogin_data();
    void deliveredWithEachLogin();
    void deliveredAfterPopLogin();
    void wrongPasswords_data();
    void wrongPasswords();
    void wrongPopPassword();
    void refusedRelay();
    void headerLineBreakRefusedBeforeConnecting();
    void commandLine();
    void versionCheck_data();
    void versionCheck();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestMailServers::init()
{
    m_env = std::make_unique<TestEnvironment>();
    StartFreshIdentity();
}

void TestMailServers::deliveredWithEachLogin_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("login");
    QTest::newRow("none") << int(TestMail::AuthNone) << QByteArray();
    QTest::newRow("AUTH LOGIN") << int(TestMail::AuthLogin) << QByteArray("AUTH LOGIN ok");
    QTest::newRow("PLAIN") << int(TestMail::AuthPlain) << QByteArray("AUTH PLAIN ok");
    QTest::newRow("CRAM-MD5") << int(TestMail::AuthCramMd5) << QByteArray("AUTH CRAM-MD5 ok");
}

void TestMailServers::deliveredWithEachLogin()
{
    QFETCH(int, method);
    QFETCH(QByteArray, login);
    TestSmtpServer::Options options;
    if (!login.isEmpty())
        options = { User, Password, QString() };
    TestSmtpServer server(options);
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));

    const CTestMailJob::Result result = send(accountFor(server.Port(), method));
    QVERIFY2(result.outcome == CTestMailJob::Result::Sent, qPrintable(result.text));
    QCOMPARE(result.text, QStringLiteral("Message successfully sent!"));
    const QList<TestSmtpServer::Received> messages = server.Messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].content, Expected);
    QCOMPARE(messages[0].from, QByteArray("sender@example.test"));
    // The Cc line is only text: the envelope recipient is the only one.
    QCOMPARE(messages[0].to, QList<QByteArray>({ "rcpt@example.test" }));
    QCOMPARE(server.Logins(), login.isEmpty() ? QList<QByteArray>() : QList<QByteArray>({ login }));
}

void TestMailServers::deliveredAfterPopLogin()
{
    TestPop3Server pop;
    QString error;
    QVERIFY2(pop.Start(&error), qPrintable(error));
    // The SMTP server asks for no login: POP before send logs in to POP only.
    TestSmtpServer smtp;
    QVERIFY2(smtp.Start(&error), qPrintable(error));
    TestMail::Account account = accountFor(smtp.Port(), TestMail::AuthPopBeforeSend);
    account.user = pop.User();
    account.password = pop.Password();
    account.popHost = QStringLiteral("127.0.0.1");
    account.popPort = pop.Port();

    CTestMailJob job(account, testMessage());
    QVERIFY(job.Prepare(sendTime()));
    const CTestMailJob::Result& result = job.Run();
    QVERIFY2(result.outcome == CTestMailJob::Result::Sent, qPrintable(result.text));
    QTRY_VERIFY(pop.Log().contains("Login: user=<tester>"));
    QTRY_VERIFY(pop.Log().contains("Logged out"));
    QCOMPARE(smtp.Messages().size(), 1);
    QCOMPARE(smtp.Messages()[0].content, Expected);
    QCOMPARE(smtp.Logins(), QList<QByteArray>());
}

void TestMailServers::wrongPasswords_data()
{
    QTest::addColumn<int>("method");
    QTest::newRow("AUTH LOGIN") << int(TestMail::AuthLogin);
    QTest::newRow("PLAIN") << int(TestMail::AuthPlain);
    QTest::newRow("CRAM-MD5") << int(TestMail::AuthCramMd5);
}

void TestMailServers::wrongPasswords()
{
    QFETCH(int, method);
    TestSmtpServer server({ User, Password, QString() });
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    TestMail::Account account = accountFor(server.Port(), method);
    account.password = QStringLiteral("wrong");
    const CTestMailJob::Result result = send(account);
    QCOMPARE(int(result.outcome), int(CTestMailJob::Result::Failed));
    QCOMPARE(result.caption, QStringLiteral("Unable to connect"));
    QCOMPARE(result.text,
        QStringLiteral("Unable to connect to SMTP host \"127.0.0.1\".  The last response was:\n"
                       "535 5.7.8 Authentication credentials invalid.\n\nError code: 22"));
    QCOMPARE(result.icon, Prompt::Information);
    QVERIFY(server.Messages().isEmpty());
}

void TestMailServers::wrongPopPassword()
{
    TestPop3Server pop;
    QString error;
    QVERIFY2(pop.Start(&error), qPrintable(error));
    TestSmtpServer smtp;
    QVERIFY2(smtp.Start(&error), qPrintable(error));
    TestMail::Account account = accountFor(smtp.Port(), TestMail::AuthPopBeforeSend);
    account.user = pop.User();
    account.password = QStringLiteral("wrong");
    account.popHost = QStringLiteral("127.0.0.1");
    account.popPort = pop.Port();
    const CTestMailJob::Result result = send(account);
    QCOMPARE(int(result.outcome), int(CTestMailJob::Result::Failed));
    QCOMPARE(result.caption, QStringLiteral("Unable to connect to Pop host"));
    QCOMPARE(result.text,
        QStringLiteral("Unable to connect to Pop host \"127.0.0.1\".  The last response was:\n\n"
                       "-ERR [AUTH] Authentication failed."));
    // The send stops there: the SMTP server never hears of it.
    QCOMPARE(smtp.Connections(), 0);
}

void TestMailServers::refusedRelay()
{
    TestSmtpServer server({ QString(), QString(), QStringLiteral("example.test") });
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    TestMail::Message message = testMessage();
    message.envelopeTo = QStringLiteral("someone@elsewhere.test");
    const CTestMailJob::Result result = send(accountFor(server.Port(), TestMail::AuthNone), message);
    QCOMPARE(int(result.outcome), int(CTestMailJob::Result::Failed));
    QCOMPARE(result.caption, QStringLiteral("Error sending message"));
    QCOMPARE(result.text,
        QStringLiteral("Error sending message.  The last response was:\n\n"
                       "550 5.7.1 <someone@elsewhere.test>: Relay access denied."));
    QVERIFY(server.Messages().isEmpty());
}

void TestMailServers::headerLineBreakRefusedBeforeConnecting()
{
    TestSmtpServer server;
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    TestMail::Message message = testMessage();
    message.custom[2] = QStringLiteral("X-Test: a\r\nBcc: hidden@example.test");
    CTestMailJob job(accountFor(server.Port(), TestMail::AuthNone), message);
    QVERIFY(!job.Prepare(sendTime()));
    QCOMPARE(int(job.GetResult().outcome), int(CTestMailJob::Result::Refused));
    QCOMPARE(job.GetResult().caption, QStringLiteral("Invalid character"));
    QCOMPARE(job.GetResult().text,
        QStringLiteral(
            "This entry contains a line break or a NUL character, which cannot be sent in a mail header.  "
            "Please remove it."));
    QCOMPARE(job.GetResult().icon, Prompt::Warning);
    QCOMPARE(job.GetResult().problem.customIndex, 2);
    QVERIFY(job.MessageFile().isEmpty());
    QTest::qWait(300);
    QCOMPARE(server.Connections(), 0);
}

void TestMailServers::commandLine()
{
    TestSmtpServer server({ User, Password, QString() });
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString bodyFile = dir.filePath(QStringLiteral("body.txt"));
    {
        QFile file(bodyFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(".first\n.\nlast\n");
    }
    QProcessEnvironment environment = m_env->ProcessEnvironment();
    environment.insert(QStringLiteral("ZEPH_MAIL_PW"), Password);
    const QStringList common = { QStringLiteral("mail"), QStringLiteral("send"), QStringLiteral("--host"),
        QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QString::number(server.Port()),
        QStringLiteral("--user"), User, QStringLiteral("--password-env"), QStringLiteral("ZEPH_MAIL_PW"),
        QStringLiteral("--from"), QStringLiteral("cli@example.test"), QStringLiteral("--to"),
        QStringLiteral("rcpt@example.test") };

    ZephCliRun run = RunZephCli(common
            + QStringList { QStringLiteral("--auth"), QStringLiteral("plain"), QStringLiteral("--subject"),
                QStringLiteral("From the CLI"), QStringLiteral("--header"), QStringLiteral("X-One: 1"),
                QStringLiteral("--header"), QStringLiteral("X-Two: 2"), QStringLiteral("--body-file"),
                bodyFile, QStringLiteral("--verbose") },
        environment);
    QVERIFY2(run.code == 0, run.err.constData());
    QVERIFY(run.err.contains("C: AUTH PLAIN ****\n"));
    QVERIFY(run.err.contains("S: 235 "));
    QVERIFY(!run.err.contains(Password.toUtf8()));
    QVERIFY(!run.err.contains(CSmtpConnection::PlainResponse(User.toUtf8(), Password.toUtf8())));
    QVERIFY(run.err.endsWith("Message successfully sent!\n"));
    QCOMPARE(server.Messages().size(), 1);
    const QByteArray content = server.Messages()[0].content;
    // A fresh identity adds the Date line; everything around it is as given.
    QVERIFY(content.startsWith("Date: "));
    QCOMPARE(content.mid(content.indexOf("\r\n") + 2),
        QByteArray("Subject: From the CLI\r\nX-One: 1\r\nX-Two: 2\r\nX-Warning: Headers may be forged\r\n\r\n"
                   ".first\r\n.\r\nlast\r\n\r\n"));

    // Failures say why and exit 1; wrong usage exits 2; neither sends anything.
    environment.insert(QStringLiteral("ZEPH_MAIL_PW"), QStringLiteral("wrong"));
    run = RunZephCli(
        common + QStringList { QStringLiteral("--auth"), QStringLiteral("cram-md5") }, environment);
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains("535 5.7.8 Authentication credentials invalid.\n\nError code: 22"),
        run.err.constData());
    const int connections = server.Connections();
    run = RunZephCli(
        common + QStringList { QStringLiteral("--header"), QStringLiteral("X-Bad: a\nBcc: x@example.test") },
        environment);
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains("cannot be sent in a mail header") && run.err.contains("--header"),
        run.err.constData());
    QCOMPARE(run.code, 1);
    run = RunZephCli(common + QStringList { QStringLiteral("--tls"), QStringLiteral("sslv3") }, environment);
    QCOMPARE(run.code, 2);
    run = RunZephCli(common.mid(0, common.size() - 2), environment);
    QCOMPARE(run.code, 2);
    run = RunZephCli(common + QStringList { QStringLiteral("--auth"), QStringLiteral("ntlm") }, environment);
    QCOMPARE(run.code, 2);
    QTest::qWait(300);
    QCOMPARE(server.Connections(), connections);
    QCOMPARE(server.Messages().size(), 1);
}

void TestMailServers::versionCheck_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QByteArray>("file"); // the version file's content; null: none
    QTest::addColumn<int>("outcome");
    const QString files = QStringLiteral("files");
    QTest::newRow("newer") << files << QByteArray("1187\n") << int(CVersionCheck::Newer);
    QTest::newRow("same") << files << QByteArray("1186\r\n") << int(CVersionCheck::Current);
    QTest::newRow("older") << files << QByteArray("1185") << int(CVersionCheck::Unverified);
    QTest::newRow("404") << files << QByteArray() << int(CVersionCheck::Unreachable);
    QTest::newRow("500") << QStringLiteral("error500") << QByteArray() << int(CVersionCheck::Unreachable);
    QTest::newRow("slow") << QStringLiteral("slow") << QByteArray() << int(CVersionCheck::Unreachable);
    QTest::newRow("garbage") << QStringLiteral("garbage") << QByteArray() << int(CVersionCheck::Unreachable);
    QTest::newRow("oversized") << QStringLiteral("oversized") << QByteArray()
                               << int(CVersionCheck::Unreachable);
    QTest::newRow("cut short") << QStringLiteral("short") << QByteArray() << int(CVersionCheck::Unreachable);
}

void TestMailServers::versionCheck()
{
    QFETCH(QString, scenario);
    QFETCH(QByteArray, file);
    QFETCH(int, outcome);
    QMap<QString, QByteArray> files;
    if (!file.isNull())
        files.insert(QStringLiteral("zeph.version.txt"), file);
    TestHttpServer server(scenario, files);
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));

    CVersionCheck check;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(check.Start(server.Url(QStringLiteral("zeph.version.txt")).toUtf8(), 2000));
    while (check.Busy() && timer.elapsed() < 15000)
        QThread::msleep(100);
    QVERIFY(!check.Busy());
    QCOMPARE(int(CVersionCheck::Compare(check.Fetched(), QStringLiteral("1, 0, 2, 1186"))), outcome);
    if (outcome == CVersionCheck::Unreachable)
        QVERIFY(!check.ErrorText().isEmpty());

    const QList<QByteArray> request = server.Requests();
    QCOMPARE(request.value(0), QByteArray("GET /zeph.version.txt HTTP/1.0"));
    QVERIFY(request.contains("Host: 127.0.0.1:" + QByteArray::number(server.Port())));
    QVERIFY(request.contains("User-Agent: Mozilla/4.0"));
    QVERIFY(!request.contains("Accept-Encoding: gzip, deflate"));
}

QTEST_GUILESS_MAIN(TestMailServers)
#include "tst_mailservers.moc"
