// The Initial Setup on a real host: vsftpd serves the throwaway user's home, the test message goes
// through the SMTP server to real procmail, which reads the uploaded test .procmailrc and writes
// the test log. A fresh host ends with mail filtered by the recipe file; a host's own .procmailrc
// and .forward are kept in the Document Folder before they are replaced; every way of leaving the
// test offers to delete what went up; uploads failing half-way come from the fault server.
#include "NetTestFixture.h"
#include "TestEnvironment.h"
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CInitialSetup.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/ForwardFile.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "support/FtpServers.h"
#include "support/MailLoop.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTest>

#include <memory>

namespace {

const QDateTime Stamp(QDate(2026, 12, 10), QTime(9, 8, 7));
const QByteArray ExpectedTestRc = "SHELL=/bin/sh\nZEPH_DIR=$HOME/.procmail\nMAILDIR=$HOME/mail\nNL=\"\n\"\n"
                                  "LOGFILE=$ZEPH_DIR/zeph.test.log\nLOG=\"121026090807 Testing, procmail has "
                                  "written this line to your log file as a test.$NL\"\n\n:0:\n$DEFAULT\n";
const QByteArray ForwardLine = "\"|exec /usr/bin/procmail\"";

QStringList listedFiles()
{
    QStringList names;
    CAppState::Instance().RemoteFiles().RemoteNames(&names);
    return names;
}

QStringList listedDirs()
{
    QStringList names;
    const CRemoteFilesFoldersMgr& registry = CAppState::Instance().RemoteFiles();
    for (int i = 0; i < registry.DirCount(); ++i) {
        CRemoteDirEntry entry;
        registry.GetDir(i, &entry);
        names << entry.name;
    }
    return names;
}

QList<Prompt::Record> withCaption(const QString& caption)
{
    QList<Prompt::Record> found;
    for (const Prompt::Record& record : Prompt::History()) {
        if (record.caption == caption)
            found << record;
    }
    return found;
}

QStringList captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

QString deleteQuestion(const QString& name, const QString& note = QString())
{
    return QStringLiteral("The %1 file was uploaded and should be deleted now.  There were problems with the "
                          "initial setup and to be on the safe side it's recommended that you click 'Yes' to "
                          "allow ZEPH to attempt to delete the %1 file on the remote host now.")
               .arg(name)
        + note + QStringLiteral("\n\nOkay to delete the %1 file?").arg(name);
}

// The fault server's commands that matter here, without login, transfer mode and data set-up.
QList<QByteArray> steps(TestFtpServer& server)
{
    QList<QByteArray> commands;
    for (const QByteArray& line : server.Commands()) {
        if (!line.startsWith("PASV") && !line.startsWith("TYPE") && !line.startsWith("USER")
            && !line.startsWith("PASS") && !line.startsWith("QUIT"))
            commands << line;
    }
    return commands;
}

} // namespace

