// The first page of the Initial Setup: which settings are still missing and what the page says,
// and the "already set up" declaration with what it records. No host is needed.
#include "NetTestFixture.h"
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CInitialSetup.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/ForwardFile.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QTest>

#include <memory>

class TestInitialSetup : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
        QVERIFY(Workspace::CreatePath(Workspace::GetDocumentFolder()));
        SetSetting(Settings::Host, QStringLiteral("ftp.example.org"));
        SetSetting(Settings::UserName, QStringLiteral("me"));
        SetSetting(Settings::ForwardQmailRadio, ForwardFile::Neither);
    }
    void cleanup() { m_env.reset(); }

    void missingItems_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QByteArray>("forwardFile"); // "-" for none
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("text");
        const QString intro = QStringLiteral(
            "You have not provided all the information needed to perform the initial setup.  Please hit the "
            "\"Modify Setup\" button and provide the necessary information.  ");
        QTest::newRow("complete, neither file")
            << "ftp.example.org" << int(ForwardFile::Neither) << QByteArray("-") << "me@example.org"
            << QStringLiteral(
                   "Please send a test mail message to yourself now, before any changes are made.");
        QTest::newRow("complete, .forward")
            << "ftp.example.org" << int(ForwardFile::Forward) << QByteArray("\"|exec /usr/bin/procmail\"")
            << "me@example.org"
            << QStringLiteral(
                   "Please send a test mail message to yourself now, before any changes are made.");
        QTest::newRow("choice not made")
            << "ftp.example.org" << int(ForwardFile::NotChosen) << QByteArray("-") << "me@example.org"
            << intro
                + QStringLiteral(
                    "The following one item is needed:\n\n1.  On the .forward/.qmail settings tab, "
                    "please select the appropriate setting for your ISP, i.e.  whether you need a "
                    ".forward, .qmail, or neither file.\n\n");
        // A .qmail of comments only has no value; with the host and address missing that is three.
        QTest::newRow("three missing") << "" << int(ForwardFile::Qmail) << QByteArray("# nothing yet\n") << ""
                                       << intro
                + QStringLiteral(
                    "The following 3 items are needed:\n\n1.  On the FTP settings tab, please enter the name "
                    "of "
                    "the FTP host at your ISP.\n\n2.  On the .forward/.qmail settings tab, please enter the "
                    "appropriate value for the .qmail file at your ISP.\n\n3.  On the Misc settings tab, "
                    "please "
                    "enter your email address.\n\n");
    }
    void missingItems()
    {
        QFETCH(QString, host);
        QFETCH(int, choice);
        QFETCH(QByteArray, forwardFile);
        QFETCH(QString, email);
        QFETCH(QString, text);
        SetSetting(Settings::Host, host);
        SetSetting(Settings::ForwardQmailRadio, choice);
        SetSetting(Settings::EmailAddress, email);
        if (forwardFile != "-")
            QVERIFY(WriteTestFile(ForwardFile::LocalPath(ForwardFile::Kind(choice)), forwardFile));
        const QString shown = CInitialSetup::PageText(CInitialSetup::MissingItems());
        if (text.endsWith(QLatin1String("\n\n")))
            QCOMPARE(shown, text);
        else
            QVERIFY2(shown.startsWith(text), qPrintable(shown));
        // The page also makes the default .procmailrc when there is none.
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QCOMPARE(CInitialSetup::MailtoLink(), QStringLiteral("mailto:") + email);
    }

    // An existing .procmailrc is the user's: the page leaves it alone.
    void existingProcmailrcKept()
    {
        QVERIFY(WriteTestFile(Workspace::GetProcmailrcPath(), "# mine\n"));
        CInitialSetup::MissingItems();
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), QByteArray("# mine\n"));
    }

    // Only Yes declares the setup done; it records what the setup would have made and uploads
    // nothing.
    void declareAlreadySetUp_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(Prompt::Yes);
        QTest::newRow("no") << int(Prompt::No);
        QTest::newRow("cancel") << int(Prompt::Cancel);
    }
    void declareAlreadySetUp()
    {
        QFETCH(int, answer);
        const bool yes = answer == int(Prompt::Yes);
        SetSetting(Settings::MailDir, QStringLiteral("$HOME/Mail"));
        Prompt::QueueAnswer(Prompt::Button(answer));
        QCOMPARE(CInitialSetup::DeclareAlreadySetUp(), yes);
        QCOMPARE(GetSetting(Settings::SetupWizRun), yes ? 1 : 0);
        QCOMPARE(Prompt::History().first().defaultButton, Prompt::No);
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Procmail already setup?"));
        const CRemoteFilesFoldersMgr& registry = CAppState::Instance().RemoteFiles();
        QStringList dirs;
        for (int i = 0; i < registry.DirCount(); ++i) {
            CRemoteDirEntry entry;
            registry.GetDir(i, &entry);
            dirs << entry.name;
        }
        QStringList files;
        registry.RemoteNames(&files);
        if (!yes) {
            QVERIFY(dirs.isEmpty());
            QVERIFY(files.isEmpty());
            return;
        }
        QCOMPARE(Prompt::History().last().text,
            QStringLiteral("Thank you, ZEPH now regards procmail as setup correctly."));
        QCOMPARE(dirs,
            QStringList({ QStringLiteral(".procmail"), QStringLiteral("$HOME"), QStringLiteral("Mail"),
                QStringLiteral("Mail/backup") }));
        QCOMPARE(files,
            QStringList({ QStringLiteral(".procmail/zeph.log"), QStringLiteral(".procmail/zeph.log.old"),
                QStringLiteral(".procmailrc") }));
        CRemoteFileEntry log;
        QVERIFY(registry.GetFile(0, &log));
        QCOMPARE(log.localName, QStringLiteral("N.A."));
        CRemoteFileEntry rc;
        QVERIFY(registry.GetFile(2, &rc));
        QCOMPARE(rc.localName, Workspace::GetProcmailrcPath());
        QVERIFY(!HasPending());
    }

    // An empty directory setting would put the backup directory at the top of the host: refused
    // before any connection.
    void emptyDirectoryRefused_data()
    {
        QTest::addColumn<QString>("mailDir");
        QTest::addColumn<QString>("zephDir");
        QTest::addColumn<bool>("onlyBackup");
        QTest::newRow("mail directory $HOME/") << "$HOME/"
                                               << "$HOME/.procmail" << false;
        QTest::newRow("only the backup directory ticked") << ""
                                                          << "$HOME/.procmail" << true;
        QTest::newRow("ZEPH directory empty") << "$HOME/mail"
                                              << "" << false;
    }
    void emptyDirectoryRefused()
    {
        QFETCH(QString, mailDir);
        QFETCH(QString, zephDir);
        QFETCH(bool, onlyBackup);
        SetSetting(Settings::MailDir, mailDir);
        SetSetting(Settings::ZephDir, zephDir);
        CInitialSetup::Options options;
        if (onlyBackup)
            options.mailDir = options.zephDir = false;
        CRemoteHost host;
        CInitialSetup setup(host);
        QVERIFY(!setup.Connect(options, {}));
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Directory not set"));
        QVERIFY(!host.IsConnected());
        QCOMPARE(GetSetting(Settings::SetupWizAttempted), 0);
    }

    void permissionText()
    {
        CInitialSetup::Permissions permissions;
        QCOMPARE(CInitialSetup::PermissionText(permissions), QString());
        permissions.home = permissions.qmail = true;
        QCOMPARE(CInitialSetup::PermissionText(permissions),
            QStringLiteral(
                "Set your $HOME directory permissions to rwx-----x\r\nSet your .qmail permissions to "
                "rw----r--\r\n"));
    }
};

QTEST_MAIN(TestInitialSetup)
#include "tst_initialsetup.moc"
