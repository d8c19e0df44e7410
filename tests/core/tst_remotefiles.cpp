// The record of files and folders put on the host: keys, permissions and the unchanged check.
#include "core/net/LogDownload.h"
#include "core/settings/CAppState.h"
#include "core/settings/CArchive.h"
#include "core/settings/CRemoteFilesFoldersMgr.h"
#include "core/settings/Profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestRemoteFiles : public QObject
{
    Q_OBJECT

private slots:
    void init() { CAppState::Instance().Reset(); }
    void fileKeysIgnoreCase();
    void permissionsOnRepeatedUpload_data();
    void permissionsOnRepeatedUpload();
    void directoriesAreCaseSensitive();
    void unchangedFollowsTheLocalFile();
    void uploadPermissions();
    void roundTripKeepsOperationsResult();
    void uploadDateText_data();
    void uploadDateText();
    void logDateSuffix();
};

void TestRemoteFiles::fileKeysIgnoreCase()
{
    CRemoteFilesFoldersMgr record;
    const COleDateTime now = COleDateTime::FromDateTime(QDateTime::currentDateTime());
    record.AddUpload(QStringLiteral(".procmailrc"), QStringLiteral("/l/p"), now, now, 644);
    record.AddUpload(QStringLiteral("a/.procmailrc"), QStringLiteral("/l/p"), now, now, 644);
    QCOMPARE(record.FileCount(), 2);
    record.AddUpload(QStringLiteral("A/.PROCMAILRC"), QStringLiteral("/l/q"), now, now, 600);
    QCOMPARE(record.FileCount(), 2);
    CRemoteFileEntry entry;
    QVERIFY(record.GetFile(1, &entry));
    QCOMPARE(entry.remoteName, QStringLiteral("a/.procmailrc"));
    QCOMPARE(entry.localName, QStringLiteral("/l/q"));
    QCOMPARE(entry.permissions, 600);
    QVERIFY(!record.GetFile(2, &entry));
    QVERIFY(!record.GetFile(-1, &entry));

    QVERIFY(record.RenameFile(QStringLiteral(".PROCMAILRC"), QStringLiteral("renamed")));
    QVERIFY(!record.RenameFile(QStringLiteral("nothing"), QStringLiteral("x")));
    QStringList names;
    record.RemoteNames(&names);
    QCOMPARE(names, QStringList({ QStringLiteral("renamed"), QStringLiteral("a/.procmailrc") }));
    record.SetFilePermissions(QStringLiteral("RENAMED"), 640);
    QVERIFY(record.GetFile(0, &entry));
    QCOMPARE(entry.permissions, 640);
    record.ForgetFile(QStringLiteral("Renamed"));
    record.ForgetFile(QStringLiteral("nothing"));
    QCOMPARE(record.FileCount(), 1);
}

void TestRemoteFiles::permissionsOnRepeatedUpload_data()
{
    QTest::addColumn<int>("temporaryName");
    QTest::addColumn<int>("kept");
    QTest::newRow("direct upload keeps 644") << 0 << 644;
    QTest::newRow("temporary name gives the default") << 1 << -1;
}

void TestRemoteFiles::permissionsOnRepeatedUpload()
{
    QFETCH(int, temporaryName);
    QFETCH(int, kept);
    SetSetting(Settings::UploadWithTempFile, temporaryName);
    CRemoteFilesFoldersMgr record;
    const COleDateTime now = COleDateTime::FromDateTime(QDateTime::currentDateTime());
    record.AddUpload(QStringLiteral(".forward"), QStringLiteral("/l/f"), now, now, 644);
    record.AddUpload(QStringLiteral(".forward"), QStringLiteral("/l/f"), now, now, -1);
    CRemoteFileEntry entry;
    QVERIFY(record.GetFile(0, &entry));
    QCOMPARE(entry.permissions, kept);
}

