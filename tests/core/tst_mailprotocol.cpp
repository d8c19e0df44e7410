// The test-mail and version-check clients on their own: the message text, the checks before a
// send, the login answers, and every reply a real server will not give on demand (split, garbage,
// silence, drops, floods, escape sequences) from a scripted peer whose transcript the client
// must follow line by line.
#include "core/net/CHttpGet.h"
#include "core/net/CPop3Connection.h"
#include "core/net/CSmtpConnection.h"
#include "core/net/CVersionCheck.h"
#include "core/net/TestMail.h"
#include "support/MailServers.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <thread>

using TestMail::Field;

Q_DECLARE_METATYPE(TestMail::Account)
Q_DECLARE_METATYPE(TestMail::Message)

namespace {

// The SMTP side of a session that logs in with AUTH LOGIN and takes one message.
const QStringList LoginSession = {
    QStringLiteral("split 220-zeph.test greets\\r\\n220 ready\\r\\n"),
    QStringLiteral("hear"),
    // Split into pieces so that the client must wait for the final line.
    QStringLiteral("split 250-zeph.test\\r\\n250-AUTH LOGIN PLAIN\\r\\n250 8BITMIME\\r\\n"),
    QStringLiteral("hear"),
    QStringLiteral("say 334 VXNlcm5hbWU6\\r\\n"),
    QStringLiteral("hear"),
    QStringLiteral("say 334 UGFzc3dvcmQ6\\r\\n"),
    QStringLiteral("hear"),
    QStringLiteral("say 235 2.7.0 ok\\r\\n"),
    QStringLiteral("hear"),
    QStringLiteral("say 250 ok\\r\\n"),
    QStringLiteral("hear"),
    QStringLiteral("say 250 ok\\r\\n"),
    QStringLiteral("hear"),
    QStringLiteral("say 354 go ahead\\r\\n"),
    // The message: seven lines with the final point.
    QStringLiteral("hear"),
    QStringLiteral("hear"),
    QStringLiteral("hear"),
    QStringLiteral("hear"),
    QStringLiteral("hear"),
    QStringLiteral("hear"),
    QStringLiteral("hear"),
    QStringLiteral("say 250 queued\\r\\n"),
    QStringLiteral("hear"),
    QStringLiteral("say 221 bye\\r\\n"),
};

QString writeMessage(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("message.eml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

TestMail::Account account(int method)
{
    TestMail::Account result;
    result.smtpHost = QStringLiteral("smtp.example.test");
    result.authMethod = method;
    result.user = QStringLiteral("me");
    result.password = QStringLiteral("secret");
    result.popHost = QStringLiteral("pop.example.test");
    return result;
}

TestMail::Message message()
{
    TestMail::Message result;
    result.envelopeFrom = QStringLiteral("me@example.test");
    result.envelopeTo = QStringLiteral("you@example.test");
    return result;
}

} // namespace

class TestMailProtocol : public QObject
{
    Q_OBJECT

private slots:
    void composedMessage_data();
    void composedMessage();
    void dateOffsets_data();
    void dateOffsets();
    void entryChecks_data();
    void entryChecks();
    void loginAnswers();

    void smtpFollowsTheTranscript();
    void smtpBadReplies_data();
    void smtpBadReplies();
    void cancelEndsAWaitAtOnce();
    void pop3Replies_data();
    void pop3Replies();
    void tlsUpgradeRefusals_data();
    void tlsUpgradeRefusals();

    void splitUrl_data();
    void splitUrl();
    void versionComparison_data();
    void versionComparison();
};

void TestMailProtocol::composedMessage_data()
{
    QTest::addColumn<TestMail::Message>("message");
    QTest::addColumn<QByteArray>("expected");

    TestMail::Message full = message();
    full.from = QStringLiteral("Me <me@example.test>");
    full.to = QStringLiteral("List <list@example.test>");
    full.subject = QStringLiteral("Caf\u00e9 test");
    full.custom = { QStringLiteral("Cc: other@example.test"), QString(), QStringLiteral("X-Spam-Flag: YES") };
    full.body = "first\n.dot\n\nlast";
    QTest::newRow("every field, body with LF line ends")
        << full
        << QByteArray("From: Me <me@example.test>\r\nTo: List <list@example.test>\r\n"
                      "Date: Mon, 25 Jun 2007 14:07:09 +0100\r\nSubject: Caf\xc3\xa9 test\r\n"
                      "Cc: other@example.test\r\nX-Spam-Flag: YES\r\nX-Warning: Headers may be forged\r\n\r\n"
                      "first\r\n.dot\r\n\r\nlast");

    TestMail::Message bare = message();
    bare.addDate = false;
    bare.body = "cr\ronly\r\n";
    QTest::newRow("no header fields, no date, lone CR")
        << bare << QByteArray("X-Warning: Headers may be forged\r\n\r\ncr\r\nonly\r\n");
}

void TestMailProtocol::composedMessage()
{
    QFETCH(TestMail::Message, message);
    QFETCH(QByteArray, expected);
    const QDateTime when(QDate(2007, 6, 25), QTime(14, 7, 9), QTimeZone(3600));
    QCOMPARE(TestMail::Compose(message, when), expected);
}

void TestMailProtocol::dateOffsets_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("India, half hours")
        << QByteArray("Asia/Kolkata") << QDate(2007, 1, 5) << QByteArray("Fri, 05 Jan 2007 09:04:03 +0530");
    QTest::newRow("New York, summer time") << QByteArray("America/New_York") << QDate(2007, 7, 1)
                                           << QByteArray("Sun, 01 Jul 2007 09:04:03 -0400");
    QTest::newRow("New York, winter") << QByteArray("America/New_York") << QDate(2007, 12, 31)
                                      << QByteArray("Mon, 31 Dec 2007 09:04:03 -0500");
    QTest::newRow("Marquesas, minus half hours") << QByteArray("Pacific/Marquesas") << QDate(2007, 3, 5)
                                                 << QByteArray("Mon, 05 Mar 2007 09:04:03 -0930");
    QTest::newRow("UTC") << QByteArray("UTC") << QDate(2007, 3, 5)
                         << QByteArray("Mon, 05 Mar 2007 09:04:03 +0000");
}

void TestMailProtocol::dateOffsets()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, date);
    QFETCH(QByteArray, expected);
    const QTimeZone timeZone(zone);
    if (!timeZone.isValid())
        QFAIL(qPrintable(QStringLiteral("no time zone %1: install the Debian package tzdata")
                             .arg(QString::fromLatin1(zone))));
    QCOMPARE(TestMail::DateHeaderValue(QDateTime(date, QTime(9, 4, 3), timeZone)), expected);
}

