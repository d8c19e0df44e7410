// zeph-cli says why whenever it exits with 1: one row per failure of every command, with the
// exit code and the whole of stderr. @DIR@ stands for the test's folder and @PORT@ for the port
// of the row's FTP server.
#include "FileSizeLimit.h"
#include "FtpServers.h"
#include "TestEnvironment.h"
#include "ZephCli.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

class TestCliMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void failures_data();
    void failures();
    void hostTextIsEscaped();

private:
    TestEnvironment m_env;
    QTemporaryDir m_dir;
};

namespace {

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QByteArray Recipes = "##_ZEPH_RECIPE_BEGIN_##Spam\n:0\n/dev/null\n##_ZEPH_RECIPE_END_##Spam\n"
                           "##_ZEPH_RECIPE_BEGIN_##Twice\n:0\na\n##_ZEPH_RECIPE_END_##Twice\n"
                           "##_ZEPH_RECIPE_BEGIN_##Twice\n:0\nb\n##_ZEPH_RECIPE_END_##Twice\n";

} // namespace

void TestCliMessages::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("bad.json")), "{\"name\": "));
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("def.json")),
        R"({"name": "Spam", "conditions": [{"field": 10}], "actions": [{"type": 6}]})"));
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("bad.zeph")), "not a recipe data file"));
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("zeph.recipes")), Recipes));
}

// The words of a command line; no argument holds a blank.
QStringList words(const char* line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '));
}

void TestCliMessages::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("password"); // ZEPH_TEST_PW; a null string leaves it unset
    QTest::addColumn<QString>("scenario"); // the fault server's, or empty for none
    QTest::addColumn<int>("fileLimit"); // bytes any file write may reach, 0 for no limit
    QTest::addColumn<QString>("err");

    auto add = [](const char* name, const char* args, const char* err, int fileLimit = 0) {
        QTest::newRow(name) << words(args) << QString() << QString() << fileLimit << QString::fromUtf8(err);
    };
    add("recipe build: no such file", "recipe build @DIR@/none.json",
        "zeph-cli: cannot read @DIR@/none.json: No such file or directory\n");
    add("recipe summary: not JSON", "recipe summary @DIR@/bad.json",
        "zeph-cli: @DIR@/bad.json: not valid JSON at offset 9: unterminated object\n");
    add("recipe export: damaged data file", "recipe export @DIR@/bad.zeph",
        "zeph-cli: @DIR@/bad.zeph: The file size was incorrect.\n");
    add("recipe import: a folder as the target", "recipe import @DIR@/def.json @DIR@",
        "zeph-cli: @DIR@: Filename refers to a directory\n");
    add("recipe import: disk full", "recipe import @DIR@/def.json @DIR@/new.zeph",
        "zeph-cli: @DIR@/new.zeph: File too large\n", 16);
    add("recipes list: no such file", "recipes list @DIR@/none", "zeph-cli: @DIR@/none is not a file\n");
    add("recipes enable: no such recipe", "recipes enable @DIR@/zeph.recipes Ham",
        "zeph-cli: @DIR@/zeph.recipes holds no recipe named \"Ham\"\n");
    add("recipes delete: the name twice", "recipes delete @DIR@/zeph.recipes Twice",
        "zeph-cli: @DIR@/zeph.recipes holds more than one recipe named \"Twice\"; edit the file to tell "
        "them apart\n");
    add("recipes move: position out of range", "recipes move @DIR@/zeph.recipes Spam 4",
        "zeph-cli: the position 4 is out of range (1 to 3)\n");
    add("recipes disable: disk full", "recipes disable @DIR@/zeph.recipes Spam",
        "zeph-cli: An error occurred while writing @DIR@/zeph.recipes.\n\nFile too large\n", 16);
    add("log parse: no such file", "log parse @DIR@/none.log",
        "zeph-cli: @DIR@/none.log could not be opened: No such file or directory\n");
    add("log parse: a named pipe", "log parse @DIR@/pipe.log",
        "zeph-cli: @DIR@/pipe.log is a named pipe (FIFO), not a regular file.  Only a regular file can be "
        "opened as a log.\n");
    add("ftp put: no such local file", "ftp --host 127.0.0.1 put @DIR@/none x",
        "zeph-cli: The file @DIR@/none does not exist.\n");
    add("ftp: no host", "ftp --user u ls",
        "zeph-cli: No FTP host name is set.  Enter the name of your ISP's FTP host on the FTP page of the "
        "Settings.\n");

    auto ftp = [](const char* name, const char* args, const QString& password, const char* scenario,
                   const char* err) {
        QTest::newRow(name) << words("ftp --host 127.0.0.1 --port @PORT@ --user u") + words(args) << password
                            << QString::fromUtf8(scenario) << 0 << QString::fromUtf8(err);
    };
    const QString secret = QStringLiteral("secret");
    ftp("ftp: no password", "ls", QString(), "normal",
        "zeph-cli: No FTP password was given and none is saved for the identity \"Default\".  Give it in an "
        "environment variable named with --password-env.\n");
    ftp("ftp: empty password variable", "--password-env ZEPH_TEST_PW ls", QStringLiteral(""), "normal",
        "zeph-cli: The environment variable ZEPH_TEST_PW is empty; it must hold the FTP password.\n");
    ftp("ftp: nothing listens", "--password-env ZEPH_TEST_PW ls", secret, "",
        "zeph-cli: Unable to connect to 127.0.0.1.  \nError: Connect failed.\n\n");
    ftp("ftp: login refused", "--password-env ZEPH_TEST_PW ls", secret, "refuse-login",
        "zeph-cli: Unable to connect to 127.0.0.1.  \nError: Login failed.\nThe last remote host response "
        "was:\n\n530 Login incorrect.\n");
    ftp("ftp rm: no such remote file", "--password-env ZEPH_TEST_PW rm none", secret, "normal",
        "zeph-cli: Error trying to delete remote file none.  The last remote host response was:\n\n550 "
        "Delete operation failed.\n");
    ftp("ftp get: no such local folder", "--password-env ZEPH_TEST_PW get text.txt @DIR@/no/such/text.txt",
        secret, "normal",
        "zeph-cli: Error while trying to download remote file text.txt.  \nError: Local file create "
        "failed.\nThe last remote host response was:\n\n200 type set\n");
}

