// The FTP client against the scripted fault server: what it sends, how it reads replies, and
// that every fault gives its failure text, leaves the local file alone and lets a new connection
// work right after.
#include "core/common/Prompt.h"
#include "core/net/CFtpClient.h"
#include "core/net/CFtpListing.h"
#include "core/net/CFtpSession.h"
#include "core/net/CRemoteHost.h"
#include "core/net/ProtocolText.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray expectedData(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + 3) % 256);
    return data;
}

bool contains(const QList<QByteArray>& lines, const QByteArray& wanted)
{
    return lines.contains(wanted);
}

} // namespace

class TestFtpProtocol : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void expectedSize_data();
    void expectedSize();
    void pasvReply_data();
    void pasvReply();
    void permissionText_data();
    void permissionText();
    void listingLines();
    void commandText_data();
    void commandText();
    void splitLines_data();
    void splitLines();

    void splitRepliesAndMultiLineGreeting();
    void loginWithoutPassword();
    void passwordNeverLogged();
    void pasvAddressReplacedByPeer();
    void typeSentOnlyWhenItChanges();
    void asciiTransfersKeepLineFeeds();
    void chmodRetry_data();
    void chmodRetry();
    void invalidPermissionsNeverSent_data();
    void invalidPermissionsNeverSent();
    void commandWithLineBreakRefused();
    void hostileListing();
    void listingKeepsLastLine();
    void temporaryNameOrder_data();
    void temporaryNameOrder();
    void notConnectedAndMissingFile();
    void busyWhileTransferring();

    void faults_data();
    void faults();
    void cancelDuringStall();

private:
    bool connect(CFtpClient& client, TestFtpServer& server, const QString& password = QStringLiteral("p"));
    void checkReconnect(CFtpClient& client);

    QTemporaryDir m_dir;
};

bool TestFtpProtocol::connect(CFtpClient& client, TestFtpServer& server, const QString& password)
{
    client.SetTimeout(3);
    return client.ConnectTo(QStringLiteral("127.0.0.1"), QStringLiteral("u"), password, server.Port());
}

// After a fault, the same client object connects again and works.
void TestFtpProtocol::checkReconnect(CFtpClient& client)
{
    TestFtpServer normal(TestFtpServer::Fault);
    QVERIFY(StartTestServer(normal));
    client.Disconnect();
    QVERIFY2(connect(client, normal), qUtf8Printable(client.ResultText()));
    QList<QByteArray> lines;
    QVERIFY2(client.ListDir(&lines), qUtf8Printable(client.ResultText()));
    QCOMPARE(lines.size(), 2);
    client.Disconnect();
}

void TestFtpProtocol::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestFtpProtocol::init()
{
    CAppState::Instance().Reset();
    Prompt::ClearHistory();
}

void TestFtpProtocol::expectedSize_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<qint64>("size");
    QTest::newRow("bytes") << QByteArray("150 Opening BINARY mode data connection for x (8192 bytes).")
                           << qint64(8192);
    QTest::newRow("capitals") << QByteArray("150 Opening for x (77 BYTES)") << qint64(77);
    QTest::newRow("no size") << QByteArray("150 Here comes the data.") << qint64(0);
    QTest::newRow("kbytes") << QByteArray("150 Opening x (300.0 kbytes)") << qint64(0);
    QTest::newRow("bare bytes") << QByteArray("150 Opening x 300 bytes") << qint64(0);
    QTest::newRow("huge") << QByteArray("150 x (99999999999999999999999 bytes)") << qint64(0);
    QTest::newRow("big file") << QByteArray("150 x (5368709120 bytes)") << qint64(5368709120LL);
}

void TestFtpProtocol::expectedSize()
{
    QFETCH(QByteArray, line);
    QFETCH(qint64, size);
    QCOMPARE(CFtpSession::ParseExpectedSize(line), size);
}

