// Identities as a whole: launchers read by a real desktop-entry launcher (gio) start the program
// with exactly the identity's name; where launchers go and which ones deletion touches; what
// counts as a file still on the host; deleting with the remote-files warning refused; the
// uninstall clean-up of two identities.
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"
#include "core/workspace/Identities.h"
#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The names of the files now in the trash.
QStringList trashed()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Trash/files"))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Gives `identity` a record with a Document Folder holding `files`, and a registry file.
QString makeIdentity(const QString& identity, const QStringList& files, const QStringList& remoteNames = {})
{
    CAppState& state = CAppState::Instance();
    state.Reset();
    state.SetIdentity(identity);
    state.LoadIdentityData();
    const QString folder = Workspace::GetDocumentFolder();
    for (const QString& file : files)
        writeFile(folder + file, file.toUtf8() + '\n');
    for (const QString& remote : remoteNames)
        state.RemoteFiles().AddUpload(remote, folder + remote, COleDateTime(), COleDateTime(), 644);
    CRegistry::SetString(QStringLiteral("Settings"), QStringLiteral("Key"), identity);
    QString error;
    if (!state.SaveIdentityData(&error))
        qWarning("cannot save %s: %s", qUtf8Printable(identity), qUtf8Printable(error));
    state.Reset();
    return folder;
}

} // namespace

