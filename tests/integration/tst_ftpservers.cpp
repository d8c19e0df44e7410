// The remote operations against real vsftpd and pyftpdlib on 127.0.0.1, in passive and active
// mode: login, upload through the temporary name with permissions, download, listing, rename,
// delete, directories, pending files sent in one session, and the command line client.
#include "FileSizeLimit.h"
#include "TestEnvironment.h"
#include "ZephCli.h"
#include "core/common/Prompt.h"
#include "core/net/CFtpListing.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestFtpServers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void operations_data();
    void operations();
    void pendingFilesInOneSession_data();
    void pendingFilesInOneSession();
    void commandLine();

private:
    void configure(const TestFtpServer& server, bool passive);
    // The settings live in a throwaway home: a password saved by the real user must not log in.
    TestEnvironment m_environment;
    QTemporaryDir m_local;
};

void TestFtpServers::init()
{
    CAppState::Instance().Reset();
    Prompt::ClearHistory();
    QVERIFY(m_local.isValid());
}

void TestFtpServers::configure(const TestFtpServer& server, bool passive)
{
    UseServerSettings(server, passive);
    SetSetting(Settings::InitialDir, QString());
}

void TestFtpServers::operations_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("passive");
    QTest::newRow("vsftpd passive") << int(TestFtpServer::Vsftpd) << true;
    QTest::newRow("vsftpd active") << int(TestFtpServer::Vsftpd) << false;
    QTest::newRow("pyftpdlib passive") << int(TestFtpServer::Pyftpdlib) << true;
    QTest::newRow("pyftpdlib active") << int(TestFtpServer::Pyftpdlib) << false;
}