void TestFtpProtocol::pasvReply_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("port");
    QTest::newRow("plain") << QByteArray("227 Entering Passive Mode (192,168,1,2,19,137).") << true
                           << QByteArray("192.168.1.2") << 5001;
    QTest::newRow("no parenthesis") << QByteArray("227 Entering Passive Mode 192,168,1,2,19,137") << false
                                    << QByteArray() << 0;
    QTest::newRow("three commas") << QByteArray("227 (192,168,1,2)") << false << QByteArray() << 0;
    QTest::newRow("byte over 255") << QByteArray("227 (127,0,0,1,300,1)") << false << QByteArray() << 0;
    QTest::newRow("letters") << QByteArray("227 (127,0,0,x,1,1)") << false << QByteArray() << 0;
    QTest::newRow("no close") << QByteArray("227 (127,0,0,1,1,1") << false << QByteArray() << 0;
}

void TestFtpProtocol::pasvReply()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, ok);
    QFETCH(QByteArray, address);
    QFETCH(int, port);
    QByteArray parsedAddress;
    int parsedPort = 0;
    QCOMPARE(CFtpSession::ParsePasvReply(line, &parsedAddress, &parsedPort), ok);
    if (ok) {
        QCOMPARE(parsedAddress, address);
        QCOMPARE(parsedPort, port);
    }
}

void TestFtpProtocol::permissionText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("600") << 600 << QStringLiteral("rw-------") << true;
    QTest::newRow("5") << 5 << QStringLiteral("------r-x") << true;
    QTest::newRow("644") << 644 << QStringLiteral("rw-r--r--") << true;
    QTest::newRow("777") << 777 << QStringLiteral("rwxrwxrwx") << true;
    QTest::newRow("default") << -1 << QStringLiteral("Default") << false;
    QTest::newRow("999") << 999 << QStringLiteral("") << false;
    QTest::newRow("778") << 778 << QStringLiteral("rwxrwx") << false;
    QTest::newRow("1000") << 1000 << QStringLiteral("--x---------") << false;
}

void TestFtpProtocol::permissionText()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(CFtpClient::PermissionText(value), text);
    QCOMPARE(CFtpClient::IsValidPermissions(value), valid);
}

void TestFtpProtocol::listingLines()
{
    const QList<QByteArray> lines = {
        "total 12\r",
        "drwxr-xr-x   2 u g 4096 Jan  1 12:00 .\r",
        "drwxr-xr-x   2 u g 4096 Jan  1 12:00 ..\r",
        "drwxr-xr-x   2 u g 4096 Jan  1 12:00 Mail\r",
        "-rw-r--r--   1 u g   10 Jan  1 12:00 name with  spaces\r",
        "lrwxrwxrwx   1 u g    3 Jan  1 12:00 www -> public_html\r",
        "lrwxrwxrwx   1 u g    3 Jan  1 12:00 broken\r",
        "-rw-r--r-- 1 u g 10 short",
    };
    const QList<CFtpListEntry> entries = CFtpListing::Parse(lines);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].type, 'd');
    QCOMPARE(entries[0].name, QByteArray("Mail"));
    QCOMPARE(entries[1].name, QByteArray("name with  spaces"));
    QCOMPARE(entries[1].permissions, QByteArray("rw-r--r--"));
    QCOMPARE(entries[1].size, QByteArray("10"));
    QCOMPARE(entries[2].type, 'l');
    QCOMPARE(entries[2].name, QByteArray("www"));
}

void TestFtpProtocol::commandText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("command") << QByteArray("RETR .procmail/zeph.recipes") << true;
    QTest::newRow("blanks") << QByteArray("RNTO name with  spaces") << true;
    QTest::newRow("UTF-8") << QByteArray("MKD Gr\xc3\xbc\xc3\x9f\x65") << true;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("longest") << QByteArray(CFtpSession::MaxCommandLength, 'a') << true;
    QTest::newRow("one too long") << QByteArray(CFtpSession::MaxCommandLength + 1, 'a') << false;
    QTest::newRow("CR LF and a second command") << QByteArray("DELE a\r\nDELE b") << false;
    QTest::newRow("LF") << QByteArray("DELE a\nb") << false;
    QTest::newRow("CR") << QByteArray("DELE a\rb") << false;
    QTest::newRow("NUL") << QByteArray("DELE a\0b", 8) << false;
    QTest::newRow("tab") << QByteArray("DELE a\tb") << false;
    QTest::newRow("escape") << QByteArray("DELE \x1b[31mred") << false;
    QTest::newRow("DEL") << QByteArray("DELE a\x7f") << false;
    QTest::newRow("Telnet interrupt") << QByteArray("DELE a\xff\xf4") << false;
}

