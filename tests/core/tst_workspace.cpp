#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/settings/AppDataFolder.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

class TestWorkspace : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void documentFolderDefault();
    void derivedPaths();
    void remoteDirectories_data();
    void remoteDirectories();
    void createPath_data();
    void createPath();
    void recipeFileCreation();
    void temporaryFiles();
    void folderQueries();
    void identityNames_data();
    void identityNames();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestWorkspace::init()
{
    m_env = std::make_unique<TestEnvironment>();
    StartFreshIdentity();
}

void TestWorkspace::cleanup()
{
    m_env.reset();
}

void TestWorkspace::documentFolderDefault()
{
    const QString expected = m_env->Home() + QStringLiteral("/Documents/ZEPH/Default/");
    QCOMPARE(Workspace::GetDocumentFolder(), expected);
    QCOMPARE(GetSettingString(Settings::DocumentDirectory), expected);

    QVERIFY(Workspace::SetDocumentFolder(m_env->Home() + QStringLiteral("/elsewhere")));
    QCOMPARE(Workspace::GetDocumentFolder(), m_env->Home() + QStringLiteral("/elsewhere/"));

    CAppState::Instance().Reset();
    CAppState::Instance().SetIdentity(QStringLiteral("Work"));
    QCOMPARE(Workspace::GetDocumentFolder(), m_env->Home() + QStringLiteral("/Documents/ZEPH/Work/"));
    QCOMPARE(GetAppDataFolder(), m_env->Home() + QStringLiteral("/.local/share/ZEPH/"));
}

void TestWorkspace::derivedPaths()
{
    const QString folder = Workspace::GetDocumentFolder();
    QCOMPARE(Workspace::GetDataFolder(), folder + QStringLiteral("Data/"));
    QCOMPARE(Workspace::GetProcmailrcPath(), folder + QStringLiteral(".procmailrc"));
    QCOMPARE(Workspace::GetForwardPath(), folder + QStringLiteral(".forward"));
    QCOMPARE(Workspace::GetQmailPath(), folder + QStringLiteral(".qmail"));
}

void TestWorkspace::remoteDirectories_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("zephDir");
    QTest::newRow("default") << QString() << QStringLiteral(".procmail");
    QTest::newRow("home prefix removed") << QStringLiteral("$HOME/filters") << QStringLiteral("filters");
    QTest::newRow("only a leading prefix") << QStringLiteral("x/$HOME/y") << QStringLiteral("x/$HOME/y");
}

void TestWorkspace::remoteDirectories()
{
    QFETCH(QString, stored);
    QFETCH(QString, zephDir);
    if (!stored.isNull()) {
        SetSetting(Settings::ZephDir, stored);
        SetSetting(Settings::MailDir, stored);
    }
    QCOMPARE(Workspace::GetRemoteZephDir(), zephDir);
    QCOMPARE(Workspace::GetRemoteMailDir(), stored.isNull() ? QStringLiteral("mail") : zephDir);
}

void TestWorkspace::createPath_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("created");
    QTest::newRow("final slash: both")
        << QStringLiteral("a/b/") << true << QStringList { QStringLiteral("a"), QStringLiteral("a/b") };
    QTest::newRow("no final slash: parent only")
        << QStringLiteral("a/b") << true << QStringList { QStringLiteral("a") };
    QTest::newRow("existing parts skipped")
        << QStringLiteral("exists/c/") << true << QStringList { QStringLiteral("exists/c") };
    QTest::newRow("blocked by a file") << QStringLiteral("file/c/") << false << QStringList {};
}

void TestWorkspace::createPath()
{
    QFETCH(QString, relative);
    QFETCH(bool, result);
    QFETCH(QStringList, created);
    const QString base = m_env->Home() + QStringLiteral("/cp/");
    QDir().mkpath(base + QStringLiteral("exists"));
    QFile file(base + QStringLiteral("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(Workspace::CreatePath(base + relative), result);
    for (const QString& folder : created)
        QVERIFY2(QFileInfo(base + folder).isDir(), qPrintable(folder));
    if (relative == QLatin1String("a/b"))
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("a/b")));
    QVERIFY(!Workspace::CreatePath(QStringLiteral("/a")));
    QVERIFY(!Workspace::CreatePath(QStringLiteral("ab")));
}

