// The backup recipe and the retrieval of its copies on a real host: procmail keeps exactly the N
// newest copies (and still delivers every message), and the retrieval recipe re-delivers each
// saved copy once, marked with its X-Loop line, with body lines that begin with "From " intact.
// Over vsftpd: the list of copies with their dates, viewing and deleting single copies, a backup
// folder that is missing, and retrieval through the temporary recipe with the user's own mail.
#include "NetTestFixture.h"
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/BackupRecipe.h"
#include "core/procmail/BackupTask.h"
#include "core/procmail/CBackupMailList.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/CTempRecipeTask.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "support/FtpServers.h"
#include "support/MailLoop.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QStringList savedCopies(ProcmailSandbox& host)
{
    return QDir(host.MailDir() + QStringLiteral("/backup"))
        .entryList({ QStringLiteral("msg.*") }, QDir::Files, QDir::Name);
}

QStringList captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

// A saved copy with the given modification time, as procmail would have left it.
bool saveCopy(ProcmailSandbox& host, const QString& name, const QByteArray& bytes, const QDateTime& time)
{
    const QString relative = QStringLiteral("mail/backup/") + name;
    if (!host.WriteFile(relative, bytes))
        return false;
    QFile file(host.Home() + QLatin1Char('/') + relative);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

const QByteArray LostOne = "From someone@example.net  Thu Dec 10 04:36:33 2026\nFrom: someone@example.net\n"
                           "Subject: lost one\n\nFirst line.\nFrom the start it was wrong.\nLast line.\n";

} // namespace