// One check for every text that goes into a command line.
void TestFtpProtocol::commandText()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QCOMPARE(ProtocolText::IsCommandText(text, CFtpSession::MaxCommandLength), ok);
    // Entries typed into the program (text, so valid UTF-8) meet the same check, without the
    // length limit of a whole command.
    const QString entry = QString::fromUtf8(text);
    if (entry.toUtf8() == text)
        QCOMPARE(CRemoteHost::IsCommandSafe(entry), ok || text.size() > CFtpSession::MaxCommandLength);
}

void TestFtpProtocol::splitLines_data()
{
    QTest::addColumn<QList<QByteArray>>("blocks");
    QTest::addColumn<int>("maxLine");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QByteArray>("partial");
    using Lines = QList<QByteArray>;
    QTest::newRow("two lines in one read")
        << Lines { "220 ready\r\n230 ok\r\n" } << 1022 << Lines { "220 ready\r", "230 ok\r" } << QByteArray();
    QTest::newRow("split across reads") << Lines { "22", "0 rea", "dy\r", "\n23", "0 ok\r\n" } << 1022
                                        << Lines { "220 ready\r", "230 ok\r" } << QByteArray();
    QTest::newRow("multi-line reply")
        << Lines { "220-first\r\n220-sec", "ond\r\n220 last\r\n" } << 1022
        << Lines { "220-first\r", "220-second\r", "220 last\r" } << QByteArray();
    QTest::newRow("missing line end") << Lines { "220 ready\r\n230 no", " end" } << 1022
                                      << Lines { "220 ready\r" } << QByteArray("230 no end");
    QTest::newRow("empty lines") << Lines { "\n\n", "\n" } << 1022 << Lines { "", "", "" } << QByteArray();
    QTest::newRow("lone CR stays") << Lines { "a\rb\n" } << 1022 << Lines { "a\rb" } << QByteArray();
    QTest::newRow("NUL bytes stay") << Lines { QByteArray("2\0"
                                                          "0 x\n\0",
        7) } << 1022
                                    << Lines { QByteArray("2\0"
                                                          "0 x",
                                           5) }
                                    << QByteArray("\0", 1);
    QTest::newRow("binary garbage") << Lines { "\xff\xfe\x01\n\x80" } << 1022 << Lines { "\xff\xfe\x01" }
                                    << QByteArray("\x80");
    QTest::newRow("over-long line cut")
        << Lines { "abcdefgh\nij\n" } << 4 << Lines { "abcd", "ij" } << QByteArray();
    QTest::newRow("over-long across reads")
        << Lines { "abc", "defg", "h\nxy" } << 4 << Lines { "abcd" } << QByteArray("xy");
    QTest::newRow("endless line never grows")
        << Lines { "abcdef", "ghij", QByteArray(100000, 'k') } << 4 << Lines {} << QByteArray("abcd");
    QTest::newRow("exactly the longest") << Lines { "ab", "cd\n" } << 4 << Lines { "abcd" } << QByteArray();
}

// Reply and listing lines come out of one splitter, whatever the reads cut.
void TestFtpProtocol::splitLines()
{
    QFETCH(QList<QByteArray>, blocks);
    QFETCH(int, maxLine);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QByteArray, partial);
    QByteArray carried;
    QList<QByteArray> got;
    for (const QByteArray& block : blocks)
        ProtocolText::SplitLines(block, &carried, maxLine, &got);
    QCOMPARE(got, lines);
    QCOMPARE(carried, partial);
}