void TestMailProtocol::entryChecks_data()
{
    QTest::addColumn<TestMail::Account>("account");
    QTest::addColumn<TestMail::Message>("message");
    QTest::addColumn<QString>("text"); // empty: nothing stops the send
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("customIndex");

    const QString header = QStringLiteral(
        "This entry contains a line break or a NUL character, which cannot be sent in a mail header.  Please "
        "remove it.");
    auto with = [](auto value, auto change) {
        change(value);
        return value;
    };
    QTest::newRow("all there") << account(TestMail::AuthLogin) << message() << QString() << QString() << 0
                               << -1;
    QTest::newRow("no login needs no user")
        << with(account(TestMail::AuthNone), [](auto& a) { a.user.clear(); }) << message() << QString()
        << QString() << 0 << -1;
    QTest::newRow("no SMTP host comes first")
        << with(account(TestMail::AuthLogin), [](auto& a) { a.smtpHost.clear(); })
        << with(message(), [](auto& m) { m.envelopeFrom.clear(); })
        << QStringLiteral("You must enter a SMTP host!  Please hit the 'Configure' button.")
        << QStringLiteral("SMTP not entered") << int(Field::Configuration) << -1;
    QTest::newRow("no envelope from")
        << account(0) << with(message(), [](auto& m) { m.envelopeFrom.clear(); })
        << QStringLiteral("You must enter an envelope from address!")
        << QStringLiteral("Envelope From not entered") << int(Field::EnvelopeFrom) << -1;
    QTest::newRow("no envelope To") << account(0) << with(message(), [](auto& m) { m.envelopeTo.clear(); })
                                    << QStringLiteral("You must enter an envelope To address!")
                                    << QStringLiteral("Envelope To not entered") << int(Field::EnvelopeTo)
                                    << -1;
    QTest::newRow("CRAM-MD5 without user")
        << with(account(TestMail::AuthCramMd5), [](auto& a) { a.user.clear(); }) << message()
        << QStringLiteral("You must enter a username!  Please hit the 'Configure' button.")
        << QStringLiteral("Username not entered") << int(Field::Configuration) << -1;
    QTest::newRow("POP before send without password")
        << with(account(TestMail::AuthPopBeforeSend), [](auto& a) { a.password.clear(); }) << message()
        << QStringLiteral("You must enter a password!  Please hit the 'Configure' button.")
        << QStringLiteral("Password not entered") << int(Field::Configuration) << -1;
    QTest::newRow("line break in envelope from")
        << account(0)
        << with(message(), [](auto& m) { m.envelopeFrom = QStringLiteral("a@b\r\nRCPT TO:<x@y>"); })
        << QStringLiteral("The envelope from address must not contain a line break.")
        << QStringLiteral("Invalid entry") << int(Field::EnvelopeFrom) << -1;
    QTest::newRow("line feed in envelope To")
        << account(0) << with(message(), [](auto& m) { m.envelopeTo = QStringLiteral("a@b\n"); })
        << QStringLiteral("The envelope To address must not contain a line break.")
        << QStringLiteral("Invalid entry") << int(Field::EnvelopeTo) << -1;
    QTest::newRow("line break in hello name")
        << with(account(0), [](auto& a) { a.helloName = QStringLiteral("me\r\nQUIT"); }) << message()
        << QStringLiteral("The hello name must not contain a line break.") << QStringLiteral("Invalid entry")
        << int(Field::Configuration) << -1;
    QTest::newRow("line break in user")
        << with(account(1), [](auto& a) { a.user = QStringLiteral("me\r"); }) << message()
        << QStringLiteral("The username must not contain a line break.") << QStringLiteral("Invalid entry")
        << int(Field::Configuration) << -1;
    QTest::newRow("line break in POP password")
        << with(account(TestMail::AuthPopBeforeSend),
               [](auto& a) { a.password = QStringLiteral("pw\nDELE 1"); })
        << message() << QStringLiteral("The password must not contain a line break.")
        << QStringLiteral("Invalid entry") << int(Field::Configuration) << -1;
    QTest::newRow("CR LF in Subject")
        << account(0) << with(message(), [](auto& m) { m.subject = QStringLiteral("hi\r\nBcc: x@y"); })
        << header << QStringLiteral("Invalid character") << int(Field::Subject) << -1;
    QTest::newRow("NUL in From") << account(0)
                                 << with(message(), [](auto& m) { m.from = QStringLiteral("a") + QChar(0); })
                                 << header << QStringLiteral("Invalid character") << int(Field::From) << -1;
    QTest::newRow("LF in the third custom line")
        << account(0)
        << with(message(),
               [](auto& m) {
                   m.custom = { QStringLiteral("X-A: 1"), QString(), QStringLiteral("X-C: 3\n\nbody") };
               })
        << header << QStringLiteral("Invalid character") << int(Field::Custom) << 2;
    QTest::newRow("tab in a header is fine")
        << account(0) << with(message(), [](auto& m) { m.custom = { QStringLiteral("X-A:\tfolded") }; })
        << QString() << QString() << 0 << -1;
    QTest::newRow("POP before send without POP host")
        << with(account(TestMail::AuthPopBeforeSend), [](auto& a) { a.popHost.clear(); }) << message()
        << QStringLiteral("You must enter a Pop host!  Please hit the 'Configure' button.")
        << QStringLiteral("Pop host not entered") << int(Field::Configuration) << -1;
}