void TestFtpServers::operations()
{
    QFETCH(int, kind);
    QFETCH(bool, passive);
    TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
    QString error;
    QVERIFY2(server.Start(&error), qUtf8Printable(error));
    configure(server, passive);

    // A wrong password: the connect fails, the user sees the host's 530.
    {
        CRemoteHost host;
        CRemoteHost::Overrides overrides;
        overrides.password = QStringLiteral("wrong");
        overrides.hasPassword = true;
        host.SetOverrides(overrides);
        QVERIFY(!host.Connect());
        const Prompt::Record shown = Prompt::History().last();
        QCOMPARE(shown.caption, QStringLiteral("Connect Failed"));
        QVERIFY2(
            shown.text.startsWith(QStringLiteral("Unable to connect to 127.0.0.1.  \nError: Login failed.\n"
                                                 "The last remote host response was:\n\n530 ")),
            qUtf8Printable(shown.text));
        QCOMPARE(shown.icon, Prompt::Warning);
    }

    CRemoteHost host;
    CRemoteHost::SetPasswordAsker([&server](QString* password) {
        *password = server.Password();
        return true;
    });
    QVERIFY2(host.Connect(), qUtf8Printable(host.ResultText()));
    CRemoteHost::SetPasswordAsker(nullptr);
    QCOMPARE(host.ResultText(), QStringLiteral("Connected to 127.0.0.1."));
    const QString root = server.Root();

    QVERIFY2(host.MakeDir(QStringLiteral("sub")), qUtf8Printable(host.ResultText()));
    QCOMPARE(
        host.ResultText(), QStringLiteral("The directory sub on the remote host was successfully created."));
    QCOMPARE(host.ResultCaption(), QStringLiteral("Directory Created"));
    QVERIFY(QFileInfo(root + QStringLiteral("/sub")).isDir());

    // Upload through the temporary name, with the mode set before the rename.
    SetSetting(Settings::ChmodOnUpload, 1);
    SetSetting(Settings::OnUploadChmodPerms, 640);
    const QString local = m_local.filePath(QStringLiteral("recipes.txt"));
    QVERIFY(WriteTestFile(local, "line one\r\nline two\n"));
    QVERIFY2(host.Transfer(local, QStringLiteral("sub/zeph.recipes"), false, false, passive),
        qUtf8Printable(host.ResultText()));
    QCOMPARE(host.ResultText(), local + QStringLiteral(" was successfully uploaded as sub/zeph.recipes"));
    QCOMPARE(host.ResultCaption(), QStringLiteral("File Upload Successful"));
    QCOMPARE(ReadTestFile(root + QStringLiteral("/sub/zeph.recipes")), QByteArray("line one\nline two\n"));
    QCOMPARE(FileMode(root + QStringLiteral("/sub/zeph.recipes")), 0640);
    QVERIFY(!QFile::exists(root + QStringLiteral("/sub/zeph.temp_")));
    const QList<QByteArray> log = host.Log();
    QVERIFY(log.contains("STOR sub/zeph.temp_"));
    QVERIFY(log.indexOf("SITE chmod 640 sub/zeph.temp_") < log.indexOf("RNFR sub/zeph.temp_"));

    // Download, binary and text.
    QVERIFY(WriteTestFile(root + QStringLiteral("/blob.bin"), QByteArray(300000, '\x01') + "\r\n\x00end"));
    const QString blob = m_local.filePath(QStringLiteral("blob.bin"));
    QVERIFY2(host.Transfer(blob, QStringLiteral("blob.bin"), true, true, passive),
        qUtf8Printable(host.ResultText()));
    QCOMPARE(ReadTestFile(blob), ReadTestFile(root + QStringLiteral("/blob.bin")));
    QCOMPARE(host.ResultText(), QStringLiteral("blob.bin was successfully downloaded as ") + blob);
    QCOMPARE(host.ResultCaption(), QStringLiteral("File Download Successful"));
    const QString text = m_local.filePath(QStringLiteral("back.txt"));
    QVERIFY(host.Transfer(text, QStringLiteral("sub/zeph.recipes"), true, false, passive));
    QCOMPARE(ReadTestFile(text), QByteArray("line one\nline two\n"));

    // A missing remote file leaves the local file as it was.
    QVERIFY(!host.Transfer(text, QStringLiteral("no-such-file"), true, false, passive));
    QCOMPARE(host.ResultCaption(), QStringLiteral("Download Failed"));
    QVERIFY(host.ResultText().contains(QStringLiteral("The last remote host response was:\n\n550")));
    QCOMPARE(ReadTestFile(text), QByteArray("line one\nline two\n"));

    // A full local disk: the download fails and the local file stays whole, with nothing left beside it.
    const QStringList before = QDir(m_local.path()).entryList(QDir::Files | QDir::Hidden);
    {
        FileSizeLimit limit(100000);
        QVERIFY(!host.Transfer(text, QStringLiteral("blob.bin"), true, true, passive));
    }
    QCOMPARE(host.ResultCaption(), QStringLiteral("Download Failed"));
    QCOMPARE(ReadTestFile(text), QByteArray("line one\nline two\n"));
    QCOMPARE(QDir(m_local.path()).entryList(QDir::Files | QDir::Hidden), before);

    // Listing of a directory.
    QVERIFY(host.Command(QStringLiteral("CWD sub")));
    QList<QByteArray> lines;
    QVERIFY2(host.ListDir(&lines), qUtf8Printable(host.ResultText()));
    QCOMPARE(host.ResultText(), QStringLiteral("Directory list received."));
    const QList<CFtpListEntry> entries = CFtpListing::Parse(lines);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].name, QByteArray("zeph.recipes"));
    QCOMPARE(entries[0].permissions, QByteArray("rw-r-----"));
    QVERIFY(host.CurrentDir().endsWith(QStringLiteral("/sub")));
    QVERIFY(host.Command(QStringLiteral("CDUP")));

    QVERIFY(host.Rename(QStringLiteral("sub/zeph.recipes"), QStringLiteral("sub/renamed")));
    QCOMPARE(host.ResultText(),
        QStringLiteral(
            "The name on the remote host was successfully changed from sub/zeph.recipes to sub/renamed."));
    QCOMPARE(host.ResultCaption(), QStringLiteral("File Renamed"));
    QVERIFY(QFile::exists(root + QStringLiteral("/sub/renamed")));
    QVERIFY(!host.Rename(QStringLiteral("sub/nothing"), QStringLiteral("sub/x")));
    QVERIFY(host.ResultText().startsWith(QStringLiteral("Unable to rename remote file sub/nothing.  ")));
    QCOMPARE(host.ResultCaption(), QStringLiteral("File Renamed Failed"));

    QVERIFY(host.Chmod(QStringLiteral("sub/renamed"), 604));
    QCOMPARE(host.ResultText(),
        QStringLiteral("The permissions for sub/renamed were successfully changed to rw----r--."));
    QCOMPARE(FileMode(root + QStringLiteral("/sub/renamed")), 0604);

    QVERIFY(host.DeleteFile(QStringLiteral("sub/renamed")));
    QCOMPARE(host.ResultText(),
        QStringLiteral("The file sub/renamed on the remote host was successfully deleted."));
    QCOMPARE(host.ResultCaption(), QStringLiteral("File Deleted"));
    QVERIFY(!QFile::exists(root + QStringLiteral("/sub/renamed")));
    QVERIFY(!host.DeleteFile(QStringLiteral("sub/renamed")));
    QVERIFY(
        host.ResultText().startsWith(QStringLiteral("Error trying to delete remote file sub/renamed.  ")));
    QCOMPARE(host.ResultCaption(), QStringLiteral("File Not Deleted"));

    QVERIFY(host.RemoveDir(QStringLiteral("sub")));
    QCOMPARE(
        host.ResultText(), QStringLiteral("The directory sub on the remote host was successfully deleted."));
    QCOMPARE(host.ResultCaption(), QStringLiteral("Directory Deleted"));
    QVERIFY(!QFileInfo::exists(root + QStringLiteral("/sub")));
    QVERIFY(!host.RemoveDir(QStringLiteral("sub")));
    QCOMPARE(host.ResultCaption(), QStringLiteral("Directory Not Deleted"));

    host.Disconnect();
    QVERIFY(!host.IsConnected());
    QCOMPARE(host.Log().last(), QByteArray("Disconnected from remote host"));
}