void TestFtpProtocol::splitRepliesAndMultiLineGreeting()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("split"));
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY2(connect(client, server), qUtf8Printable(client.ResultText()));
    const QList<QByteArray> log = client.Log();
    QVERIFY(contains(log, "220-Welcome to the fault server"));
    QVERIFY(contains(log, "220-second line of the greeting"));
    QVERIFY(contains(log, "220 fault server ready"));
    const QString local = m_dir.filePath(QStringLiteral("split.bin"));
    QVERIFY2(client.Transfer(local, QStringLiteral("data.bin"), true, true, true),
        qUtf8Printable(client.ResultText()));
    QCOMPARE(ReadTestFile(local), expectedData(200000));
    QCOMPARE(client.ResultText(), QStringLiteral("data.bin was successfully downloaded as ") + local);
    QCOMPARE(client.ResultCaption(), QStringLiteral("File Download Successful"));
    client.Disconnect();
    QCOMPARE(client.Log().last(), QByteArray("Disconnected from remote host"));
}

void TestFtpProtocol::loginWithoutPassword()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("nopass"));
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    QCOMPARE(client.ResultText(), QStringLiteral("Connected to 127.0.0.1."));
    QCOMPARE(client.ResultCaption(), QStringLiteral("Connected"));
    client.Disconnect();
    const QList<QByteArray> commands = server.Commands();
    QCOMPARE(commands.first(), QByteArray("USER u"));
    for (const QByteArray& command : commands)
        QVERIFY(!command.startsWith("PASS"));
}

void TestFtpProtocol::passwordNeverLogged()
{
    TestFtpServer server(TestFtpServer::Fault);
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server, QStringLiteral("s3cr3t!")));
    QVERIFY(contains(client.Log(), "PASS *******"));
    for (const QByteArray& line : client.Log())
        QVERIFY(!line.contains("s3cr3t"));
    // A command that starts with the same word in other letters is masked too.
    client.Command(QStringLiteral("pass hidden"));
    QVERIFY(contains(client.Log(), "pass ******"));
    client.Disconnect();
    QVERIFY(contains(server.Commands(), "PASS s3cr3t!"));
}

void TestFtpProtocol::pasvAddressReplacedByPeer()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("pasv-other"));
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    const QString local = m_dir.filePath(QStringLiteral("pasv.bin"));
    QVERIFY2(client.Transfer(local, QStringLiteral("data.bin"), true, true, true),
        qUtf8Printable(client.ResultText()));
    QCOMPARE(ReadTestFile(local), expectedData(200000));
    QVERIFY(contains(client.Log(), "PASV address 127.0.0.2 replaced by 127.0.0.1"));
    client.Disconnect();
}

void TestFtpProtocol::typeSentOnlyWhenItChanges()
{
    TestFtpServer server(TestFtpServer::Fault);
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    const QString local = m_dir.filePath(QStringLiteral("type.txt"));
    for (bool binary : { false, true, true, false })
        QVERIFY(client.Transfer(local, QStringLiteral("text.txt"), true, binary, false));
    client.Disconnect();
    QList<QByteArray> types;
    for (const QByteArray& command : server.Commands()) {
        if (command.startsWith("TYPE") || command.startsWith("RETR"))
            types.append(command);
    }
    const QList<QByteArray> expected
        = { "RETR text.txt", "TYPE I", "RETR text.txt", "RETR text.txt", "TYPE A", "RETR text.txt" };
    QCOMPARE(types, expected);
}

void TestFtpProtocol::asciiTransfersKeepLineFeeds()
{
    TestFtpServer server(TestFtpServer::Fault);
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    const QString local = m_dir.filePath(QStringLiteral("ascii.txt"));
    QVERIFY(client.Transfer(local, QStringLiteral("text.txt"), true, false, true));
    QCOMPARE(ReadTestFile(local), QByteArray("line one\nline two\n"));

    const QString upload = m_dir.filePath(QStringLiteral("up.txt"));
    QVERIFY(WriteTestFile(upload, "a\r\nb\nc\rd\r\n\r"));
    QVERIFY(client.Transfer(upload, QStringLiteral("up.txt"), false, false, true));
    const QString back = m_dir.filePath(QStringLiteral("back.txt"));
    QVERIFY(client.Transfer(back, QStringLiteral("up.txt"), true, true, true));
    QCOMPARE(ReadTestFile(back), QByteArray("a\nb\nc\rd\n\r"));
    // A text download keeps a lone CR, the last byte included.
    const QString textBack = m_dir.filePath(QStringLiteral("textback.txt"));
    QVERIFY(client.Transfer(textBack, QStringLiteral("up.txt"), true, false, true));
    QCOMPARE(ReadTestFile(textBack), QByteArray("a\nb\nc\rd\n\r"));
    client.Disconnect();
}