void TestMailProtocol::entryChecks()
{
    QFETCH(TestMail::Account, account);
    QFETCH(TestMail::Message, message);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(int, field);
    QFETCH(int, customIndex);
    TestMail::Problem problem;
    QCOMPARE(TestMail::Check(account, message, &problem), !text.isEmpty());
    if (text.isEmpty())
        return;
    QCOMPARE(problem.text, text);
    QCOMPARE(problem.caption, caption);
    QCOMPARE(int(problem.field), field);
    QCOMPARE(problem.customIndex, customIndex);
}

void TestMailProtocol::loginAnswers()
{
    // The example of RFC 2195.
    QCOMPARE(CSmtpConnection::CramMd5Response(
                 "tim", "tanstaaftanstaaf", "<1896.697170952@postoffice.reston.mci.net>"),
        QByteArray("dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw"));
    QCOMPARE(QByteArray::fromBase64(CSmtpConnection::CramMd5Response("tim", "x", "y")).size(), 3 + 1 + 32);
    // NUL, user, NUL, password (RFC 4616).
    QCOMPARE(CSmtpConnection::PlainResponse("tim", "tanstaaf"), QByteArray("AHRpbQB0YW5zdGFhZg=="));
}

void TestMailProtocol::smtpFollowsTheTranscript()
{
    ScriptedPeer peer(LoginSession);
    QString error;
    QVERIFY2(peer.Start(&error), qPrintable(error));
    QTemporaryDir dir;
    const QString path = writeMessage(dir, "Subject: dots\r\n\r\n.one\n.\n..two\rlast");
    CSmtpConnection smtp;
    smtp.SetHelloName("client.test");
    smtp.SetTimeout(5000);
    QVERIFY2(smtp.Connect("127.0.0.1", CSmtpConnection::AuthLogin, "me", "secret", peer.Port()),
        qPrintable(smtp.LastResponse()));
    // Chunks of three bytes: the dot-stuffing and line ends carry over from one to the next.
    QVERIFY2(smtp.SendMessageFile(path, "me@example.test", { "you@example.test" }, 3),
        qPrintable(smtp.LastResponse()));
    QCOMPARE(smtp.LastResponse(), QStringLiteral("250 queued"));
    QVERIFY(smtp.Disconnect());
    QTRY_COMPARE(peer.ClientLines(),
        QList<QByteArray>({ "EHLO client.test", "AUTH LOGIN", "bWU=", "c2VjcmV0",
            "MAIL FROM:<me@example.test>", "RCPT TO:<you@example.test>", "DATA", "Subject: dots", "", "..one",
            "..", "...two", "last", ".", "QUIT" }));
}