void TestFtpServers::pendingFilesInOneSession_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("passive");
    QTest::newRow("vsftpd passive") << int(TestFtpServer::Vsftpd) << true;
    QTest::newRow("pyftpdlib active") << int(TestFtpServer::Pyftpdlib) << false;
}

void TestFtpServers::pendingFilesInOneSession()
{
    QFETCH(int, kind);
    QFETCH(bool, passive);
    TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
    QString error;
    QVERIFY2(server.Start(&error), qUtf8Printable(error));
    configure(server, passive);
    SetSetting(Settings::ChmodOnUpload, 1);
    SetSetting(Settings::OnUploadChmodPerms, 600);
    QVERIFY(QDir().mkpath(server.Root() + QStringLiteral("/.procmail")));
    if (kind == TestFtpServer::Vsftpd) {
        QProcess::execute(
            QStringLiteral("/bin/chown"), { server.User(), server.Root() + QStringLiteral("/.procmail") });
    }

    QStringList locals;
    for (const char* name : { "zeph.recipes", "procmailrc", "forward" }) {
        const QString path = m_local.filePath(QLatin1String(name));
        QVERIFY(WriteTestFile(path, QByteArray("# ") + name + "\n"));
        locals << path;
    }
    QVERIFY(AddPending(locals[0], QStringLiteral(".procmail/zeph.recipes")));
    QVERIFY(AddPending(locals[1], QStringLiteral(".procmailrc")));
    QVERIFY(AddPending(locals[2], QStringLiteral(".forward")));
    QVERIFY(!AddPending(locals[2], QStringLiteral("elsewhere")));

    CRemoteHost host;
    CRemoteHost::Overrides overrides;
    overrides.password = server.Password();
    overrides.hasPassword = true;
    host.SetOverrides(overrides);
    QVERIFY(SendPendingNow(host));
    QVERIFY(!HasPending());

    const Prompt::Record shown = Prompt::History().last();
    QCOMPARE(shown.caption, QStringLiteral("Upload complete"));
    QCOMPARE(shown.text,
        QStringLiteral("These files were successfully uploaded:\n%1\n%2\n%3\n")
            .arg(locals[0], locals[1], locals[2]));
    QCOMPARE(ReadTestFile(server.Root() + QStringLiteral("/.procmail/zeph.recipes")),
        QByteArray("# zeph.recipes\n"));
    QCOMPARE(ReadTestFile(server.Root() + QStringLiteral("/.forward")), QByteArray("# forward\n"));
    QCOMPARE(FileMode(server.Root() + QStringLiteral("/.procmailrc")), 0600);

    // One login for all three files.
    int logins = 0;
    for (const QByteArray& line : host.Log())
        logins += line.startsWith("USER ") ? 1 : 0;
    QCOMPARE(logins, 1);
    QVERIFY(!host.IsConnected()); // "Pending files disconnect" is on by default

    // Every upload is recorded, and an unchanged file is not listed again.
    const CRemoteFilesFoldersMgr& record = CAppState::Instance().RemoteFiles();
    QCOMPARE(record.FileCount(), 3);
    CRemoteFileEntry entry;
    QVERIFY(record.GetFile(1, &entry));
    QCOMPARE(entry.remoteName, QStringLiteral(".procmailrc"));
    QCOMPARE(entry.localName, locals[1]);
    QCOMPARE(entry.permissions, 600);
    QCOMPARE(entry.dateUploaded.status, COleDateTime::Valid);
    QVERIFY(!AddPending(locals[1], QStringLiteral(".procmailrc")));
    CAppState::Instance().RemoteFiles().TouchLocal(locals[1]);
    QVERIFY(AddPending(locals[1], QStringLiteral(".procmailrc")));
}