void TestFtpProtocol::chmodRetry_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("retried");
    QTest::newRow("500 retries") << QStringLiteral("chmod500") << true << true;
    QTest::newRow("550 does not") << QStringLiteral("chmod550") << false << false;
    QTest::newRow("502 does not") << QStringLiteral("chmod502") << false << false;
    QTest::newRow("200") << QStringLiteral("normal") << true << false;
}

void TestFtpProtocol::chmodRetry()
{
    QFETCH(QString, scenario);
    QFETCH(bool, ok);
    QFETCH(bool, retried);
    TestFtpServer server(TestFtpServer::Fault, scenario);
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    QCOMPARE(client.Chmod(QStringLiteral(".procmailrc"), 644), ok);
    if (ok) {
        QCOMPARE(client.ResultText(),
            QStringLiteral("The permissions for .procmailrc were successfully changed to rw-r--r--."));
        QCOMPARE(client.ResultCaption(), QStringLiteral("Permissions Updated"));
    } else {
        QVERIFY(client.ResultText().startsWith(
            QStringLiteral("The command SITE chmod 644 .procmailrc was not successfully executed.  ")));
        QCOMPARE(client.ResultCaption(), QStringLiteral("Command Failed"));
    }
    client.Disconnect();
    const QList<QByteArray> commands = server.Commands();
    QVERIFY(contains(commands, "SITE chmod 644 .procmailrc"));
    QCOMPARE(contains(commands, "QUOTE chmod 644 .procmailrc"), retried);
}

void TestFtpProtocol::invalidPermissionsNeverSent_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("999") << 999;
    QTest::newRow("778") << 778;
    QTest::newRow("-5") << -5;
    QTest::newRow("1000") << 1000;
}

void TestFtpProtocol::invalidPermissionsNeverSent()
{
    QFETCH(int, value);
    TestFtpServer server(TestFtpServer::Fault);
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    QVERIFY(!client.Chmod(QStringLiteral("x"), value));
    QCOMPARE(client.ResultText(),
        QStringLiteral("The permissions value %1 is not valid.  Use three octal digits from 000 to 777.")
            .arg(value));
    QCOMPARE(client.ResultCaption(), QStringLiteral("Command Failed"));
    // -1 is "Default": nothing to change, nothing sent, success.
    QVERIFY(client.Chmod(QStringLiteral("x"), -1));
    client.Disconnect();
    for (const QByteArray& command : server.Commands())
        QVERIFY(!command.startsWith("SITE") && !command.startsWith("QUOTE"));
}

void TestFtpProtocol::commandWithLineBreakRefused()
{
    TestFtpServer server(TestFtpServer::Fault);
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    QVERIFY(!client.Command(QStringLiteral("DELE a\r\nDELE b")));
    QVERIFY(client.ResultText().contains(QStringLiteral("Error: Invalid command text.")));
    QVERIFY(!client.Rename(QStringLiteral("text.txt"), QStringLiteral("x\ny")));
    QVERIFY(!client.Command(QStringLiteral("NOOP ") + QString(5000, QLatin1Char('a'))));
    QVERIFY(client.Command(QStringLiteral("PWD")));
    QCOMPARE(client.CurrentDir(), QStringLiteral("/home/u"));
    client.Disconnect();
    for (const QByteArray& command : server.Commands()) {
        QVERIFY(!command.startsWith("DELE"));
        QVERIFY(!command.startsWith("RNTO"));
        QVERIFY(!command.startsWith("NOOP"));
    }
}