void TestMailProtocol::smtpBadReplies_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("response");

    QTest::newRow("greeting is no reply")
        << QStringList { QStringLiteral("say hello there\\r\\n"), QStringLiteral("hear-all") } << 0
        << int(CLineConnection::BadCommand) << QStringLiteral("hello there");
    QTest::newRow("greeting refuses")
        << QStringList { QStringLiteral("say 554-go away\\r\\n554 really\\r\\n"), QStringLiteral("hear-all") }
        << 0 << int(CLineConnection::BadCommand) << QStringLiteral("554-go away\n554 really");
    QTest::newRow("silence") << QStringList { QStringLiteral("sleep 30") } << 0
                             << int(CLineConnection::TimedOut) << QString();
    QTest::newRow("drop inside the greeting")
        << QStringList { QStringLiteral("say 220 hal") } << 0 << int(CLineConnection::ConnectionClosed)
        << QStringLiteral("220 hal");
    // What the flood said is kept, cut to a readable length.
    QTest::newRow("endless EHLO reply")
        << QStringList { QStringLiteral("say 220 ok\\r\\n"), QStringLiteral("hear"),
               QStringLiteral("flood 250-more\\r\\n") }
        << int(CSmtpConnection::AuthLogin) << int(CLineConnection::ReplyTooLong)
        << (QStringLiteral("250-more\n").repeated(227) + QStringLiteral("250-m"));
    QTest::newRow("escape sequences in a refusal")
        << QStringList { QStringLiteral("say 220 ok\\r\\n"), QStringLiteral("hear"),
               QStringLiteral("say 550 \\x1b]0;owned\\x07bad\\\\path\\r\\n"), QStringLiteral("hear-all") }
        << 0 << int(CLineConnection::BadCommand) << QStringLiteral("550 \\033]0;owned\\007bad\\134path");
    QTest::newRow("CRAM-MD5 challenge that is no Base64")
        << QStringList { QStringLiteral("say 220 ok\\r\\n"), QStringLiteral("hear"),
               QStringLiteral("say 250 ok\\r\\n"), QStringLiteral("hear"),
               QStringLiteral("say 334 !!!\\r\\n"), QStringLiteral("hear-all") }
        << int(CSmtpConnection::CramMd5) << int(CLineConnection::UnexpectedReply)
        << QStringLiteral("334 !!!");
    QTest::newRow("wrong password") << QStringList { QStringLiteral("say 220 ok\\r\\n"),
        QStringLiteral("hear"), QStringLiteral("say 250 ok\\r\\n"), QStringLiteral("hear"),
        QStringLiteral("say 535 5.7.8 no\\r\\n"), QStringLiteral("hear-all") }
                                    << int(CSmtpConnection::LoginPlain) << int(CLineConnection::BadCommand)
                                    << QStringLiteral("535 5.7.8 no");
}