void TestFtpServers::commandLine()
{
    TestFtpServer server(TestFtpServer::Pyftpdlib);
    QString error;
    QVERIFY2(server.Start(&error), qUtf8Printable(error));
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZEPH_TEST_PW"), server.Password());
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    auto cli = [&](const QStringList& args) {
        const QStringList common
            = { QStringLiteral("ftp"), QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                  QStringLiteral("--port"), QString::number(server.Port()), QStringLiteral("--user"),
                  server.User(), QStringLiteral("--password-env"), QStringLiteral("ZEPH_TEST_PW") };
        return RunZephCli(common + args, environment);
    };
    const QString local = m_local.filePath(QStringLiteral("cli.txt"));
    QVERIFY(WriteTestFile(local, "cli\r\nupload\n"));

    ZephCliRun run = cli({ QStringLiteral("mkdir"), QStringLiteral("d") });
    QCOMPARE(run.code, 0);
    run = cli({ QStringLiteral("--ascii"), QStringLiteral("put"), local, QStringLiteral("d/cli.txt") });
    QVERIFY2(run.code == 0, run.err.constData());
    QCOMPARE(ReadTestFile(server.Root() + QStringLiteral("/d/cli.txt")), QByteArray("cli\nupload\n"));
    run = cli({ QStringLiteral("--active"), QStringLiteral("ls"), QStringLiteral("d") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QByteArray("- rw-r--r-- 11 cli.txt\n"));
    run = cli({ QStringLiteral("chmod"), QStringLiteral("600"), QStringLiteral("d/cli.txt") });
    QCOMPARE(run.code, 0);
    QCOMPARE(FileMode(server.Root() + QStringLiteral("/d/cli.txt")), 0600);
    run = cli({ QStringLiteral("rename"), QStringLiteral("d/cli.txt"), QStringLiteral("d/moved.txt") });
    QCOMPARE(run.code, 0);
    const QString back = m_local.filePath(QStringLiteral("got.txt"));
    run = cli({ QStringLiteral("get"), QStringLiteral("d/moved.txt"), back });
    QCOMPARE(run.code, 0);
    QCOMPARE(ReadTestFile(back), QByteArray("cli\nupload\n"));
    run = cli({ QStringLiteral("get"), QStringLiteral("d/none.txt"), back });
    QCOMPARE(run.code, 1);
    QVERIFY(run.err.contains("550"));
    QCOMPARE(ReadTestFile(back), QByteArray("cli\nupload\n"));
    run = cli({ QStringLiteral("rm"), QStringLiteral("d/moved.txt") });
    QCOMPARE(run.code, 0);
    run = cli({ QStringLiteral("rmdir"), QStringLiteral("d") });
    QCOMPARE(run.code, 0);
    QVERIFY(!QFileInfo::exists(server.Root() + QStringLiteral("/d")));

    // Wrong usage and bad values: exit 2, nothing sent.
    QCOMPARE(cli({ QStringLiteral("chmod"), QStringLiteral("999"), QStringLiteral("x") }).code, 2);
    QCOMPARE(cli({ QStringLiteral("put"), local }).code, 2);
    QCOMPARE(cli({ QStringLiteral("frobnicate") }).code, 2);
    // A wrong password is a failure naming the host's reply.
    environment.insert(QStringLiteral("ZEPH_TEST_PW"), QStringLiteral("wrong"));
    run = cli({ QStringLiteral("ls") });
    QCOMPARE(run.code, 1);
    QVERIFY(run.err.contains("Login failed"));
}

QTEST_GUILESS_MAIN(TestFtpServers)
#include "tst_ftpservers.moc"