void TestFtpProtocol::hostileListing()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("hostile"));
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    QList<QByteArray> lines;
    QVERIFY(client.ListDir(&lines));
    client.Disconnect();
    QList<QByteArray> usable;
    QList<QByteArray> refused;
    for (const CFtpListEntry& entry : CFtpListing::Parse(lines))
        (CFtpListing::IsUsableLocalName(entry.name) ? usable : refused).append(entry.name);
    QCOMPARE(usable, QList<QByteArray>({ "fine.txt" }));
    QCOMPARE(refused.size(), 6);
}

void TestFtpProtocol::listingKeepsLastLine()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("nolastline"));
    QVERIFY(StartTestServer(server));
    CFtpClient client;
    QVERIFY(connect(client, server));
    QByteArray text;
    QVERIFY(client.RawList(&text));
    client.Disconnect();
    QVERIFY(text.endsWith("text.txt\n"));
    QCOMPARE(text.count('\n'), 2);
}

void TestFtpProtocol::temporaryNameOrder_data()
{
    QTest::addColumn<QString>("remote");
    QTest::addColumn<QByteArray>("temporary");
    QTest::newRow("in a folder") << QStringLiteral(".procmail/zeph.recipes")
                                 << QByteArray(".procmail/zeph.temp_");
    QTest::newRow("bare name") << QStringLiteral(".forward") << QByteArray("zeph.temp_");
}

void TestFtpProtocol::temporaryNameOrder()
{
    QFETCH(QString, remote);
    QFETCH(QByteArray, temporary);
    TestFtpServer server(TestFtpServer::Fault);
    QVERIFY(StartTestServer(server));
    SetSetting(Settings::ChmodOnUpload, 1);
    SetSetting(Settings::OnUploadChmodPerms, 640);
    const QString local = m_dir.filePath(QStringLiteral("order.txt"));
    QVERIFY(WriteTestFile(local, "text\n"));
    CRemoteHost host;
    host.SetTimeout(3);
    QVERIFY(
        host.ConnectTo(QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"), server.Port()));
    QVERIFY2(host.Transfer(local, remote, false, false, true), qUtf8Printable(host.ResultText()));
    QCOMPARE(host.ResultText(), local + QStringLiteral(" was successfully uploaded as ") + remote);
    QCOMPARE(host.ResultCaption(), QStringLiteral("File Upload Successful"));
    host.Disconnect();
    QList<QByteArray> sequence;
    for (const QByteArray& command : server.Commands()) {
        if (command.startsWith("STOR") || command.startsWith("SITE") || command.startsWith("RN"))
            sequence.append(command);
    }
    const QList<QByteArray> expected = { "STOR " + temporary, "SITE chmod 640 " + temporary,
        "RNFR " + temporary, "RNTO " + remote.toUtf8() };
    QCOMPARE(sequence, expected);
}

void TestFtpProtocol::notConnectedAndMissingFile()
{
    CFtpClient client;
    const QString missing = m_dir.filePath(QStringLiteral("no-such-file"));
    QVERIFY(!client.Transfer(missing, QStringLiteral("x"), false, false, true));
    QCOMPARE(client.ResultText(), QStringLiteral("The file %1 does not exist.").arg(missing));
    QCOMPARE(client.ResultCaption(), QStringLiteral("Upload file does not exist"));
    QVERIFY(!client.Transfer(m_dir.path(), QStringLiteral("x"), false, false, true));
    QCOMPARE(client.ResultCaption(), QStringLiteral("Upload file does not exist"));
    QVERIFY(!client.Command(QStringLiteral("NOOP")));
    QCOMPARE(client.ResultText(), QStringLiteral("Not connected to the remote host."));
    QCOMPARE(client.ResultCaption(), QStringLiteral("Not connected"));
    QList<QByteArray> lines;
    QVERIFY(!client.ListDir(&lines));
    QCOMPARE(client.ResultCaption(), QStringLiteral("Not connected"));
    QCOMPARE(client.LastResponse(), QStringLiteral("Unknown error."));
}

void TestFtpProtocol::busyWhileTransferring()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("stall"));
    QVERIFY(StartTestServer(server));
    CFtpSession session;
    session.SetTimeouts(30);
    QVERIFY(session.Login("127.0.0.1", "u", "p", server.Port()));
    const QString local = m_dir.filePath(QStringLiteral("busy.bin"));
    QVERIFY(session.Retrieve("data.bin", local, true, true));
    QVERIFY(session.IsTransferring());
    QVERIFY(!session.Command("NOOP"));
    QCOMPARE(session.StatusText(), QStringLiteral("Connection is busy"));
    QVERIFY(!session.Rename("a", "b"));
    QCOMPARE(session.GetStatus(), int(CFtpSession::ConnectionBusy));
    session.InterruptAll();
    QVERIFY(session.WaitTransfer(10));
    QVERIFY(!QFile::exists(local));
}