void TestWorkspace::recipeFileCreation()
{
    const QString path = Workspace::GetRecipeFilePath();
    QCOMPARE(path, Workspace::GetDocumentFolder() + QStringLiteral("zeph.recipes"));
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(Prompt::History().isEmpty());

    // A path too long to create yields the empty path and the path-too-long message.
    Workspace::SetDocumentFolder(m_env->Home() + QLatin1Char('/') + QString(270, QLatin1Char('d')));
    QCOMPARE(Workspace::GetRecipeFilePath(), QString());
    QCOMPARE(Prompt::History().size(), 1);
    QCOMPARE(Prompt::History()[0].text,
        QStringLiteral("Error trying to create a file for your recipes.  The path appears to be too long."));
    QCOMPARE(Prompt::History()[0].icon, Prompt::Stop);

    // A short path that cannot be created gives the other message.
    QFile blocker(m_env->Home() + QStringLiteral("/blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Workspace::SetDocumentFolder(m_env->Home() + QStringLiteral("/blocker/docs"));
    QCOMPARE(Workspace::GetRecipeFilePath(), QString());
    QCOMPARE(Prompt::History().last().text,
        QStringLiteral("Unexpected error while trying to create recipes file"));
}

void TestWorkspace::temporaryFiles()
{
    const QString first = Workspace::MakeTempFile();
    const QString second = Workspace::MakeTempFile();
    QVERIFY(QFileInfo(first).isFile());
    QVERIFY(first != second);
    QVERIFY(QFileInfo(first).fileName().startsWith(QLatin1String("zeph")));
    Workspace::DeleteTempFiles();
    QVERIFY(!QFileInfo::exists(first));
    QVERIFY(!QFileInfo::exists(second));
}

void TestWorkspace::folderQueries()
{
    const QString folder = m_env->Home() + QStringLiteral("/q/");
    QVERIFY(!Workspace::FolderExists(folder));
    QVERIFY(Workspace::CreateFolder(folder));
    QVERIFY(Workspace::FolderExists(folder));
    QVERIFY(!Workspace::FileExists(folder));
    QVERIFY(Workspace::IsFolderEmpty(folder));
    QVERIFY(!Workspace::IsFolderEmpty(QString()));
    QFile file(folder + QStringLiteral(".hidden"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(Workspace::FileExists(folder + QStringLiteral(".hidden")));
    QVERIFY(!Workspace::IsFolderEmpty(folder));

    QVERIFY(Workspace::DeleteFolder(folder));
    QVERIFY(!Workspace::FolderExists(folder));
    // Into the trash, not the current folder.
    QVERIFY(QFileInfo(m_env->Home() + QStringLiteral("/.local/share/Trash/files/q")).isDir());
}

void TestWorkspace::identityNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString chars
        = QStringLiteral("You cannot use any of the following characters in the identity name:\r\n\r\n"
                         "\\/:*?\"<>|\r\n\r\nPlease modify the command line name and restart ZEPH.");
    const QString folder = QStringLiteral("The identity name \"%1\" cannot be used as a folder name.\r\n\r\n"
                                          "Please modify the command line name and restart ZEPH.");
    QTest::newRow("plain") << QStringLiteral("Work") << QString();
    QTest::newRow("with blank inside") << QStringLiteral("My Work") << QString();
    QTest::newRow("slash") << QStringLiteral("a/b") << chars;
    QTest::newRow("question mark") << QStringLiteral("who?") << chars;
    QTest::newRow("dot dot") << QStringLiteral("..") << folder.arg(QStringLiteral(".."));
    QTest::newRow("trailing blank") << QStringLiteral("Work ") << folder.arg(QStringLiteral("Work "));
    QTest::newRow("device name") << QStringLiteral("con.txt") << folder.arg(QStringLiteral("con.txt"));
    QTest::newRow("COM1") << QStringLiteral("COM1") << folder.arg(QStringLiteral("COM1"));
    QTest::newRow("COM10 is fine") << QStringLiteral("COM10") << QString();
    QTest::newRow("control character") << QStringLiteral("a\tb") << folder.arg(QStringLiteral("a\tb"));
}

void TestWorkspace::identityNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QCOMPARE(Workspace::CheckIdentityName(name, true), message);
}

QTEST_GUILESS_MAIN(TestWorkspace)
#include "tst_workspace.moc"