void TestMailProtocol::smtpBadReplies()
{
    QFETCH(QStringList, script);
    QFETCH(int, method);
    QFETCH(int, error);
    QFETCH(QString, response);
    ScriptedPeer peer(script);
    QString startError;
    QVERIFY2(peer.Start(&startError), qPrintable(startError));
    CSmtpConnection smtp;
    smtp.SetTimeout(1500);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!smtp.Connect("127.0.0.1", method, "me", "secret", peer.Port()));
    QCOMPARE(smtp.ErrorCode(), error);
    QCOMPARE(smtp.LastResponse(), response);
    // One deadline for the whole reply, whatever came before it.
    QVERIFY(timer.elapsed() < 10000);
    // The connection can be closed at once, whatever state it is in.
    timer.restart();
    smtp.Disconnect();
    QVERIFY(timer.elapsed() < 10000);
}

void TestMailProtocol::cancelEndsAWaitAtOnce()
{
    ScriptedPeer peer({ QStringLiteral("sleep 60") });
    QString error;
    QVERIFY2(peer.Start(&error), qPrintable(error));
    CSmtpConnection smtp;
    QElapsedTimer timer;
    timer.start();
    std::thread canceler([&smtp] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        smtp.Cancel();
    });
    const bool connected = smtp.Connect("127.0.0.1", 0, "", "", peer.Port());
    canceler.join();
    QVERIFY(!connected);
    QCOMPARE(smtp.ErrorCode(), int(CLineConnection::Canceled));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestMailProtocol::pop3Replies_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<bool>("loggedOut");
    QTest::addColumn<QString>("response");
    QTest::addColumn<QList<QByteArray>>("client");
    const QList<QByteArray> all = { "USER me", "PASS p w", "QUIT" };

    QTest::newRow("split replies, any letter case") << QStringList { QStringLiteral("split +OK ready\\r\\n"),
        QStringLiteral("hear"), QStringLiteral("say +ok\\r\\n"), QStringLiteral("hear"),
        QStringLiteral("split +Ok in\\r\\n"), QStringLiteral("hear"), QStringLiteral("say +OK bye\\r\\n") }
                                                    << true << true << QStringLiteral("+OK bye") << all;
    QTest::newRow("refused password")
        << QStringList { QStringLiteral("say +OK ready\\r\\n"), QStringLiteral("hear"),
               QStringLiteral("say +OK\\r\\n"), QStringLiteral("hear"),
               QStringLiteral("say -ERR [AUTH] Authentication failed.\\r\\n"), QStringLiteral("hear-all") }
        << false << false << QStringLiteral("-ERR [AUTH] Authentication failed.")
        << QList<QByteArray>({ "USER me", "PASS p w" });
    QTest::newRow("garbage greeting")
        << QStringList { QStringLiteral("say \\x1b[2Jhi\\r\\n"), QStringLiteral("hear-all") } << false
        << false << QStringLiteral("\\033[2Jhi") << QList<QByteArray>();
    QTest::newRow("QUIT refused") << QStringList { QStringLiteral("say +OK\\r\\n"), QStringLiteral("hear"),
        QStringLiteral("say +OK\\r\\n"), QStringLiteral("hear"), QStringLiteral("say +OK\\r\\n"),
        QStringLiteral("hear"), QStringLiteral("say -ERR mailbox locked\\r\\n") }
                                  << true << false << QStringLiteral("-ERR mailbox locked") << all;
}

