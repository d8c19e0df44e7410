#include "TestEnvironment.h"
#include "ZephCli.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QString fixture(const char* name)
{
    return QStringLiteral(ZEPH_TEST_DATA_DIR "/log/") + QLatin1String(name);
}

} // namespace

class TestLogCli : public QObject
{
    Q_OBJECT

private slots:
    void usage_data();
    void usage();
    void text();
    void json();
    void controlCharactersNeverReachTheTerminal();
    void oddFiles_data();
    void oddFiles();

private:
    TestEnvironment m_env;
};

void TestLogCli::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("no subcommand") << QStringList { QStringLiteral("log") } << 2 << QStringLiteral("usage");
    QTest::newRow("no file") << QStringList { QStringLiteral("log"), QStringLiteral("parse") } << 2
                             << QStringLiteral("usage");
    QTest::newRow("unknown option") << QStringList { QStringLiteral("log"), QStringLiteral("parse"),
        fixture("mixed.log"), QStringLiteral("--xml") }
                                    << 2 << QStringLiteral("--xml");
    QTest::newRow("two files") << QStringList { QStringLiteral("log"), QStringLiteral("parse"),
        fixture("mixed.log"), fixture("mixed.log") }
                               << 2 << QStringLiteral("more than one file");
    QTest::newRow("missing file") << QStringList { QStringLiteral("log"), QStringLiteral("parse"),
        fixture("no-such.log") } << 1
                                  << QStringLiteral("no-such.log");
    QTest::newRow("a folder") << QStringList { QStringLiteral("log"), QStringLiteral("parse"),
        QStringLiteral(ZEPH_TEST_DATA_DIR) }
                              << 1 << QStringLiteral(ZEPH_TEST_DATA_DIR);
}

void TestLogCli::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const ZephCliRun run = RunZephCli(args);
    QCOMPARE(run.code, exitCode);
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

void TestLogCli::text()
{
    const ZephCliRun run
        = RunZephCli({ QStringLiteral("log"), QStringLiteral("parse"), fixture("mixed.log") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out,
        QByteArray(
            "Lists\t\"Joe \\\\ Q\" <joe@x.org> \tRe: tab here caf\xe9\tme@example.org\t12/31/05 23:59\t"
            "joe@x.org\tlists/debian\t2048\n"
            "\t\t\t\t12/10/26 04:36\tbob\t/var/mail/u\t12345678\n"
            "Line 1:  procmail: Error while writing to \"/var/mail/u\"\n"));
}

void TestLogCli::controlCharactersNeverReachTheTerminal()
{
    // A sender chooses the Subject and From text; the log keeps them as sent.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hostile.log"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("From evil@x  Sat Dec  1 14:05:09 2007\n"
               " Subject: \x1b]0;owned\x07 C1:\xc2\x9b"
               "2J caf\xc3\xa9 back\\slash\n"
               "  Folder: inbox\x1b[31m 5\n"
               "\x1b[2Jgarbage\x7f line\n");
    file.close();
    const ZephCliRun run = RunZephCli({ QStringLiteral("log"), QStringLiteral("parse"), path });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out,
        QByteArray("\t\t?]0;owned? C1:?2J caf\xc3\xa9 back\\slash\t\t12/01/07 14:05\tevil@x\tinbox?[31m\t5\n"
                   "Line 4:  ?[2Jgarbage? line\n"));
}

void TestLogCli::json()
{
    const ZephCliRun run = RunZephCli(
        { QStringLiteral("log"), QStringLiteral("parse"), fixture("mixed.log"), QStringLiteral("--json") });
    QCOMPARE(run.code, 0);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QList<QJsonObject> objects;
    for (const QByteArray& line : lines) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, line.constData());
        objects.append(document.object());
    }
    const QJsonObject first = objects[0];
    QCOMPARE(first.keys(),
        (QStringList { QStringLiteral("date"), QStringLiteral("dateKey"), QStringLiteral("folder"),
            QStringLiteral("from"), QStringLiteral("recipe"), QStringLiteral("sender"),
            QStringLiteral("size"), QStringLiteral("subject"), QStringLiteral("to") }));
    QCOMPARE(first[QLatin1String("recipe")].toString(), QStringLiteral("Lists"));
    QCOMPARE(first[QLatin1String("from")].toString(), QStringLiteral("\"Joe \\\\ Q\" <joe@x.org> "));
    // Not UTF-8: read as Latin-1; the tab survives in JSON.
    QCOMPARE(first[QLatin1String("subject")].toString(), QStringLiteral("Re: tab\there caf\u00e9"));
    QCOMPARE(first[QLatin1String("date")].toString(), QStringLiteral("12/31/05 23:59"));
    QCOMPARE(first[QLatin1String("dateKey")].toString(), QStringLiteral("2005123123:59"));
    QCOMPARE(first[QLatin1String("size")].toString(), QStringLiteral("2048"));
    QCOMPARE(objects[1][QLatin1String("sender")].toString(), QStringLiteral("bob"));
    QCOMPARE(objects[1][QLatin1String("size")].toString(), QStringLiteral("12345678"));
    QCOMPARE(objects[1][QLatin1String("recipe")].toString(), QString());
    QCOMPARE(
        objects[2], (QJsonObject { { QStringLiteral("entries"), 2 }, { QStringLiteral("unparsed"), 1 } }));
}

// Anything but a regular file is refused before it is opened: a FIFO would block the read for
// ever, and a /proc file reports size 0 but has content. A hang shows as exit code -1.
void TestLogCli::oddFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("kind");
    QTest::newRow("a named pipe") << QStringLiteral("fifo") << QStringLiteral("a named pipe (FIFO)");
    QTest::newRow("a device") << QStringLiteral("/dev/null") << QStringLiteral("a device");
    QTest::newRow("a /proc file") << QStringLiteral("/proc/self/status")
                                  << QStringLiteral("a file of the kernel's proc file system");
    QTest::newRow("a /sys file") << QStringLiteral("/sys/kernel/uevent_seqnum")
                                 << QStringLiteral("a file of the kernel's sys file system");
    QTest::newRow("a folder") << QStringLiteral(ZEPH_TEST_DATA_DIR) << QStringLiteral("a folder");
}

void TestLogCli::oddFiles()
{
    QFETCH(QString, path);
    QFETCH(QString, kind);
    QTemporaryDir dir;
    if (path == QLatin1String("fifo")) {
        path = dir.filePath(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    for (const QStringList& extra : { QStringList(), QStringList { QStringLiteral("--json") } }) {
        const ZephCliRun run
            = RunZephCli(QStringList { QStringLiteral("log"), QStringLiteral("parse"), path } + extra);
        QCOMPARE(run.code, 1);
        QCOMPARE(QString::fromUtf8(run.err),
            QStringLiteral(
                "zeph-cli: %1 is %2, not a regular file.  Only a regular file can be opened as a log.\n")
                .arg(path, kind));
        QVERIFY(run.out.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestLogCli)
#include "tst_logcli.moc"