void TestCliMessages::failures()
{
    QFETCH(QStringList, args);
    QFETCH(QString, password);
    QFETCH(QString, scenario);
    QFETCH(int, fileLimit);
    QFETCH(QString, err);

    const QString pipe = m_dir.filePath(QStringLiteral("pipe.log"));
    if (!QFile::exists(pipe))
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    std::unique_ptr<TestFtpServer> server;
    int port = TestFtpServer::FreePort();
    if (!scenario.isEmpty()) {
        server = std::make_unique<TestFtpServer>(TestFtpServer::Fault, scenario);
        QString error;
        QVERIFY2(server->Start(&error), qPrintable(error));
        port = server->Port();
    }
    for (QString& arg : args)
        arg.replace(QLatin1String("@DIR@"), m_dir.path())
            .replace(QLatin1String("@PORT@"), QString::number(port));
    err.replace(QLatin1String("@DIR@"), m_dir.path());
    QProcessEnvironment environment = m_env.ProcessEnvironment();
    environment.remove(QStringLiteral("ZEPH_TEST_PW"));
    if (!password.isNull())
        environment.insert(QStringLiteral("ZEPH_TEST_PW"), password);

    const QByteArray recipesBefore = readFile(m_dir.filePath(QStringLiteral("zeph.recipes")));
    ZephCliRun run;
    if (fileLimit > 0) {
        FileSizeLimit limit(static_cast<rlim_t>(fileLimit));
        run = RunZephCli(args, environment);
    } else {
        run = RunZephCli(args, environment);
    }
    QCOMPARE(run.code, 1);
    QCOMPARE(QString::fromUtf8(run.err), err);
    QVERIFY(run.out.isEmpty());
    // A failure changes no file.
    QCOMPARE(readFile(m_dir.filePath(QStringLiteral("zeph.recipes"))), recipesBefore);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("new.zeph"))));
}

// What a hostile server sends reaches the terminal escaped: replies in messages, the dialogue of
// --verbose and listed names. Escape sequences could otherwise retitle, clear or recolour it.
void TestCliMessages::hostTextIsEscaped()
{
    QProcessEnvironment environment = m_env.ProcessEnvironment();
    environment.insert(QStringLiteral("ZEPH_TEST_PW"), QStringLiteral("secret"));
    auto cli = [&environment](const TestFtpServer& server, const char* args) {
        QStringList line = words("ftp --host 127.0.0.1 --user u --password-env ZEPH_TEST_PW --port");
        line << QString::number(server.Port()) << words(args);
        return RunZephCli(line, environment);
    };
    const QByteArray reply = "550 \\033]0;owned\\007\\033[31mgoneback\\134slash \\302\\2331m\\177\n";
    TestFtpServer escapes(TestFtpServer::Fault, QStringLiteral("escapes"));
    QString error;
    QVERIFY2(escapes.Start(&error), qPrintable(error));
    ZephCliRun run = cli(escapes, "rm x");
    QCOMPARE(run.code, 1);
    QCOMPARE(run.err,
        "zeph-cli: Error trying to delete remote file x.  The last remote host response was:\n\n" + reply);

    run = cli(escapes, "--verbose rm x");
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains("\n220 \\033[2Jfault server ready\n"), run.err.constData());
    QVERIFY2(run.err.contains("\n" + reply), run.err.constData());
    for (char c : run.err)
        QVERIFY2(static_cast<unsigned char>(c) >= 0x20 || c == '\n', run.err.constData());
    QVERIFY(!run.err.contains("\xc2\x9b"));

    TestFtpServer hostile(TestFtpServer::Fault, QStringLiteral("hostile"));
    QVERIFY2(hostile.Start(&error), qPrintable(error));
    run = cli(hostile, "ls");
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out,
        QByteArray("- rw-r--r-- 10 ..\n- rw-r--r-- 10 .\n- rw-r--r-- 10 a/b\n"
                   "- rw-r--r-- 10 evil\\033[31mred\n- rw-r--r-- 10 tab\\011name\n"
                   "- rw-r--r-- 10 back\\134slash\n- rw-r--r-- 10 fine.txt\n"));

    // Every dialect in the fields the parser gives: a link without its target, DOS lines without
    // permissions, a device left out; a line of no known dialect is named on stderr.
    TestFtpServer dialects(TestFtpServer::Fault, QStringLiteral("dialects"));
    QVERIFY2(dialects.Start(&error), qPrintable(error));
    run = cli(dialects, "ls");
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out,
        QByteArray(
            "l rwxrwxrwx 11 www\n- rw-r--r-- 5368709120 big.iso\nd   Old Stuff\n-  1234 report.txt\n"));
    QCOMPARE(run.err,
        QByteArray(
            "zeph-cli: listing line not understood: +i8388621.48594,m825718503,r,s280,\\011djb.html\n"));
}

QTEST_GUILESS_MAIN(TestCliMessages)
#include "tst_climessages.moc"