class TestIdentities : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString home() const { return m_env->Home(); }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
        CRegistry::SetFilePathOverride(QString());
        QDir().mkpath(home() + QStringLiteral("/Desktop"));
    }

    void cleanup()
    {
        Identities::SetLauncherProgram(QString());
        m_env.reset();
    }

    // The launcher's command line as a desktop reads it: the program gets "-" and the name as
    // one parameter, whatever the name and the program's path hold.
    void launcherStartsTheIdentity_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("Work");
        QTest::newRow("blanks") << QStringLiteral("My  Mail");
        QTest::newRow("shell and field-code characters") << QStringLiteral("Cost $5 `echo x` 100% %f ;&");
        QTest::newRow("single quote") << QStringLiteral("it's");
        QTest::newRow("non-ASCII") << QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c");
    }

    void launcherStartsTheIdentity()
    {
        QFETCH(QString, name);
        if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
            QFAIL("gio is missing: install the package libglib2.0-bin");
        // A stand-in program in a folder whose name needs quoting too.
        const QString folder = home() + QStringLiteral("/bin $HOME `x`");
        const QString program = folder + QStringLiteral("/record args");
        const QString output = home() + QStringLiteral("/args.txt");
        QVERIFY(writeFile(program,
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$ARGS_OUT.tmp\" && mv "
            "\"$ARGS_OUT.tmp\" "
            "\"$ARGS_OUT\"\n"));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner));
        const QString launcher = home() + QStringLiteral("/test.desktop");
        QVERIFY(writeFile(launcher, Identities::LauncherText(program, name)));

        QProcess gio;
        QProcessEnvironment environment = m_env->ProcessEnvironment();
        environment.insert(QStringLiteral("ARGS_OUT"), output);
        gio.setProcessEnvironment(environment);
        gio.start(QStringLiteral("gio"), { QStringLiteral("launch"), launcher });
        QVERIFY(gio.waitForFinished(20000));
        QVERIFY2(gio.exitCode() == 0, gio.readAllStandardError().constData());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(output), 10000);
        QCOMPARE(QString::fromUtf8(readFile(output)), QLatin1Char('-') + name + QLatin1Char('\n'));
    }

    // The desktop folder comes from the user's XDG settings, else ~/Desktop; the menu folder is
    // the user's own applications folder. Deleting touches "ZEPH <name>" only, "Default" too.
    void launcherPlaces()
    {
        Identities::SetLauncherProgram(QStringLiteral("/opt/zeph/zeph"));
        QVERIFY(Identities::CreateShortcut(Identities::Place::Desktop, QStringLiteral("Work")));
        QVERIFY(Identities::CreateShortcut(Identities::Place::Menu, QStringLiteral("Work")));
        const QString desktop = home() + QStringLiteral("/Desktop/ZEPH Work.desktop");
        const QString menu = home() + QStringLiteral("/.local/share/applications/ZEPH Work.desktop");
        QCOMPARE(readFile(desktop),
            QByteArray("[Desktop Entry]\nType=Application\nVersion=1.0\nName=ZEPH Work\nComment=ZEPH Work\n"
                       "Exec=\"/opt/zeph/zeph\" \"-Work\"\nPath=/opt/zeph\nTerminal=false\n"));
        QCOMPARE(readFile(menu), readFile(desktop));
        QVERIFY(QFileInfo(desktop).isExecutable());

        // A desktop folder named in the user's settings.
        QVERIFY(writeFile(
            home() + QStringLiteral("/.config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"));
        QVERIFY(QDir().mkpath(home() + QStringLiteral("/Schreibtisch")));
        QVERIFY(Identities::CreateShortcut(Identities::Place::Desktop, QStringLiteral("Home")));
        QVERIFY(QFile::exists(home() + QStringLiteral("/Schreibtisch/ZEPH Home.desktop")));
        // No desktop folder at all: no launcher, and the caller is told.
        QVERIFY(QDir(home() + QStringLiteral("/Schreibtisch")).removeRecursively());
        QVERIFY(!Identities::CreateShortcut(Identities::Place::Desktop, QStringLiteral("Home")));
        QFile::remove(home() + QStringLiteral("/.config/user-dirs.dirs"));

        // "Default" has launchers named like every other identity; the plain "ZEPH" one stays.
        QVERIFY(Identities::CreateShortcut(Identities::Place::Desktop, QStringLiteral("Default")));
        QVERIFY(writeFile(home() + QStringLiteral("/Desktop/ZEPH.desktop"), "installed\n"));
        QVERIFY(Identities::DeleteShortcut(Identities::Place::Desktop, QStringLiteral("Default")));
        QVERIFY(!QFile::exists(home() + QStringLiteral("/Desktop/ZEPH Default.desktop")));
        QVERIFY(QFile::exists(home() + QStringLiteral("/Desktop/ZEPH.desktop")));
        QVERIFY(Identities::DeleteShortcut(Identities::Place::Menu, QStringLiteral("Work")));
        QVERIFY(!QFile::exists(menu));
        QVERIFY(Identities::DeleteShortcut(Identities::Place::Menu, QStringLiteral("Never made")));
        QCOMPARE(trashed(),
            QStringList({ QStringLiteral("ZEPH Default.desktop"), QStringLiteral("ZEPH Work.desktop") }));

        // A name from a hand-edited data file never reaches a file outside the launcher folder.
        QVERIFY(QDir().mkpath(home() + QStringLiteral("/Desktop/ZEPH x")));
        QVERIFY(writeFile(home() + QStringLiteral("/victim.desktop"), "keep\n"));
        QVERIFY(!Identities::DeleteShortcut(Identities::Place::Desktop, QStringLiteral("x/../../victim")));
        QVERIFY(!Identities::CreateShortcut(Identities::Place::Desktop, QStringLiteral("x/../../victim")));
        QCOMPARE(readFile(home() + QStringLiteral("/victim.desktop")), QByteArray("keep\n"));
    }

    // The procmail log and its old copy do not count: procmail writes them again.
    void countRemoteFiles_data()
    {
        QTest::addColumn<QStringList>("remote");
        QTest::addColumn<int>("count");
        QTest::newRow("nothing") << QStringList {} << 0;
        QTest::newRow("only the logs")
            << QStringList { QStringLiteral(".procmail/zeph.log"), QStringLiteral(".procmail/zeph.log.old") }
            << 0;
        QTest::newRow("logs without a folder")
            << QStringList { QStringLiteral("zeph.log"), QStringLiteral("zeph.log.old") } << 0;
        QTest::newRow("other letter case counts") << QStringList { QStringLiteral(".procmail/ZEPH.LOG"),
            QStringLiteral(".procmail/zeph.log") } << 1;
        QTest::newRow("recipes and rc") << QStringList { QStringLiteral(".procmail/zeph.recipes"),
            QStringLiteral(".procmailrc"), QStringLiteral(".procmail/zeph.log") }
                                        << 2;
    }

    void countRemoteFiles()
    {
        QFETCH(QStringList, remote);
        QFETCH(int, count);
        makeIdentity(QStringLiteral("Work"), {}, remote);
        CAppState::Instance().SetIdentity(QStringLiteral("Default"));
        QCOMPARE(Identities::CountRemoteFiles(QStringLiteral("Work")), count);
    }

    // No to the remote-files warning deletes nothing at all.
    void remoteFilesWarningStops()
    {
        Identities::SetLauncherProgram(QStringLiteral("/opt/zeph/zeph"));
        const QString folder = makeIdentity(QStringLiteral("Work"),
            { QStringLiteral(".procmailrc"), QStringLiteral("Data/a.zeph") },
            { QStringLiteral(".procmail/zeph.recipes"), QStringLiteral(".procmailrc") });
        QVERIFY(Identities::CreateShortcut(Identities::Place::Desktop, QStringLiteral("Work")));
        CAppState::Instance().SetIdentity(QStringLiteral("Default"));
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::No);
        QVERIFY(!Identities::DeleteIdentity(QStringLiteral("work")));
        const QList<Prompt::Record> asked = Prompt::History();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text,
            QStringLiteral(
                "The identity \"work\" has 2 file(s) listed as still on the remote host.  Before deleting "
                "this identity you should delete any files on the remote host that were uploaded by ZEPH.  "
                "To do so, start ZEPH using the identity \"work\" and from the 'Tools' menu select "
                "'Disable Procmail' and on the resulting dialog, select 'Delete all remote ZEPH procmail "
                "files'.\r\n\r\nTo disregard this warning and delete the identity anyway, hit 'Yes'.  To "
                "stop the deletion click 'No'.\r\n\r\nOkay to continue with deletion?"));
        QCOMPARE(asked[0].defaultButton, Prompt::No);
        QCOMPARE(asked[1].text, QStringLiteral("The identity has not been deleted."));
        QCOMPARE(CAppState::Instance().GetIdentityNames(), QStringList({ QStringLiteral("Work") }));
        QVERIFY(QFile::exists(folder + QStringLiteral(".procmailrc")));
        QVERIFY(QFile::exists(folder + QStringLiteral("Data/a.zeph")));
        QVERIFY(QFile::exists(home() + QStringLiteral("/Desktop/ZEPH Work.desktop")));
        QVERIFY(QFile::exists(CRegistry::FilePathFor(QStringLiteral("Work"))));
        QVERIFY(trashed().isEmpty());
    }

    // The uninstall run with two identities: one question for the recipe files of both, one
    // for the local files, and then nothing of either is left but the trash.
    void uninstallCleansUp()
    {
        Identities::SetLauncherProgram(QStringLiteral("/opt/zeph/zeph"));
        const QString work = makeIdentity(QStringLiteral("Work"),
            { QStringLiteral(".procmailrc"), QStringLiteral("zeph.recipes"), QStringLiteral("Data/Spam.zeph"),
                QStringLiteral("Data/Lists.zeph") },
            { QStringLiteral(".procmail/zeph.log") });
        const QString home = makeIdentity(QStringLiteral("Default"),
            { QStringLiteral("zeph.log"), QStringLiteral("man.procmail.txt"),
                QStringLiteral("Data/Old.zeph") });
        for (const QString& name : { QStringLiteral("Work"), QStringLiteral("Default") }) {
            QVERIFY(Identities::CreateShortcut(Identities::Place::Desktop, name));
            QVERIFY(Identities::CreateShortcut(Identities::Place::Menu, name));
        }
        QVERIFY(writeFile(this->home() + QStringLiteral("/Desktop/notes.txt"), "the user's own\n"));
        QVERIFY(writeFile(this->home() + QStringLiteral("/Desktop/ZEPH.desktop"), "installed\n"));
        const QString dataFile = CAppState::Instance().DataFilePath();
        QVERIFY(QFile::exists(dataFile));

        CAppState::Instance().SetIdentity(CAppState::UninstallIdentity);
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        Prompt::QueueAnswer(Prompt::Yes);
        Identities::UninstallCleanup();

        const QList<Prompt::Record> asked = Prompt::History();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text,
            QStringLiteral(
                "Each time you used the ZEPH Recipe Wizard to create a new recipe, a corresponding file "
                "using that recipe name (with a '.zeph' extension) was created in the 'Data' "
                "subdirectory.\r\n\r\nThere are 3 *.zeph files, would you like to delete them now?"));
        QCOMPARE(asked[1].text,
            QStringLiteral(
                "ZEPH may create the following files:\r\n\r\n.procmailrc\r\n.forward\r\n.qmail\r\nvarious "
                "manual pages (e.g. man.procmail.txt)\r\nzeph.log\r\nzeph.recipes\r\n\r\nWould you like to "
                "delete all these files?"));
        for (const QString& folder : { work, home })
            QVERIFY2(!QFileInfo::exists(folder), qUtf8Printable(folder));
        QVERIFY(!QFileInfo::exists(this->home() + QStringLiteral("/Documents/ZEPH")));
        QVERIFY(!QFile::exists(dataFile));
        QVERIFY(!QFileInfo::exists(this->home() + QStringLiteral("/.local/share/ZEPH")));
        QCOMPARE(QDir(this->home() + QStringLiteral("/Desktop")).entryList(QDir::Files),
            QStringList({ QStringLiteral("notes.txt") }));
        QVERIFY(QDir(this->home() + QStringLiteral("/.local/share/applications")).isEmpty());
        const QStringList inTrash = trashed();
        for (const QString& expected :
            { QStringLiteral("zeph.dat"), QStringLiteral("Spam.zeph"), QStringLiteral("Old.zeph"),
                QStringLiteral(".procmailrc"), QStringLiteral("man.procmail.txt") })
            QVERIFY2(inTrash.contains(expected), qUtf8Printable(inTrash.join(QLatin1Char(' '))));
    }
};

QTEST_GUILESS_MAIN(TestIdentities)
#include "tst_identities.moc"