void TestMailProtocol::pop3Replies()
{
    QFETCH(QStringList, script);
    QFETCH(bool, loggedIn);
    QFETCH(bool, loggedOut);
    QFETCH(QString, response);
    QFETCH(QList<QByteArray>, client);
    ScriptedPeer peer(script);
    QString error;
    QVERIFY2(peer.Start(&error), qPrintable(error));
    CPop3Connection pop;
    pop.SetTimeout(3000);
    QCOMPARE(pop.Connect("127.0.0.1", "me", "p w", peer.Port()), loggedIn);
    if (loggedIn)
        QCOMPARE(pop.Disconnect(), loggedOut);
    QCOMPARE(pop.LastResponse(), response);
    QTRY_COMPARE(peer.ClientLines(), client);
}

void TestMailProtocol::tlsUpgradeRefusals_data()
{
    QTest::addColumn<bool>("smtp");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("error");
    QTest::addColumn<QList<QByteArray>>("client");
    const QStringList smtpStart = { QStringLiteral("say 220 hi\\r\\n"), QStringLiteral("hear"),
        QStringLiteral("say 250-mx\\r\\n250 AUTH LOGIN\\r\\n"), QStringLiteral("hear") };
    const QList<QByteArray> smtpLines = { "EHLO client.test", "STARTTLS" };
    QTest::newRow("SMTP without STARTTLS")
        << true << smtpStart + QStringList { QStringLiteral("say 502 no\\r\\n"), QStringLiteral("hear-all") }
        << int(CLineConnection::TlsNotOffered) << smtpLines + QList<QByteArray> { "QUIT" };
    // Bytes behind the go-ahead would be read as if they had come through TLS.
    QTest::newRow("SMTP, text after the go-ahead") << true
                                                   << smtpStart
            + QStringList { QStringLiteral("say 220 go\\r\\n250 injected\\r\\n"), QStringLiteral("hear-all") }
                                                   << int(CLineConnection::TlsFailed) << smtpLines;
    const QStringList popStart = { QStringLiteral("say +OK hi\\r\\n"), QStringLiteral("hear") };
    QTest::newRow("POP3 without STLS")
        << false << popStart + QStringList { QStringLiteral("say -ERR no\\r\\n"), QStringLiteral("hear-all") }
        << int(CLineConnection::TlsNotOffered) << QList<QByteArray> { "STLS" };
    QTest::newRow("POP3, text after the go-ahead")
        << false
        << popStart
            + QStringList { QStringLiteral("say +OK go\\r\\n+OK injected\\r\\n"), QStringLiteral("hear-all") }
        << int(CLineConnection::TlsFailed) << QList<QByteArray> { "STLS" };
}

// Asked for TLS, a server that refuses the upgrade, or sends more than its go-ahead, gets no login.
void TestMailProtocol::tlsUpgradeRefusals()
{
    QFETCH(bool, smtp);
    QFETCH(QStringList, script);
    QFETCH(int, error);
    QFETCH(QList<QByteArray>, client);
    ScriptedPeer peer(script);
    QString problem;
    QVERIFY2(peer.Start(&problem), qPrintable(problem));
    if (smtp) {
        CSmtpConnection connection;
        connection.SetHelloName("client.test");
        connection.SetTimeout(3000);
        connection.SetTls(CSmtpConnection::StartTls, QByteArray());
        QVERIFY(!connection.Connect("127.0.0.1", CSmtpConnection::AuthLogin, "me", "secret", peer.Port()));
        QCOMPARE(connection.ErrorCode(), error);
        connection.Disconnect();
    } else {
        CPop3Connection connection;
        connection.SetTimeout(3000);
        connection.SetTls(1, QByteArray());
        QVERIFY(!connection.Connect("127.0.0.1", "me", "secret", peer.Port()));
        QCOMPARE(connection.ErrorCode(), error);
    }
    QTRY_COMPARE(peer.ClientLines(), client);
}

