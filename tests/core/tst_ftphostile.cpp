// The FTP client against servers that try to make it wait or hold memory
// without end: a reply that never ends, a reply that trickles, a listing
// without end, a server that falls silent after the login, a stalled download
// and a stranger that connects to the active-mode port. Every one of them ends
// within three time-outs with its failure text, and the memory a server can
// make the client hold stays under the caps.
#include "core/common/Prompt.h"
#include "core/net/CFtpSession.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/CAppState.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"
#include "support/PeakMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// Every wait of the client in these tests, in seconds.
constexpr int TimeoutSeconds = 6;
// What a bound on elapsed time allows for besides the waits themselves.
constexpr int MarginSeconds = 2;
// What the test process may grow by besides the cap under test: threads, queued
// log lines, the sanitizer's bookkeeping.
constexpr qint64 MemorySlack = 32 * 1024 * 1024;

QByteArray expectedData(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + 3) % 256);
    return data;
}

} // namespace

class TestFtpHostile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void boundedFailures_data();
    void boundedFailures();
    void activeModeTakesOnlyTheServer();
    void peakMemory_data();
    void peakMemory();

private:
    bool connect(CFtpClient& client, TestFtpServer& server);
    // Runs "connect", "list", "list-active" or "download" (data.bin) on `client`.
    bool run(CFtpClient& client, TestFtpServer& server, const QString& operation, const QString& local);

    QTemporaryDir m_dir;
};

void TestFtpHostile::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestFtpHostile::init()
{
    CAppState::Instance().Reset();
    Prompt::ClearHistory();
}

bool TestFtpHostile::connect(CFtpClient& client, TestFtpServer& server)
{
    client.SetTimeout(TimeoutSeconds);
    return client.ConnectTo(
        QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"), server.Port());
}

bool TestFtpHostile::run(
    CFtpClient& client, TestFtpServer& server, const QString& operation, const QString& local)
{
    if (!connect(client, server) || operation == QLatin1String("connect"))
        return false;
    if (operation == QLatin1String("download"))
        return client.Transfer(local, QStringLiteral("data.bin"), true, true, true);
    client.SetPassive(operation != QLatin1String("list-active"));
    QList<QByteArray> lines;
    return client.ListDir(&lines);
}

void TestFtpHostile::boundedFailures_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("resultText");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("timeOuts"); // the full time-outs the path may wait for

    const QString connectFailed = QStringLiteral("Unable to connect to 127.0.0.1.  \nError: %1.\n");
    const QString listFailed = QStringLiteral("Error trying to retrieve directory list.  \nError: %1.\n"
                                              "The last remote host response was:\n\n%2");
    QTest::newRow("reply without end") << QStringLiteral("flood") << QStringLiteral("connect")
                                       << connectFailed.arg(QStringLiteral("Read failed"))
            + QStringLiteral("The last remote host response was:\n\n220 flood")
                                       << QStringLiteral("Connect Failed") << 0;
    QTest::newRow("reply that trickles")
        << QStringLiteral("trickle") << QStringLiteral("connect")
        << connectFailed.arg(QStringLiteral("Timed Out")) << QStringLiteral("Connect Failed") << 1;
    QTest::newRow("listing without end") << QStringLiteral("endless-list") << QStringLiteral("list")
                                         << listFailed.arg(QStringLiteral("Data transfer failed"),
                                                QStringLiteral("426 Failure writing network stream."))
                                         << QStringLiteral("Directory List Failed") << 0;
    QTest::newRow("silent after login, passive")
        << QStringLiteral("silent-login") << QStringLiteral("list")
        << listFailed.arg(QStringLiteral("Data connection failed"), QStringLiteral("230 logged in"))
        << QStringLiteral("Directory List Failed") << 1;
    QTest::newRow("silent after login, active")
        << QStringLiteral("silent-login") << QStringLiteral("list-active")
        << listFailed.arg(QStringLiteral("Data connection failed"), QStringLiteral("230 logged in"))
        << QStringLiteral("Directory List Failed") << 1;
    QTest::newRow("download that stalls")
        << QStringLiteral("stall") << QStringLiteral("download")
        << QStringLiteral("Error while trying to download remote file data.bin.  "
                          "\nError: Data read failed.\n"
                          "The last remote host response was:\n\n"
                          "150 Opening BINARY mode data connection for data.bin "
                          "(200000 bytes).")
        << QStringLiteral("Download Failed") << 2; // the data, then the closing reply
}