void TestFtpProtocol::faults_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("resultText"); // after "%1" is replaced with the local path
    QTest::addColumn<QString>("caption");

    const QString download
        = QStringLiteral("Error while trying to download remote file data.bin.  \nError: %1.\n"
                         "The last remote host response was:\n\n%2");
    QTest::newRow("426 after part of the data") << QStringLiteral("abort426") << QStringLiteral("download")
                                                << download.arg(QStringLiteral("Data transfer failed"),
                                                       QStringLiteral("426 Failure writing network stream."))
                                                << QStringLiteral("Download Failed");
    QTest::newRow("dropped mid-transfer")
        << QStringLiteral("drop") << QStringLiteral("download")
        << download.arg(QStringLiteral("Data transfer failed"),
               QStringLiteral("150 Opening BINARY mode data connection for data.bin (200000 bytes)."))
        << QStringLiteral("Download Failed");
    QTest::newRow("fewer bytes than announced")
        << QStringLiteral("short") << QStringLiteral("download")
        << download.arg(QStringLiteral("Data transfer failed"), QStringLiteral("226 Transfer complete."))
        << QStringLiteral("Download Failed");
    QTest::newRow("451 after all the data") << QStringLiteral("late451") << QStringLiteral("download")
                                            << download.arg(QStringLiteral("Data transfer failed"),
                                                   QStringLiteral("451 Local error in processing."))
                                            << QStringLiteral("Download Failed");
    QTest::newRow("file not found")
        << QStringLiteral("normal") << QStringLiteral("missing")
        << QStringLiteral(
               "Error while trying to download remote file nothere.  \nError: Remote file command failed.\n"
               "The last remote host response was:\n\n550 Failed to open file.")
        << QStringLiteral("Download Failed");
    QTest::newRow("disk full on the host")
        << QStringLiteral("stor452") << QStringLiteral("upload")
        << QStringLiteral(
               "Error while trying to upload local file %1.  \nError: Data transfer failed.\n"
               "The last remote host response was:\n\n452 Transfer aborted.  No space left on device")
        << QStringLiteral("Upload Failed");
    QTest::newRow("wrong password") << QStringLiteral("refuse-login") << QStringLiteral("connect")
                                    << QStringLiteral(
                                           "Unable to connect to 127.0.0.1.  \nError: Login failed.\n"
                                           "The last remote host response was:\n\n530 Login incorrect.")
                                    << QStringLiteral("Connect Failed");
    QTest::newRow("garbage greeting")
        << QStringLiteral("garbage") << QStringLiteral("connect")
        << QStringLiteral("Unable to connect to 127.0.0.1.  \nError: Timed Out.\n"
                          "The last remote host response was:\n\nHELLO THERE this is not ftp")
        << QStringLiteral("Connect Failed");
    QTest::newRow("silent server") << QStringLiteral("silent") << QStringLiteral("connect")
                                   << QStringLiteral("Unable to connect to 127.0.0.1.  \nError: Timed Out.\n")
                                   << QStringLiteral("Connect Failed");
    QTest::newRow("overlong reply") << QStringLiteral("overlong") << QStringLiteral("connect")
                                    << QStringLiteral(
                                           "Unable to connect to 127.0.0.1.  \nError: Read failed.\n")
                                    << QStringLiteral("Connect Failed");
    QTest::newRow("refused connection")
        << QStringLiteral("refused") << QStringLiteral("connect")
        << QStringLiteral("Unable to connect to 127.0.0.1.  \nError: Connect failed.\n")
        << QStringLiteral("Connect Failed");
}