void TestMailProtocol::splitUrl_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QByteArray>("scheme");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("plain") << QByteArray("http://zeph.example.org/Version.TXT") << true << QByteArray("HTTP")
                           << QByteArray("ZEPH.EXAMPLE.ORG") << 80 << QByteArray("/Version.TXT");
    QTest::newRow("port, no path") << QByteArray("http://127.0.0.1:8080") << true << QByteArray("HTTP")
                                   << QByteArray("127.0.0.1:8080") << 8080 << QByteArray("/");
    QTest::newRow("no scheme") << QByteArray("zeph.example.org/v?x=1") << true << QByteArray("HTTP")
                               << QByteArray("ZEPH.EXAMPLE.ORG") << 80 << QByteArray("/v?x=1");
    QTest::newRow("other scheme") << QByteArray("ftp://host/file") << true << QByteArray("FTP")
                                  << QByteArray("HOST") << 80 << QByteArray("/file");
    QTest::newRow("bad port") << QByteArray("http://host:99999/") << false << QByteArray() << QByteArray()
                              << 0 << QByteArray();
    QTest::newRow("no host") << QByteArray("http:///x") << false << QByteArray() << QByteArray() << 0
                             << QByteArray();
}

void TestMailProtocol::splitUrl()
{
    QFETCH(QByteArray, url);
    QFETCH(bool, valid);
    CHttpGet::Url parts;
    QCOMPARE(CHttpGet::SplitUrl(url, &parts), valid);
    if (!valid)
        return;
    QTEST(parts.scheme, "scheme");
    QTEST(parts.host, "host");
    QTEST(parts.port, "port");
    QTEST(parts.path, "path");
    if (parts.port == 8080) {
        QCOMPARE(CHttpGet::BuildRequest(parts),
            QByteArray("GET / HTTP/1.0\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
                       "application/vnd.ms-excel, application/msword, application/vnd.ms-powerpoint, */*\r\n"
                       "Accept-Language: en-us\r\nUser-Agent: Mozilla/4.0\r\nHost: 127.0.0.1:8080\r\n\r\n"));
    }
}

void TestMailProtocol::versionComparison_data()
{
    QTest::addColumn<QByteArray>("fetched");
    QTest::addColumn<QString>("own");
    QTest::addColumn<int>("outcome");
    const QString own = QStringLiteral("1, 0, 2, 1186");
    QTest::newRow("same, with a line end") << QByteArray("1186\r\n") << own << int(CVersionCheck::Current);
    QTest::newRow("newer") << QByteArray("1187") << own << int(CVersionCheck::Newer);
    QTest::newRow("older") << QByteArray("1185\n") << own << int(CVersionCheck::Unverified);
    QTest::newRow("nothing") << QByteArray() << own << int(CVersionCheck::Unreachable);
    QTest::newRow("digits then text") << QByteArray("1187 beta") << own << int(CVersionCheck::Newer);
    QTest::newRow("huge number saturates")
        << QByteArray("99999999999999999999999999") << own << int(CVersionCheck::Newer);
    QTest::newRow("line ends inside") << QByteArray("11\r\n87") << own << int(CVersionCheck::Newer);
    QTest::newRow("no own build") << QByteArray("1187") << QStringLiteral("1.0.")
                                  << int(CVersionCheck::NoOwnBuild);
    QTest::newRow("own build of points")
        << QByteArray("7") << QStringLiteral("0.1.7") << int(CVersionCheck::Current);
    // A page that holds no number never matches build 0.
    QTest::newRow("error page against build 0")
        << QByteArray("<html>Not Found</html>") << QStringLiteral("0.1.0") << int(CVersionCheck::Unverified);
}

void TestMailProtocol::versionComparison()
{
    QFETCH(QByteArray, fetched);
    QFETCH(QString, own);
    QTEST(int(CVersionCheck::Compare(fetched, own)), "outcome");
}

QTEST_GUILESS_MAIN(TestMailProtocol)
#include "tst_mailprotocol.moc"