// The failure, the closing of the connection after it included, takes less than
// three time-outs, whatever the server keeps sending or holding back: each step
// waits at most one time-out, and the QUIT after a failure only a short grace.
void TestFtpHostile::boundedFailures()
{
    QFETCH(QString, scenario);
    QFETCH(QString, operation);
    QFETCH(QString, resultText);
    QFETCH(QString, caption);
    QFETCH(int, timeOuts);

    TestFtpServer server(TestFtpServer::Fault, scenario);
    QVERIFY(StartTestServer(server));
    const QString local = m_dir.filePath(QStringLiteral("hostile-") + scenario + QStringLiteral(".bin"));
    QVERIFY(WriteTestFile(local, "OLD CONTENT\n"));
    CRemoteHost client;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!run(client, server, operation, local));
    const QString result = client.ResultText();
    const QString resultCaption = client.ResultCaption();
    client.Disconnect();
    const qint64 elapsed = timer.elapsed();
    qInfo("%s: %lld ms with a time-out of %d s", qUtf8Printable(scenario), static_cast<long long>(elapsed),
        TimeoutSeconds);
    QVERIFY2(elapsed < 3 * TimeoutSeconds * 1000, qUtf8Printable(QString::number(elapsed)));
    const int bound = timeOuts * TimeoutSeconds + CFtpSession::CleanupGraceSeconds + MarginSeconds;
    QVERIFY2(elapsed < bound * 1000, qUtf8Printable(QString::number(elapsed)));
    QCOMPARE(result, resultText);
    QCOMPARE(resultCaption, caption);
    QVERIFY(!client.WasCanceled());
    QCOMPARE(ReadTestFile(local), QByteArray("OLD CONTENT\n"));
}

// A connection to the active-mode port from anyone but the server is closed and
// logged, and the client goes on waiting for the server's own.
void TestFtpHostile::activeModeTakesOnlyTheServer()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("active-thief"));
    QVERIFY(StartTestServer(server));
    CRemoteHost client;
    QVERIFY(connect(client, server));
    client.SetPassive(false);
    QList<QByteArray> lines;
    QVERIFY2(client.ListDir(&lines), qUtf8Printable(client.ResultText()));
    const QList<QByteArray> expected = { "-rw-r--r--   1 u g  200000 Jan  1 12:00 data.bin\r",
        "-rw-r--r--   1 u g      20 Jan  1 12:00 text.txt\r" };
    QCOMPARE(lines, expected);
    const QString local = m_dir.filePath(QStringLiteral("active.bin"));
    QVERIFY2(client.Transfer(local, QStringLiteral("data.bin"), true, true, false),
        qUtf8Printable(client.ResultText()));
    QCOMPARE(ReadTestFile(local), expectedData(200000));
    client.Disconnect();
    const QByteArray refused = "Data connection from 127.0.0.2 closed: not the "
                               "server's address 127.0.0.1";
    QCOMPARE(client.Log().count(refused), 2);
}

void TestFtpHostile::peakMemory_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("cap");
    QTest::newRow("reply without end")
        << QStringLiteral("flood") << QStringLiteral("connect") << false << CFtpSession::MaxReplyBytes;
    QTest::newRow("listing without end")
        << QStringLiteral("endless-list") << QStringLiteral("list") << false << CFtpSession::MaxListingBytes;
    // A download goes to the disk as it arrives: its size costs no memory.
    QTest::newRow("256 MiB download")
        << QStringLiteral("large") << QStringLiteral("large") << true << qint64(0);
}

// The growth of the peak resident memory while a server floods the client stays
// under the cap plus a fixed slack. Each case runs in a fresh copy of this
// program: memory that earlier cases freed stays resident and would hide what
// this one takes. The sanitizer build holds freed memory back only up to a
// small quarantine for this test (see tests/CMakeLists.txt).
void TestFtpHostile::peakMemory()
{
    QFETCH(QString, scenario);
    QFETCH(QString, operation);
    QFETCH(bool, ok);
    QFETCH(qint64, cap);

    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(), { QStringLiteral("--peak-memory"), scenario, operation });
    QVERIFY(child.waitForFinished(90000));
    const QByteArray out = child.readAllStandardOutput();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && out.startsWith("GROWTH "),
        (out + child.readAllStandardError()).constData());
    const QList<QByteArray> fields = out.trimmed().split(' ');
    const qint64 growth = fields.value(1).toLongLong();
    qInfo("%s: peak memory grew by %.1f MiB (cap %.1f MiB)", qUtf8Printable(scenario),
        double(growth) / (1024 * 1024), double(cap) / (1024 * 1024));
    QCOMPARE(fields.value(2), QByteArray(ok ? "ok" : "failed"));
    QVERIFY2(growth < cap + MemorySlack, qUtf8Printable(QString::number(growth)));
}

namespace {

// The child's side of peakMemory: runs one operation against the scenario's
// server and prints "GROWTH <bytes> ok|failed".
int measurePeakMemory(const QString& scenario, const QString& operation)
{
    TestFtpServer server(TestFtpServer::Fault, scenario);
    QString error;
    if (!server.Start(&error) || !PeakMemory::Reset()) {
        qWarning("%s", qUtf8Printable(error));
        return 1;
    }
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("memory.bin"));
    const qint64 before = PeakMemory::Peak();
    bool ok = false;
    {
        CRemoteHost client;
        client.SetTimeout(TimeoutSeconds);
        ok = client.ConnectTo(
            QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"), server.Port());
        if (ok && operation == QLatin1String("list")) {
            QList<QByteArray> lines;
            ok = client.ListDir(&lines);
        } else if (ok && operation == QLatin1String("large")) {
            ok = client.Transfer(local, QStringLiteral("large.bin"), true, true, true)
                && QFileInfo(local).size() == qint64(256) * 1024 * 1024;
        }
        client.Disconnect();
    }
    const qint64 growth = PeakMemory::Peak() - before;
    std::printf("GROWTH %lld %s\n", static_cast<long long>(growth), ok ? "ok" : "failed");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--peak-memory") == 0)
        return measurePeakMemory(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestFtpHostile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ftphostile.moc"
