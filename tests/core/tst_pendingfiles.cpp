// Pending files and the custom menus: the list rules, the whitespace check, and sending against
// the fault server with one failing and one cancelled upload.
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/CustomMenus.h"
#include "core/net/PendingFiles.h"
#include "core/settings/CAppState.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString makeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content = "text\n")
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

QStringList storedPending()
{
    QStringList list;
    CurrentUserData().GetStringArray(QStringLiteral("Pending Files"), &list);
    return list;
}

} // namespace

class TestPendingFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void addAndRemove();
    void unchangedFileIsRefused();
    void customMenus();
    void backslashSpace_data();
    void backslashSpace();
    void whitespaceWarningStopsBeforeConnecting();
    void orphanIsDropped();
    void failedUploadStaysPending();
    void cancelKeepsTheRestPending();

private:
    void configure(const TestFtpServer& server, CRemoteHost& host);
    QTemporaryDir m_dir;
};

void TestPendingFiles::init()
{
    CAppState::Instance().Reset();
    Prompt::ClearHistory();
    QVERIFY(m_dir.isValid());
}

void TestPendingFiles::configure(const TestFtpServer& server, CRemoteHost& host)
{
    UseServerSettings(server, true);
    CRemoteHost::Overrides overrides;
    overrides.password = server.Password();
    overrides.hasPassword = true;
    host.SetOverrides(overrides);
}

void TestPendingFiles::addAndRemove()
{
    QVERIFY(!HasPending());
    const QString a = makeFile(m_dir, QStringLiteral("a.txt"));
    QVERIFY(AddPending(a, QStringLiteral(".procmailrc")));
    QVERIFY(HasPending());
    // One pair per local file, whatever the remote name or the letter case.
    QVERIFY(!AddPending(a, QStringLiteral("other")));
    QVERIFY(!AddPending(a.toUpper(), QStringLiteral(".procmailrc")));
    QVERIFY(AddPending(makeFile(m_dir, QStringLiteral("b.txt")), QStringLiteral(".procmail/b")));
    QCOMPARE(storedPending().size(), 4);

    RemovePending(a, QStringLiteral(".PROCMAILRC")); // the remote name must match exactly
    QCOMPARE(storedPending().size(), 4);
    RemovePending(a.toUpper(), QStringLiteral(".procmailrc"));
    QCOMPARE(storedPending(),
        QStringList({ m_dir.filePath(QStringLiteral("b.txt")), QStringLiteral(".procmail/b") }));
    QCOMPARE(PendingPairs().size(), 1);
}

void TestPendingFiles::unchangedFileIsRefused()
{
    const QString a = makeFile(m_dir, QStringLiteral("up.txt"));
    CRemoteFilesFoldersMgr& record = CAppState::Instance().RemoteFiles();
    record.AddUpload(QStringLiteral(".forward"), a, COleDateTime::FromDateTime(QDateTime::currentDateTime()),
        CRemoteFilesFoldersMgr::LocalFileTime(a), -1);
    QVERIFY(!AddPending(a, QStringLiteral(".forward")));
    // Another remote name for the same file is a different upload.
    QVERIFY(AddPending(a, QStringLiteral(".qmail")));
    RemovePending(a, QStringLiteral(".qmail"));
    record.TouchLocal(a);
    QVERIFY(AddPending(a, QStringLiteral(".forward")));
}

void TestPendingFiles::customMenus()
{
    QList<CMenuEntry> entries;
    for (int i = 0; i < 5; ++i)
        entries.append({ QStringLiteral("Menu %1").arg(i), QStringLiteral("remote%1").arg(i),
            QStringLiteral("/local/%1").arg(i) });
    QVERIFY(CustomMenus::SaveMenuEntries(true, entries));
    QCOMPARE(CustomMenus::LoadMenuEntries(true), entries);
    QCOMPARE(GetProfileString(QStringLiteral("Menus\\Upload"), QStringLiteral("0MenuName"), QString()),
        QStringLiteral("Menu 0"));
    QCOMPARE(CustomMenus::LoadMenuEntries(false), QList<CMenuEntry>());

    QVERIFY(CustomMenus::SaveMenuEntries(true, entries.mid(0, 3)));
    QCOMPARE(GetProfileInt(QStringLiteral("Menus\\Upload"), QStringLiteral("Entries"), 0), 3);
    for (const char* key :
        { "3MenuName", "3RemoteFile", "3LocalFile", "4MenuName", "4RemoteFile", "4LocalFile" })
        QCOMPARE(
            GetProfileString(QStringLiteral("Menus\\Upload"), QLatin1String(key), QStringLiteral("gone")),
            QStringLiteral("gone"));

    // Loading stops at the first incomplete entry and never reads more than fifty.
    WriteProfileString(QStringLiteral("Menus\\Upload"), QStringLiteral("1RemoteFile"), QString());
    QCOMPARE(CustomMenus::LoadMenuEntries(true).size(), 1);
    QList<CMenuEntry> many;
    for (int i = 0; i < 60; ++i)
        many.append({ QStringLiteral("m"), QStringLiteral("r"), QStringLiteral("l") });
    QVERIFY(CustomMenus::SaveMenuEntries(false, many));
    WriteProfileInt(QStringLiteral("Menus\\Download"), QStringLiteral("Entries"), 60);
    QCOMPARE(CustomMenus::LoadMenuEntries(false).size(), CustomMenus::MaxEntries);
}