void TestFtpProtocol::faults()
{
    QFETCH(QString, scenario);
    QFETCH(QString, operation);
    QFETCH(QString, resultText);
    QFETCH(QString, caption);

    TestFtpServer server(
        TestFtpServer::Fault, scenario == QLatin1String("refused") ? QStringLiteral("normal") : scenario);
    QVERIFY(StartTestServer(server));
    const int port = scenario == QLatin1String("refused") ? TestFtpServer::FreePort() : server.Port();
    const QString local = m_dir.filePath(QStringLiteral("fault-") + scenario + QStringLiteral(".bin"));
    QVERIFY(WriteTestFile(local, "OLD CONTENT\n"));

    CRemoteHost client;
    client.SetTimeout(2);
    const bool connected
        = client.ConnectTo(QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"), port);
    bool ok = connected;
    if (operation == QLatin1String("connect")) {
        QVERIFY(!connected);
    } else {
        QVERIFY2(connected, qUtf8Printable(client.ResultText()));
        if (operation == QLatin1String("download"))
            ok = client.Transfer(local, QStringLiteral("data.bin"), true, true, true);
        else if (operation == QLatin1String("missing"))
            ok = client.Transfer(local, QStringLiteral("nothere"), true, true, true);
        else
            ok = client.Transfer(local, QStringLiteral("up.bin"), false, true, true);
        QVERIFY(!ok);
    }
    QCOMPARE(client.ResultText(), QString(resultText).replace(QStringLiteral("%1"), local));
    QCOMPARE(client.ResultCaption(), caption);
    QVERIFY(!client.WasCanceled());
    QCOMPARE(ReadTestFile(local), QByteArray("OLD CONTENT\n"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".part-")),
        QStringList());
    if (operation == QLatin1String("upload")) {
        // The temporary name is removed again and the target is never touched.
        client.Disconnect();
        const QList<QByteArray> commands = server.Commands();
        QVERIFY(contains(commands, "DELE zeph.temp_"));
        QVERIFY(!contains(commands, "RNTO up.bin"));
    }
    checkReconnect(client);
}

void TestFtpProtocol::cancelDuringStall()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("stall"));
    QVERIFY(StartTestServer(server));
    const QString local = m_dir.filePath(QStringLiteral("stall.bin"));
    QVERIFY(WriteTestFile(local, "OLD CONTENT\n"));
    CRemoteHost client;
    client.SetTimeout(60); // only the cancel can end the wait
    QVERIFY(client.ConnectTo(
        QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"), server.Port()));
    QElapsedTimer sinceCancel;
    QTimer::singleShot(500, &client, [&client, &sinceCancel] {
        sinceCancel.start();
        client.RequestCancel();
    });
    QVERIFY(!client.Transfer(local, QStringLiteral("data.bin"), true, true, true));
    const qint64 latency = sinceCancel.elapsed();
    qInfo("the cancelled transfer returned %lld ms after the cancel", static_cast<long long>(latency));
    // A hang guard: every wait is interruptible, so the cancel ends it within moments.
    QVERIFY2(sinceCancel.isValid() && latency < 5000, qUtf8Printable(QString::number(latency)));
    QVERIFY(client.WasCanceled());
    QVERIFY(!client.IsConnected());
    QCOMPARE(ReadTestFile(local), QByteArray("OLD CONTENT\n"));
    client.ShowResult();
    QCOMPARE(Prompt::History().last().text, QStringLiteral("Operation canceled."));
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("Operation canceled"));
    checkReconnect(client);
}

QTEST_GUILESS_MAIN(TestFtpProtocol)
#include "tst_ftpprotocol.moc"