class TestBackupLoop : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MailLoop> m_loop;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
        m_loop = std::make_unique<MailLoop>();
        QVERIFY2(m_loop->Start(), qPrintable(m_loop->Error()));
        QVERIFY(m_loop->UseSettings());
        SetSetting(Settings::SetupWizRun, 1);
        QVERIFY(CProcmailrcFile().CreateDefault(nullptr));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText()));
        QVERIFY2(m_loop->Host().MakeDir(QStringLiteral("mail/backup")), qPrintable(m_loop->Host().Error()));
        Prompt::ClearHistory();
    }
    void cleanup()
    {
        m_loop.reset();
        m_env.reset();
    }

    void keepsTheNewestCopies_data()
    {
        QTest::addColumn<int>("selection");
        QTest::newRow("To: or Cc:") << 0;
        QTest::newRow("all messages") << int(BackupRecipe::AllMessages);
    }
    void keepsTheNewestCopies()
    {
        QFETCH(int, selection);
        QVERIFY(m_loop->Host().SetRecipes(BackupRecipe::BuildBlock(selection, 3, "msg.", m_loop->Address())));
        for (int i = 1; i <= 5; ++i)
            QVERIFY2(m_loop->MailYourself("number " + QByteArray::number(i), "Body.\n"),
                qPrintable(m_loop->Error()));

        const QStringList copies = savedCopies(m_loop->Host());
        QCOMPARE(copies.size(), 3);
        QStringList subjects;
        for (const QString& name : copies)
            subjects << QString::fromUtf8(ProcmailSandbox::Header(
                m_loop->Host().ReadFile(QStringLiteral("mail/backup/") + name), "Subject"));
        subjects.sort();
        QCOMPARE(subjects,
            (QStringList {
                QStringLiteral("number 3"), QStringLiteral("number 4"), QStringLiteral("number 5") }));
        // The copy is a copy: every message still reaches the inbox.
        QCOMPARE(m_loop->Inbox().size(), 5);
        QCOMPARE(m_loop->Deliveries(), QList<int>(5, 0));
    }

    void retrievalResendsEachCopyOnce()
    {
        const QByteArray from = "From: someone@example.net\nTo: " + m_loop->Address() + "\n";
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("mail/backup/msg.aaa"), LostOne));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("mail/backup/msg.bbb"),
            "From someone@example.net  Thu Dec 10 04:37:00 2026\n" + from
                + "Subject: lost two\n\nSecond.\n"));
        QByteArray rc;
        QCOMPARE(CProcmailrcFile::ReplaceTempSlot(CProcmailrcFile::DefaultText(), CProcmailrcFile::TempBegin,
                     CProcmailrcFile::TempEnd,
                     BackupRecipe::BuildRetrievalRecipe(m_loop->Address(), "$HOME/mail/backup", "msg.", true),
                     &rc),
            CProcmailrcFile::Failure::None);
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), rc));
        // A recipe that would file the lost mail away: the retrieval puts it in the inbox anyway.
        QVERIFY(m_loop->Host().SetRecipes(":0\n* ^Subject: lost\nelsewhere\n"));

        QVERIFY2(m_loop->MailYourself("retrieve", "Go.\n"), qPrintable(m_loop->Error()));

        QList<QByteArray> resent;
        for (const QByteArray& message : m_loop->Inbox()) {
            if (ProcmailSandbox::Header(message, "Subject").startsWith("lost"))
                resent << message;
        }
        QCOMPARE(resent.size(), 2);
        for (const QByteArray& message : resent)
            QCOMPARE(ProcmailSandbox::Header(message, "X-Loop"), BackupRecipe::LoopMarker());
        const QByteArray& one
            = ProcmailSandbox::Header(resent.at(0), "Subject") == "lost one" ? resent.at(0) : resent.at(1);
        // procmail escapes the body's From_ line as ">From" in the mbox; the split keeps it whole.
        QVERIFY(ProcmailSandbox::Body(one).startsWith("First line.\n"));
        QVERIFY(ProcmailSandbox::Body(one).endsWith("it was wrong.\nLast line.\n"));
        QVERIFY(m_loop->Host().Folder(QStringLiteral("elsewhere")).isEmpty());
        // The saved copies stay where they were.
        QCOMPARE(savedCopies(m_loop->Host()).size(), 2);
    }

    // The list holds the plain files named with MSGPREFIX, dated as the server lists them: with
    // the time for this year's, with the year for old ones. A copy comes back byte for byte.
    void listAndView()
    {
        const QDateTime recent = QDateTime::currentDateTime().addDays(-2);
        const QDateTime recentMinute(recent.date(), QTime(recent.time().hour(), recent.time().minute()));
        QVERIFY(saveCopy(m_loop->Host(), QStringLiteral("msg.recent"), LostOne, recentMinute));
        QVERIFY(saveCopy(
            m_loop->Host(), QStringLiteral("msg.old"), "x\n", QDateTime(QDate(2005, 3, 3), QTime(9, 0))));
        QVERIFY(saveCopy(m_loop->Host(), QStringLiteral("notes.txt"), "x\n", recentMinute));
        QVERIFY(m_loop->Host().MakeDir(QStringLiteral("mail/backup/msg.folder")));
        SetSetting(Settings::LogDateFormat, 2);
        SetSetting(Settings::LogDateSeparator, QStringLiteral("-"));

        CRemoteHost host;
        CBackupMailList list(host);
        QList<BackupListing::Entry> entries;
        QList<QByteArray> lines;
        QVERIFY(list.Load(&entries, &lines));
        QVERIFY(!host.IsConnected());
        std::sort(entries.begin(), entries.end(),
            [](const BackupListing::Entry& a, const BackupListing::Entry& b) { return a.name < b.name; });
        QCOMPARE(entries,
            (QList<BackupListing::Entry> { { QStringLiteral("msg.old"), QStringLiteral("05-03-03 00:00") },
                { QStringLiteral("msg.recent"), recentMinute.toString(QStringLiteral("yy-MM-dd hh:mm")) } }));
        QVERIFY(CBackupMailList::JoinLines(lines).contains(QStringLiteral("notes.txt\n")));

        QByteArray text;
        QVERIFY(list.View(QStringLiteral("msg.recent"), &text));
        QCOMPARE(text, LostOne);
        QVERIFY(host.IsConnected());
        QVERIFY(Prompt::History().isEmpty());

        // An empty copy is no message: the download is reported as failed.
        QVERIFY(saveCopy(m_loop->Host(), QStringLiteral("msg.empty"), QByteArray(), recentMinute));
        QVERIFY(!list.View(QStringLiteral("msg.empty"), &text));
        QCOMPARE(captions(), QStringList { QStringLiteral("Download Failed") });
    }

    // Delete asks first (No keeps everything), then removes exactly the named copies; a name the
    // host does not have shows the server's answer and withholds "Finished".
    void deleteCopies()
    {
        for (const char* name : { "msg.a", "msg.b", "msg.c" })
            QVERIFY(saveCopy(m_loop->Host(), QLatin1String(name), "x\n", QDateTime::currentDateTime()));
        CRemoteHost host;
        CBackupMailList list(host);
        QStringList deleted;

        Prompt::QueueAnswer(Prompt::No);
        list.Delete({ QStringLiteral("msg.c"), QStringLiteral("msg.a") }, &deleted);
        QVERIFY(deleted.isEmpty());
        QCOMPARE(savedCopies(m_loop->Host()).size(), 3);
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Okay to delete?"));
        QCOMPARE(Prompt::History().first().defaultButton, Prompt::No);

        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        list.Delete({ QStringLiteral("msg.c"), QStringLiteral("msg.a") }, &deleted);
        QCOMPARE(deleted, (QStringList { QStringLiteral("msg.c"), QStringLiteral("msg.a") }));
        QCOMPARE(savedCopies(m_loop->Host()), QStringList { QStringLiteral("msg.b") });
        QCOMPARE(captions(), (QStringList { QStringLiteral("Okay to delete?"), QStringLiteral("Finished") }));

        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        list.Delete({ QStringLiteral("msg.gone"), QStringLiteral("msg.b") }, &deleted);
        QCOMPARE(deleted, QStringList { QStringLiteral("msg.b") });
        QVERIFY(savedCopies(m_loop->Host()).isEmpty());
        QCOMPARE(captions(),
            (QStringList { QStringLiteral("Okay to delete?"), QStringLiteral("File Not Deleted") }));
        QVERIFY(Prompt::History().at(1).text.contains(QStringLiteral("550")));

        Prompt::ClearHistory();
        list.Delete({}, &deleted);
        QCOMPARE(captions(), QStringList { QStringLiteral("Nothing selected!") });
    }

    // A copy whose download breaks off is not shown as the message: the server's error is.
    void cutDownloadShowsNoCopy_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::newRow("426 after half") << QStringLiteral("abort426");
        QTest::newRow("dropped after half") << QStringLiteral("drop");
        QTest::newRow("half, then 226") << QStringLiteral("short");
        QTest::newRow("whole, then 451") << QStringLiteral("late451");
    }
    void cutDownloadShowsNoCopy()
    {
        QFETCH(QString, scenario);
        TestFtpServer server(TestFtpServer::Fault, scenario);
        QVERIFY(StartServerForSettings(server));
        SetSetting(Settings::BackupDlgMsgPrefix, QStringLiteral("data."));
        CRemoteHost host;
        CBackupMailList list(host);
        QByteArray text = "old";
        QVERIFY(!list.View(QStringLiteral("data.bin"), &text));
        QVERIFY(text.isEmpty());
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Download Failed"));
    }

    // A host without the backup folder: the server's answer to CWD is shown and nothing stays
    // connected.
    void missingFolder()
    {
        QVERIFY(QDir(m_loop->Host().MailDir() + QStringLiteral("/backup")).removeRecursively());
        CRemoteHost host;
        CBackupMailList list(host);
        QList<BackupListing::Entry> entries;
        QList<QByteArray> lines;
        QVERIFY(!list.Load(&entries, &lines));
        QVERIFY(!host.IsConnected());
        QCOMPARE(Prompt::History().size(), 1);
        QVERIFY2(Prompt::History().first().text.contains(QStringLiteral("CWD mail/backup")),
            qPrintable(Prompt::History().first().text));
        QVERIFY(Prompt::History().first().text.contains(QStringLiteral("550")));
    }

    // Retrieval the way the dialog runs it: the recipe goes up in the .procmailrc, the user's own
    // message makes procmail re-send each copy into the inbox, and the .procmailrc goes back. When
    // the user did not get the copies, the dialog stays with the hint about the address.
    void retrieveThroughTheTemporaryRecipe_data()
    {
        QTest::addColumn<bool>("rightAddress");
        QTest::newRow("copies received") << true;
        QTest::newRow("wrong address") << false;
    }
    void retrieveThroughTheTemporaryRecipe()
    {
        QFETCH(bool, rightAddress);
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("mail/backup/msg.aaa"), LostOne));
        CRemoteHost host;
        CTempRecipeTask task(host);
        bool mailed = false;
        const QByteArray from = rightAddress ? m_loop->Address() : QByteArray("someone.else@example.net");
        const bool closed = BackupTask::Retrieve(task, from, true, [&](const QStringList& downloads) {
            mailed = downloads.isEmpty() && m_loop->MailYourself("retrieve", "Go.\n");
            return mailed && m_loop->Inbox().size() == 2;
        });
        QVERIFY2(mailed, qPrintable(m_loop->Error()));
        QCOMPARE(closed, rightAddress);
        QCOMPARE(m_loop->Inbox().size(), rightAddress ? 2 : 1);
        for (const QByteArray& message : m_loop->Inbox()) {
            if (ProcmailSandbox::Header(message, "Subject") == "lost one")
                QCOMPARE(ProcmailSandbox::Header(message, "X-Loop"), BackupRecipe::LoopMarker());
        }
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".procmailrc")), CProcmailrcFile::DefaultText());
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QVERIFY(!HasPending());
        QCOMPARE(captions().last(),
            rightAddress ? QStringLiteral("File Upload Successful") : QStringLiteral("Backup"));
    }

    // The user cancels the upload of the restored .procmailrc while the server keeps it waiting:
    // the file without the recipe waits in the pending files, and the user is told so.
    void cancelledRestoreIsQueued()
    {
        TestFtpServer server(TestFtpServer::Fault, QStringLiteral("stall2nd"));
        QVERIFY(StartServerForSettings(server));
        CRemoteHost host;
        CTempRecipeTask task(host);
        const bool closed = BackupTask::Retrieve(task, "me@example.org", true, [&host](const QStringList&) {
            QTimer::singleShot(1500, &host, [&host] { host.RequestCancel(); });
            return true;
        });
        QVERIFY(closed);
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QCOMPARE(PendingPairs(),
            (QList<QPair<QString, QString>> {
                { Workspace::GetProcmailrcPath(), QStringLiteral(".procmailrc") } }));
        QCOMPARE(captions().last(), QStringLiteral("Upload failed"));
    }
};

QTEST_MAIN(TestBackupLoop)
#include "tst_backup_loop.moc"