void TestPendingFiles::backslashSpace_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<long>("line");
    QTest::newRow("tab after backslash") << QByteArray(":0\n* ^Subject:.*a\\\t\nfolder\n") << 2L;
    QTest::newRow("blank after backslash") << QByteArray("x\\ \n") << 1L;
    QTest::newRow("comment") << QByteArray("# note \\\t\n") << 0L;
    QTest::newRow("plain continuation") << QByteArray("a \\\nb\n") << 0L;
    QTest::newRow("CRLF file") << QByteArray("ok\r\nx\\ \r\n") << 2L;
    QTest::newRow("trailing blank only") << QByteArray("word \n") << 0L;
}

void TestPendingFiles::backslashSpace()
{
    QFETCH(QByteArray, content);
    QFETCH(long, line);
    long found = -1;
    QString error;
    QVERIFY(FindBackslashSpaceLine(makeFile(m_dir, QStringLiteral("ws.txt"), content), &found, &error));
    QCOMPARE(found, line);
}

void TestPendingFiles::whitespaceWarningStopsBeforeConnecting()
{
    SetSetting(Settings::BackslashSpaceWarning, 1);
    SetSetting(Settings::Host, QStringLiteral("127.0.0.1"));
    SetSetting(Settings::Port, TestFtpServer::FreePort()); // nobody listens: a connect would fail
    const QString recipes
        = makeFile(m_dir, QStringLiteral("zeph.recipes"), ":0\n* ^Subject:.*a\\\t\nfolder\n");
    QVERIFY(AddPending(recipes, QStringLiteral(".procmail/zeph.recipes")));
    CRemoteHost host;
    QVERIFY(!SendPendingNow(host));
    QCOMPARE(Prompt::History().size(), 1);
    const Prompt::Record shown = Prompt::History().first();
    QCOMPARE(shown.caption, QStringLiteral("Whitespace at end of line!"));
    QVERIFY(shown.text.startsWith(
        QStringLiteral("Line 2 in %1 ends with a '\\' character followed by").arg(recipes)));
    QVERIFY(HasPending());
    QVERIFY(host.Log().isEmpty());
}

void TestPendingFiles::orphanIsDropped()
{
    const QString a = makeFile(m_dir, QStringLiteral("orphan.txt"));
    CurrentUserData().SetStringArray(QStringLiteral("Pending Files"), { a });
    CRemoteHost host;
    QVERIFY(!SendPendingNow(host));
    QCOMPARE(Prompt::History().last().text,
        QStringLiteral("The pending files list held the local file %1 without a remote name.  It was removed "
                       "from the list and not uploaded.")
            .arg(a));
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("Pending Files"));
    QVERIFY(!HasPending());
}

void TestPendingFiles::failedUploadStaysPending()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("fail2nd"));
    QString error;
    QVERIFY2(server.Start(&error), qUtf8Printable(error));
    CRemoteHost host;
    configure(server, host);
    const QString one = makeFile(m_dir, QStringLiteral("one"));
    const QString two = makeFile(m_dir, QStringLiteral("two"));
    const QString three = makeFile(m_dir, QStringLiteral("three"));
    QVERIFY(AddPending(one, QStringLiteral("r1")));
    QVERIFY(AddPending(two, QStringLiteral("r2")));
    QVERIFY(AddPending(three, QStringLiteral("r3")));
    QVERIFY(!SendPendingNow(host));
    const QList<Prompt::Record> shown = Prompt::History();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].caption, QStringLiteral("Error while uploading!"));
    QCOMPARE(shown[0].text,
        QStringLiteral("Error while trying to uploaded local file %1.  The last remote host response "
                       "was:\n\n452 Transfer aborted.  No space left on device")
            .arg(two));
    QCOMPARE(
        shown[1].text, QStringLiteral("These files were successfully uploaded:\n%1\n%2\n").arg(one, three));
    QCOMPARE(shown[1].caption, QStringLiteral("Upload complete"));
    QCOMPARE(storedPending(), QStringList({ two, QStringLiteral("r2") }));
    QCOMPARE(CAppState::Instance().RemoteFiles().FileCount(), 2);
}

void TestPendingFiles::cancelKeepsTheRestPending()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("stall2nd"));
    QString error;
    QVERIFY2(server.Start(&error), qUtf8Printable(error));
    CRemoteHost host;
    configure(server, host);
    host.SetTimeout(60);
    const QString one = makeFile(m_dir, QStringLiteral("c1"));
    const QString two = makeFile(m_dir, QStringLiteral("c2"));
    const QString three = makeFile(m_dir, QStringLiteral("c3"));
    QVERIFY(AddPending(one, QStringLiteral("r1")));
    QVERIFY(AddPending(two, QStringLiteral("r2")));
    QVERIFY(AddPending(three, QStringLiteral("r3")));
    // The second upload never gets its answer; the cancel comes while it waits.
    QTimer::singleShot(1500, &host, [&host] { host.RequestCancel(); });
    QVERIFY(!SendPendingNow(host));
    const QList<Prompt::Record> shown = Prompt::History();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].text, QStringLiteral("Upload canceled."));
    QCOMPARE(shown[0].caption, QStringLiteral("Operation canceled"));
    QCOMPARE(shown[1].text, QStringLiteral("The file %1 was successfully uploaded.").arg(one));
    QCOMPARE(storedPending(), QStringList({ two, QStringLiteral("r2"), three, QStringLiteral("r3") }));
}

QTEST_GUILESS_MAIN(TestPendingFiles)
#include "tst_pendingfiles.moc"