void TestRemoteFiles::directoriesAreCaseSensitive()
{
    CRemoteFilesFoldersMgr record;
    record.AddDir(QStringLiteral("Mail"), 700);
    record.AddDir(QStringLiteral("mail"), -1);
    QCOMPARE(record.DirCount(), 2);
    record.AddDir(QStringLiteral("Mail"), -1); // -1 keeps the recorded mode
    CRemoteDirEntry entry;
    QVERIFY(record.GetDir(0, &entry));
    QCOMPARE(entry.permissions, 700);
    record.SetDirPermissions(QStringLiteral("MAIL"), 755); // another name: nothing changes
    record.SetDirPermissions(QStringLiteral("mail"), 755);
    QVERIFY(record.GetDir(1, &entry));
    QCOMPARE(entry.permissions, 755);
    record.ForgetDir(QStringLiteral("Mail"));
    QCOMPARE(record.DirCount(), 1);
    QVERIFY(!record.GetDir(1, &entry));
}

void TestRemoteFiles::unchangedFollowsTheLocalFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("one");
    file.close();
    CRemoteFilesFoldersMgr record;
    record.AddUpload(
        QStringLiteral("r"), path, COleDateTime(), CRemoteFilesFoldersMgr::LocalFileTime(path), -1);
    QVERIFY(record.IsUnchanged(QStringLiteral("R"), path));
    QVERIFY(!record.IsUnchanged(QStringLiteral("other"), path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("two");
    file.flush();
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(!record.IsUnchanged(QStringLiteral("r"), path));
    QFile::remove(path);
    QVERIFY(!record.IsUnchanged(QStringLiteral("r"), path));
}

void TestRemoteFiles::uploadPermissions()
{
    QCOMPARE(CRemoteFilesFoldersMgr::UploadPermissions(), -1);
    SetSetting(Settings::ChmodOnUpload, 1);
    QCOMPARE(CRemoteFilesFoldersMgr::UploadPermissions(), 600);
    SetSetting(Settings::OnUploadChmodPerms, 644);
    QCOMPARE(CRemoteFilesFoldersMgr::UploadPermissions(), 644);
}

void TestRemoteFiles::roundTripKeepsOperationsResult()
{
    CRemoteFilesFoldersMgr record;
    record.identityName = QStringLiteral("Work");
    const COleDateTime now = COleDateTime::FromDateTime(QDateTime(QDate(2007, 12, 1), QTime(14, 5)));
    record.AddUpload(
        QStringLiteral(".procmail/zeph.recipes"), QStringLiteral("/d/zeph.recipes"), now, now, 600);
    record.AddDir(QStringLiteral("$HOME"), 711);
    CArchive out;
    record.Store(out);
    CArchive in(out.Data());
    CRemoteFilesFoldersMgr loaded;
    QVERIFY(loaded.Load(in));
    QCOMPARE(loaded, record);
}

void TestRemoteFiles::uploadDateText_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::newRow("month first") << 0 << QStringLiteral("/") << QStringLiteral("12/01/07 14:05");
    QTest::newRow("day first, points") << 1 << QStringLiteral(".") << QStringLiteral("01.12.07 14:05");
    QTest::newRow("year first, dashes") << 2 << QStringLiteral("-") << QStringLiteral("07-12-01 14:05");
    QTest::newRow("unknown format counts as 0")
        << 7 << QStringLiteral("/") << QStringLiteral("12/01/07 14:05");
    QTest::newRow("only the first character")
        << 0 << QStringLiteral("-x") << QStringLiteral("12-01-07 14:05");
}

void TestRemoteFiles::uploadDateText()
{
    QFETCH(int, format);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    SetSetting(Settings::LogDateFormat, format);
    SetSetting(Settings::LogDateSeparator, separator);
    const COleDateTime time = COleDateTime::FromDateTime(QDateTime(QDate(2007, 12, 1), QTime(14, 5)));
    QCOMPARE(CRemoteFilesFoldersMgr::UploadDateText(time), text);
    QCOMPARE(CRemoteFilesFoldersMgr::UploadDateText(COleDateTime()), QString());
}

void TestRemoteFiles::logDateSuffix()
{
    QCOMPARE(LogDownload::DateSuffix(QDateTime(QDate(2007, 6, 25), QTime(14, 7, 9))),
        QStringLiteral(".2007.06.25.140709"));
    SetSetting(Settings::ZephDir, QStringLiteral(".procmail"));
    QCOMPARE(LogDownload::RemoteOldLogName(), QStringLiteral(".procmail/zeph.log.old"));
}

QTEST_GUILESS_MAIN(TestRemoteFiles)
#include "tst_remotefiles.moc"
