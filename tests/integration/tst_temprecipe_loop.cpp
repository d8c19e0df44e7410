// The temporary recipe on a real host: the version and manual-page recipe goes up to vsftpd in
// the .procmailrc, a message the user mails themselves makes real procmail run it, the files come
// back into the Document Folder and leave the host, and the host ends with the .procmailrc
// without the recipe. Also a wrong address, a host without `man`, and an upload that fails.
#include "NetTestFixture.h"
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/CTempRecipeTask.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "support/FtpServers.h"
#include "support/MailLoop.h"

#include <QTest>

#include <memory>

namespace {

QStringList captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

QString local(const char* name)
{
    return Workspace::GetDocumentFolder() + QLatin1String(name);
}

} // namespace

class TestTempRecipeLoop : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MailLoop> m_loop;

    // Mails the user and presses "I received my mail message".
    CTempRecipeTask::WaitForMail mailAndReceive(CTempRecipeTask& task)
    {
        return [this, &task](const QStringList& downloads) {
            // While the user is asked, the host runs the recipe.
            if (!m_loop->Host().ReadFile(QStringLiteral(".procmailrc")).contains("{\n"))
                return false;
            return m_loop->MailYourself("man pages", "Hello.\n") && task.MailReceived(downloads);
        };
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
        m_loop = std::make_unique<MailLoop>();
        QVERIFY2(m_loop->Start(), qPrintable(m_loop->Error()));
        QVERIFY(m_loop->UseSettings());
        SetSetting(Settings::SetupWizRun, 1);
        // The host runs ZEPH's own .procmailrc, as after the setup.
        QVERIFY(CProcmailrcFile().CreateDefault(nullptr));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText()));
        Prompt::ClearHistory();
    }
    void cleanup()
    {
        m_loop.reset();
        m_env.reset();
    }

    void versionAndPagesComeBack()
    {
        CRemoteHost host;
        CTempRecipeTask task(host);
        ManPageFiles::Request request;
        request.fromAddress = m_loop->Address();
        request.selected[0] = request.selected[9] = request.selected[10] = true;
        QVERIFY(task.RunManPages(request, mailAndReceive(task)));

        QVERIFY(ReadTestFile(local("procmail.version.txt")).startsWith("procmail v"));
        QVERIFY(ReadTestFile(local("man.sed.txt")).contains("stream editor"));
        QCOMPARE(
            ReadTestFile(local("sysexits.h.txt")), ReadTestFile(QStringLiteral("/usr/include/sysexits.h")));
        // The host is as before: files gone, the slot empty again, the trigger mail delivered.
        for (const char* name : { "procmail.version.txt", "man.sed.txt", "sysexits.h.txt" })
            QVERIFY2(!m_loop->Host().FileExists(QLatin1String(name)), name);
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".procmailrc")), CProcmailrcFile::DefaultText());
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QCOMPARE(m_loop->Inbox().size(), 1);
        QVERIFY(!HasPending());
        QCOMPARE(captions().first(), QStringLiteral("Download to begin"));
        QVERIFY(captions().contains(QStringLiteral("Uploading .procmailrc")));
        QCOMPARE(captions().last(), QStringLiteral("Download Complete"));
    }

    // Mail from another address does not trigger the recipe: the download fails with the host's
    // answer, the old local copy stays, and the host still gets its .procmailrc back.
    void wrongAddressKeepsOldCopy()
    {
        QVERIFY(WriteTestFile(local("procmail.version.txt"), "old copy\n"));
        CRemoteHost host;
        CTempRecipeTask task(host);
        ManPageFiles::Request request;
        request.versionMode = true;
        request.fromAddress = "someone.else@example.net";
        QVERIFY(!task.RunManPages(request, mailAndReceive(task)));

        QCOMPARE(ReadTestFile(local("procmail.version.txt")), QByteArray("old copy\n"));
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".procmailrc")), CProcmailrcFile::DefaultText());
        const QList<Prompt::Record> shown = Prompt::History();
        const auto failed = std::find_if(shown.begin(), shown.end(), [](const Prompt::Record& r) {
            return r.text.startsWith(QStringLiteral("The attempt to download"));
        });
        QVERIFY(failed != shown.end());
        QVERIFY(
            failed->text.startsWith(QStringLiteral("The attempt to download procmail.version.txt failed.")));
        // The connection's error names the host's answer before that.
        QVERIFY((failed - 1)->text.contains(QStringLiteral("550")));
        QCOMPARE(captions().last(), QStringLiteral("Download failed"));
    }

    // A host without `man` leaves an empty file: that is a failed download, not a manual page.
    // procmail's default PATH starts with $HOME/bin, so an empty `man` there stands for none.
    void hostWithoutManGivesEmptyFile()
    {
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("bin/man"), QByteArray()));
        QVERIFY(QFile::setPermissions(m_loop->Host().Home() + QStringLiteral("/bin/man"),
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(WriteTestFile(local("man.grep.txt"), "old page\n"));

        CRemoteHost host;
        CTempRecipeTask task(host);
        ManPageFiles::Request request;
        request.fromAddress = m_loop->Address();
        request.selected[8] = true;
        QVERIFY(!task.RunManPages(request, mailAndReceive(task)));

        QCOMPARE(ReadTestFile(local("man.grep.txt")), QByteArray("old page\n"));
        const QList<Prompt::Record> shown = Prompt::History();
        const auto empty = std::find_if(shown.begin(), shown.end(),
            [](const Prompt::Record& r) { return r.caption == QStringLiteral("Download Failed"); });
        QVERIFY(empty != shown.end());
        QCOMPARE(empty->text,
            QStringLiteral(
                "The file man.grep.txt downloaded from the remote host is empty.  The host may not have "
                "that manual page or program."));
        QVERIFY(!m_loop->Host().FileExists(QStringLiteral("man.grep.txt")));
    }

    // The first upload cannot reach the host: the slot is emptied at once, the user is never
    // asked to mail, and the unchanged file waits in the pending files.
    void failedUploadBacksOut()
    {
        SetSetting(Settings::Port, 1);
        CRemoteHost host;
        CTempRecipeTask task(host);
        ManPageFiles::Request request;
        request.versionMode = true;
        request.fromAddress = m_loop->Address();
        bool asked = false;
        QVERIFY(!task.RunManPages(request, [&](const QStringList&) { return asked = true; }));
        QVERIFY(!asked);
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QVERIFY(HasPending());
        QCOMPARE(captions().last(), QStringLiteral("Upload failed"));
    }

    // Uploads refused after their data by a server that runs out of disk: the first one (the
    // recipe) backs out at once; the second one (the restored file) leaves it queued. Either
    // way the local .procmailrc ends without the recipe and the user is told.
    void refusedUploads_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<bool>("asked");
        QTest::newRow("every upload refused") << QStringLiteral("stor452") << false;
        QTest::newRow("restore refused") << QStringLiteral("fail2nd") << true;
    }
    void refusedUploads()
    {
        QFETCH(QString, scenario);
        QFETCH(bool, asked);
        TestFtpServer server(TestFtpServer::Fault, scenario);
        QVERIFY(StartServerForSettings(server));
        CRemoteHost host;
        CTempRecipeTask task(host);
        ManPageFiles::Request request;
        request.versionMode = true;
        request.fromAddress = "me@example.org";
        bool wasAsked = false;
        QVERIFY(!task.RunManPages(request, [&](const QStringList&) {
            wasAsked = true;
            return false;
        }));
        QCOMPARE(wasAsked, asked);
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QVERIFY(HasPending());
        QVERIFY(captions().contains(QStringLiteral("Upload failed")));
        // The refusal of the recipe's upload is shown with the server's words; the restored
        // file's only says where the file waits.
        const QList<Prompt::Record> shown = Prompt::History();
        QCOMPARE(std::any_of(shown.begin(), shown.end(),
                     [](const Prompt::Record& r) { return r.text.contains(QStringLiteral("452")); }),
            !asked);
    }
};

QTEST_MAIN(TestTempRecipeLoop)
#include "tst_temprecipe_loop.moc"