class TestSetupLoop : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MailLoop> m_loop;
    // The button each caption is answered with; other boxes take their default.
    QHash<QString, Prompt::Button> m_answers;

    bool hostHas(const char* name) { return m_loop->Host().FileExists(QLatin1String(name)); }
    bool hostDir(const char* name)
    {
        return QFileInfo(m_loop->Host().Home() + QLatin1Char('/') + QLatin1String(name)).isDir();
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
        m_loop = std::make_unique<MailLoop>();
        QVERIFY2(m_loop->Start(), qPrintable(m_loop->Error()));
        QVERIFY(m_loop->UseSettings());
        // A host nobody has set up: no .procmailrc and none of the directories.
        const QString home = m_loop->Host().Home();
        QVERIFY(QFile::remove(home + QStringLiteral("/.procmailrc")));
        QVERIFY(QDir(home + QStringLiteral("/.procmail")).removeRecursively());
        QVERIFY(QDir(home + QStringLiteral("/mail")).removeRecursively());
        SetSetting(Settings::ForwardQmailRadio, ForwardFile::Forward);
        QVERIFY(Workspace::CreatePath(Workspace::GetDocumentFolder()));
        QString error;
        QVERIFY2(
            ForwardFile::WriteLine(Workspace::GetForwardPath(), QString::fromLatin1(ForwardLine), &error),
            qPrintable(error));
        Clock::SetNow(Stamp);
        m_answers.clear();
        Prompt::SetPresenter([this](const Prompt::Record& record) {
            return m_answers.value(record.caption, record.defaultButton);
        });
        Prompt::ClearHistory();
    }
    void cleanup()
    {
        Prompt::SetPresenter({});
        Clock::SetNow(std::nullopt);
        m_loop.reset();
        m_env.reset();
    }

    // The whole road: directories, uploads, the test mail through procmail, the log, the real
    // .procmailrc and the recipe file sent from the pending files, and then mail is filtered.
    void freshHostEndsFiltered()
    {
        QVERIFY(CInitialSetup::MissingItems().isEmpty());
        CRemoteHost host;
        CInitialSetup setup(host);
        bool sent = false;
        setup.SetShowPendingFiles([&sent] {
            CRemoteHost sender;
            sent = SendPendingNow(sender);
        });
        QVERIFY(setup.Connect({}, {}));

        for (const char* dir : { "mail", "mail/backup", ".procmail" })
            QVERIFY2(hostDir(dir), dir);
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".forward")), ForwardLine);
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".procmailrc")), ExpectedTestRc);
        QCOMPARE(GetSetting(Settings::SetupWizAttempted), 1);
        QVERIFY(setup.SavedOriginals().isEmpty());
        QVERIFY(!QFile::exists(CInitialSetup::OriginalPath(QStringLiteral(".procmailrc"))));
        QVERIFY(setup.TestText().startsWith(QStringLiteral("Please send another test mail message")));

        // A recipe made before the setup waits in the pending files with the .procmailrc.
        QVERIFY(WriteTestFile(Workspace::GetRecipeFilePath(), ":0\n* ^Subject: cheap\nspam\n"));
        QVERIFY(AddPending(Workspace::GetRecipeFilePath(), QStringLiteral(".procmail/zeph.recipes")));

        QVERIFY2(m_loop->MailYourself("setup test", "Testing.\n"), qPrintable(m_loop->Error()));
        QCOMPARE(m_loop->Inbox().size(), 1);
        QVERIFY(
            m_loop->Host()
                .ReadFile(QStringLiteral(".procmail/zeph.test.log"))
                .contains(
                    "121026090807 Testing, procmail has written this line to your log file as a test.\n"));
        QCOMPARE(setup.MailReceived(), CInitialSetup::TestEnd::Succeeded);
        setup.Complete();

        QVERIFY(sent);
        QVERIFY(!hostHas(".procmail/zeph.test.log"));
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".procmailrc")), CProcmailrcFile::DefaultText());
        QCOMPARE(GetSetting(Settings::SetupWizRun), 1);
        QCOMPARE(GetSettingTime(Settings::LogDownloadTime), Stamp);
        QVERIFY(!HasPending());
        const QList<Prompt::Record> success = withCaption(QStringLiteral("Success!"));
        QCOMPARE(success.size(), 1);
        QVERIFY(success.first().text.startsWith(
            QStringLiteral(
                "Congratulations, procmail has filtered your incoming mail!  The zeph.test.log file "
                "contained the test line that we wanted procmail to write.  Now that the setup test "
                "is complete, it's recommended that you upload your ")
            + Workspace::GetProcmailrcPath() + QStringLiteral(" file")));
        QVERIFY(success.first().text.endsWith(QStringLiteral("please consult the help file.")));
        QCOMPARE(captions().last(), QStringLiteral("Setup Complete"));
        QStringList files = listedFiles();
        files.sort();
        QCOMPARE(files,
            QStringList({ QStringLiteral(".forward"), QStringLiteral(".procmail/zeph.log"),
                QStringLiteral(".procmail/zeph.log.old"), QStringLiteral(".procmail/zeph.recipes"),
                QStringLiteral(".procmailrc") }));
        QCOMPARE(listedDirs(),
            QStringList({ QStringLiteral("mail"), QStringLiteral("mail/backup"), QStringLiteral(".procmail"),
                QStringLiteral("$HOME") }));

        m_loop->ClearOutputs();
        QVERIFY2(m_loop->MailYourself("cheap offer", "Buy.\n"), qPrintable(m_loop->Error()));
        QCOMPARE(m_loop->Host().Folder(QStringLiteral("spam")).size(), 1);
        QVERIFY(m_loop->Inbox().isEmpty());
    }

    // The user's own files are downloaded before anything replaces them, and every text that
    // offers to delete the replacement says where the original is.
    void hostOriginalsKeptAndNamed()
    {
        const QByteArray ownRc = "# my own\n:0\n* ^Subject: lists\nlists\n";
        const QByteArray ownForward = "me@elsewhere.example\n";
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), ownRc));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".forward"), ownForward));
        m_answers[QStringLiteral("Okay to delete file?")] = Prompt::Yes;

        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(setup.Connect({}, {}));
        const QString savedRc = CInitialSetup::OriginalPath(QStringLiteral(".procmailrc"));
        const QString savedForward = CInitialSetup::OriginalPath(QStringLiteral(".forward"));
        QCOMPARE(ReadTestFile(savedRc), ownRc);
        QCOMPARE(ReadTestFile(savedForward), ownForward);
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".procmailrc")), ExpectedTestRc);

        setup.CancelTest();
        QVERIFY(!hostHas(".procmailrc"));
        QVERIFY(!hostHas(".forward"));
        const QList<Prompt::Record> asked = withCaption(QStringLiteral("Okay to delete file?"));
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.at(0).text,
            deleteQuestion(QStringLiteral(".forward"),
                QStringLiteral(
                    "  The .forward file that was on the remote host before the setup is saved as %1; "
                    "upload it as .forward to restore it.")
                    .arg(savedForward)));
        QCOMPARE(asked.at(1).text,
            deleteQuestion(QStringLiteral(".procmailrc"),
                QStringLiteral(
                    "  The .procmailrc file that was on the remote host before the setup is saved as "
                    "%1; upload it as .procmailrc to restore it.")
                    .arg(savedRc)));
        QVERIFY(listedFiles().isEmpty());
    }

    // On success the closing text lists the kept originals; a later setup never replaces a kept
    // copy, and a changed host file is kept beside it.
    void originalsOnSuccessAndNeverReplaced()
    {
        const QByteArray ownRc = "# my own\n";
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), ownRc));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".forward"), "me@elsewhere.example\n"));
        CRemoteHost host;
        {
            CInitialSetup setup(host);
            QVERIFY(setup.Connect({}, {}));
            QVERIFY2(m_loop->MailYourself("setup test", "Testing.\n"), qPrintable(m_loop->Error()));
            QCOMPARE(setup.MailReceived(), CInitialSetup::TestEnd::Succeeded);
        }
        const QString savedRc = CInitialSetup::OriginalPath(QStringLiteral(".procmailrc"));
        const QString savedForward = CInitialSetup::OriginalPath(QStringLiteral(".forward"));
        const QList<Prompt::Record> success = withCaption(QStringLiteral("Success!"));
        QCOMPARE(success.size(), 1);
        QVERIFY(success.first().text.endsWith(QStringLiteral(
            "\n\nThe files that were on the remote host before the setup are saved as: %1, %2.")
                                                  .arg(savedForward, savedRc)));

        // The user puts a changed file up by hand and runs the setup again.
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), "# changed\n"));
        CInitialSetup again(host);
        QVERIFY(again.Connect({}, {}));
        QCOMPARE(ReadTestFile(savedRc), ownRc);
        QCOMPARE(ReadTestFile(savedRc + QStringLiteral(".2")), QByteArray("# changed\n"));
        // The .forward on the host is ZEPH's own now (the registry lists it): nothing to keep.
        QCOMPARE(again.SavedOriginals(),
            (QList<QPair<QString, QString>> {
                { QStringLiteral(".procmailrc"), savedRc + QStringLiteral(".2") } }));
    }

    // Every way out of the test dialog without the log offers the deletions; what the user
    // answers decides what stays, and the registry says what is left on the host.
    void leavingTheTest_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("reverse");
        QTest::addColumn<int>("deleteAnswer");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QString>("firstCaption");
        QTest::newRow("cancel, delete") << "cancel" << 0 << int(Prompt::Yes) << true << "Backing out changes";
        QTest::newRow("cancel, keep") << "cancel" << 0 << int(Prompt::No) << false << "Backing out changes";
        QTest::newRow("not received")
            << "notReceived" << 0 << int(Prompt::Yes) << true << "Backing out changes";
        QTest::newRow("close, reverse")
            << "close" << int(Prompt::Yes) << int(Prompt::Yes) << true << "Reverse file changes?";
        QTest::newRow("close, keep") << "close" << int(Prompt::No) << int(Prompt::Yes) << false
                                     << "Reverse file changes?";
        // No mail reached procmail (a host where it does not run): no log, so the back-out.
        QTest::newRow("received, no log") << "received" << 0 << int(Prompt::Yes) << true << "Checking log";
    }
    void leavingTheTest()
    {
        QFETCH(QString, action);
        QFETCH(int, reverse);
        QFETCH(int, deleteAnswer);
        QFETCH(bool, deleted);
        QFETCH(QString, firstCaption);
        m_answers[QStringLiteral("Reverse file changes?")] = Prompt::Button(reverse);
        m_answers[QStringLiteral("Okay to delete file?")] = Prompt::Button(deleteAnswer);

        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(setup.Connect({}, {}));
        Prompt::ClearHistory();
        if (action == QLatin1String("cancel"))
            setup.CancelTest();
        else if (action == QLatin1String("notReceived"))
            setup.MailNotReceived();
        else if (action == QLatin1String("close"))
            setup.CloseTest();
        else
            QCOMPARE(setup.MailReceived(), CInitialSetup::TestEnd::Failed);

        QCOMPARE(captions().first(), firstCaption);
        QCOMPARE(hostHas(".forward"), !deleted);
        QCOMPARE(hostHas(".procmailrc"), !deleted);
        QCOMPARE(listedFiles().contains(QStringLiteral(".procmailrc")), !deleted);
        QCOMPARE(listedFiles().contains(QStringLiteral(".forward")), !deleted);
        const bool asked = reverse != int(Prompt::No);
        QCOMPARE(withCaption(QStringLiteral("Okay to delete file?")).size(), asked ? 2 : 0);
        if (asked)
            QCOMPARE(withCaption(QStringLiteral("Okay to delete file?")).first().text,
                deleteQuestion(QStringLiteral(".forward")));
        QCOMPARE(GetSetting(Settings::SetupWizRun), 0);
        QVERIFY(withCaption(QStringLiteral("View log contents?")).isEmpty());
    }

    // procmail on the host ignores the test file (here: one that anybody may write, which
    // procmail calls suspicious). The message is delivered all the same, and the missing log
    // leads to the back-out.
    void procmailIgnoresTheTestFile()
    {
        m_answers[QStringLiteral("Okay to delete file?")] = Prompt::Yes;
        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(setup.Connect({}, {}));
        QVERIFY(QFile::setPermissions(m_loop->Host().Home() + QStringLiteral("/.procmailrc"),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup
                | QFile::WriteGroup));
        QVERIFY2(m_loop->MailYourself("setup test", "Testing.\n"), qPrintable(m_loop->Error()));
        QCOMPARE(m_loop->Inbox().size(), 1);
        QVERIFY(!hostHas(".procmail/zeph.test.log"));

        QCOMPARE(setup.MailReceived(), CInitialSetup::TestEnd::Failed);
        QVERIFY(captions().contains(QStringLiteral("Backing out changes")));
        QVERIFY(!hostHas(".procmailrc"));
        QVERIFY(!hostHas(".forward"));
        QCOMPARE(GetSetting(Settings::SetupWizRun), 0);
    }

    // A log left from an earlier run lacks this Connect's time stamp: the check fails, the log
    // can be viewed, and it is gone from the host afterwards.
    void staleLogFails()
    {
        m_answers[QStringLiteral("View log contents?")] = Prompt::Yes;
        m_answers[QStringLiteral("Okay to delete file?")] = Prompt::Yes;
        CRemoteHost host;
        CInitialSetup setup(host);
        QByteArray viewed;
        setup.SetViewLog([&viewed](const QByteArray& log) { viewed = log; });
        QVERIFY(setup.Connect({}, {}));
        const QByteArray stale
            = "010203040506 Testing, procmail has written this line to your log file as a test.\n";
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmail/zeph.test.log"), stale));

        QCOMPARE(setup.MailReceived(), CInitialSetup::TestEnd::Failed);
        QCOMPARE(viewed, stale);
        QVERIFY(!hostHas(".procmail/zeph.test.log"));
        QVERIFY(!hostHas(".procmailrc"));
        const QList<Prompt::Record> view = withCaption(QStringLiteral("View log contents?"));
        QCOMPARE(view.size(), 1);
        QCOMPARE(view.first().text,
            QStringLiteral("The zeph.test.log file did not contain the test line that we wanted procmail to "
                           "write.  We had tried to write the string:\n\n121026090807 Testing, procmail has "
                           "written this line to your log file as a test.\n\nIf you would like to view the "
                           "contents of the zeph.test.log file click 'Yes'.  Either way, please click on the "
                           "help button for information on what may be the cause of the problem."));
        QCOMPARE(GetSetting(Settings::SetupWizRun), 0);
    }

    // What the options and the Forward page's choice select is all that happens on the host.
    void options_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("all");
        QTest::addColumn<bool>("forwardUp");
        QTest::addColumn<bool>("testUp");
        QTest::addColumn<QString>("textStart");
        QTest::newRow("neither file, all ticked")
            << int(ForwardFile::Neither) << true << false << true << "Please send another test mail message";
        QTest::newRow("nothing ticked") << int(ForwardFile::Forward) << false << false << false
                                        << "Since nothing was selected ZEPH hasn't performed any operations";
    }
    void options()
    {
        QFETCH(int, choice);
        QFETCH(bool, all);
        QFETCH(bool, forwardUp);
        QFETCH(bool, testUp);
        QFETCH(QString, textStart);
        SetSetting(Settings::ForwardQmailRadio, choice);
        CInitialSetup::Options options;
        if (!all)
            options = { false, false, false, false, false };
        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(setup.Connect(options, {}));
        QCOMPARE(hostHas(".forward"), forwardUp);
        QCOMPARE(hostHas(".procmailrc"), testUp);
        QCOMPARE(hostDir("mail/backup"), all);
        QVERIFY(setup.TestText().startsWith(textStart));
    }

    // A mail directory named without $HOME/ and a directory that already exists: each CWD goes
    // back to the login directory, so the backup directory lands inside the mail directory and
    // nowhere deeper.
    void directoriesReturnToLoginDirectory()
    {
        SetSetting(Settings::MailDir, QStringLiteral("mail"));
        QVERIFY(m_loop->Host().MakeDir(QStringLiteral("mail")));
        CInitialSetup::Options options;
        options.forward = options.testProcmailrc = false;
        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(setup.Connect(options, {}));
        QVERIFY(hostDir("mail/backup"));
        QVERIFY(hostDir(".procmail"));
        QVERIFY(!hostDir("mail/mail"));
        QVERIFY(!hostDir("mail/.procmail"));
        QVERIFY(setup.TestText().startsWith(QStringLiteral("Since you haven't elected to upload the test")));
    }

    // "Advanced": the home directory and the uploaded files get the modes asked for, and the
    // registry records them.
    void advancedPermissions()
    {
        CInitialSetup::Permissions permissions;
        permissions.confirmed = permissions.home = permissions.procmailrc = permissions.forward = true;
        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(setup.Connect({}, permissions));
        QCOMPARE(FileMode(m_loop->Host().Home()), 0701);
        QCOMPARE(FileMode(m_loop->Host().Home() + QStringLiteral("/.procmailrc")), 0604);
        QCOMPARE(FileMode(m_loop->Host().Home() + QStringLiteral("/.forward")), 0604);
        const CRemoteFilesFoldersMgr& registry = CAppState::Instance().RemoteFiles();
        QCOMPARE(registry.DirPermissions(QStringLiteral("$HOME")), 701);
        QCOMPARE(registry.FilePermissions(QStringLiteral(".procmailrc")), 604);
        QVERIFY(withCaption(QStringLiteral("Error!")).isEmpty());
    }

    // A host that cannot be reached: nothing is recorded and the setup counts as not attempted.
    void unreachableHostChangesNothing()
    {
        SetSetting(Settings::Port, 1);
        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(!setup.Connect({}, {}));
        QCOMPARE(GetSetting(Settings::SetupWizAttempted), 0);
        QVERIFY(listedFiles().isEmpty());
        QVERIFY(listedDirs().isEmpty());
        QVERIFY(withCaption(QStringLiteral("Okay to delete file?")).isEmpty());
    }

    // Uploads refused half-way by a server out of disk space: the originals were fetched before
    // the first upload, the back-out offers what was marked (the failed one too), and the
    // directories are visited with a CWD back to the login directory.
    void uploadFailsHalfWay_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("first upload refused") << "stor452" << QStringList { QStringLiteral(".forward") };
        QTest::newRow("second upload refused")
            << "fail2nd" << QStringList { QStringLiteral(".forward"), QStringLiteral(".procmailrc") };
    }
    void uploadFailsHalfWay()
    {
        QFETCH(QString, scenario);
        QFETCH(QStringList, offered);
        m_loop.reset();
        TestFtpServer server(TestFtpServer::Fault, scenario);
        QVERIFY(StartServerForSettings(server));
        m_answers[QStringLiteral("Okay to delete file?")] = Prompt::Yes;

        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(!setup.Connect({}, {}));
        QStringList asked;
        for (const Prompt::Record& record : withCaption(QStringLiteral("Okay to delete file?"))) {
            QVERIFY(record.text.contains(QStringLiteral("the upload was only attempted and failed")));
            asked << record.text.section(QLatin1Char(' '), 1, 1);
        }
        QCOMPARE(asked, offered);
        QVERIFY(listedFiles().isEmpty());
        QCOMPARE(GetSetting(Settings::SetupWizAttempted), 1);
        const QList<Prompt::Record> shown = Prompt::History();
        QVERIFY(std::any_of(shown.cbegin(), shown.cend(),
            [](const Prompt::Record& r) { return r.text.contains(QStringLiteral("452")); }));

        const QList<QByteArray> commands = steps(server);
        const qsizetype firstStore = std::distance(commands.cbegin(),
            std::find_if(commands.cbegin(), commands.cend(),
                [](const QByteArray& c) { return c.startsWith("STOR"); }));
        QCOMPARE(commands.mid(0, firstStore),
            (QList<QByteArray> { "PWD", "CWD mail", "CWD /home/u", "CWD mail/backup", "CWD /home/u",
                "CWD .procmail", "CWD /home/u", "RETR .forward", "RETR .procmailrc" }));
    }

    // The host's file cannot be fetched for a reason other than its absence: nothing is
    // uploaded, nothing is offered for deletion, and the user sees the host's answer.
    void unreadableOriginalStopsBeforeUploads()
    {
        m_loop.reset();
        TestFtpServer server(TestFtpServer::Fault, QStringLiteral("retr450"));
        QVERIFY(StartServerForSettings(server));
        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(!setup.Connect({}, {}));
        const QList<QByteArray> commands = steps(server);
        QVERIFY(std::none_of(commands.cbegin(), commands.cend(), [](const QByteArray& c) {
            return c.startsWith("STOR") || c.startsWith("DELE") || c.startsWith("RETR .procmailrc");
        }));
        QVERIFY(commands.contains("RETR .forward"));
        QVERIFY(Prompt::History().last().text.contains(QStringLiteral("450")));
        QVERIFY(withCaption(QStringLiteral("Okay to delete file?")).isEmpty());
        QVERIFY(listedFiles().isEmpty());
    }

    // Without an answer to PWD the way back is one CDUP per part of the path.
    void withoutPwdClimbsBack()
    {
        m_loop.reset();
        TestFtpServer server(TestFtpServer::Fault, QStringLiteral("nopwd"));
        QVERIFY(StartServerForSettings(server));
        SetSetting(Settings::ZephDir, QStringLiteral("/var/zeph/me/"));
        CInitialSetup::Options options;
        options.forward = options.testProcmailrc = false;
        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(setup.Connect(options, {}));
        QCOMPARE(steps(server),
            (QList<QByteArray> { "PWD", "CWD mail", "CDUP", "CWD mail/backup", "CDUP", "CDUP",
                "CWD /var/zeph/me", "CDUP", "CDUP", "CDUP" }));
    }

    // Declaring procmail set up lists the user's own .procmailrc as ZEPH's; a later setup still
    // keeps it before replacing it.
    void declaredSetupStillKeepsOwnFile()
    {
        const QByteArray ownRc = "# hand-made\n:0\n* ^Subject: lists\nlists\n";
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), ownRc));
        m_answers[QStringLiteral("Procmail already setup?")] = Prompt::Yes;
        QVERIFY(CInitialSetup::DeclareAlreadySetUp());
        QVERIFY(listedFiles().contains(QStringLiteral(".procmailrc")));

        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(setup.Connect({}, {}));
        QCOMPARE(ReadTestFile(CInitialSetup::OriginalPath(QStringLiteral(".procmailrc"))), ownRc);
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".procmailrc")), ExpectedTestRc);
    }
};

QTEST_MAIN(TestSetupLoop)
#include "tst_setup_loop.moc"
