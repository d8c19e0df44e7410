// The backup recipe and the retrieval of its copies on a real host: procmail keeps exactly the N
// newest copies (and still delivers every message), and the retrieval recipe re-delivers each
// saved copy once, marked with its X-Loop line, with body lines that begin with "From " intact.
#include "TestEnvironment.h"
#include "core/procmail/BackupRecipe.h"
#include "core/procmail/CProcmailrcFile.h"
#include "support/MailLoop.h"

#include <QDir>
#include <QTest>

#include <memory>

namespace {

QStringList savedCopies(ProcmailSandbox& host)
{
    return QDir(host.MailDir() + QStringLiteral("/backup"))
        .entryList({ QStringLiteral("msg.*") }, QDir::Files, QDir::Name);
}

} // namespace

class TestBackupLoop : public QObject
{
    Q_OBJECT

    std::unique_ptr<MailLoop> m_loop;

private slots:
    void init()
    {
        m_loop = std::make_unique<MailLoop>();
        QVERIFY2(m_loop->Start(), qPrintable(m_loop->Error()));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText()));
        QVERIFY2(m_loop->Host().MakeDir(QStringLiteral("mail/backup")), qPrintable(m_loop->Host().Error()));
    }
    void cleanup() { m_loop.reset(); }

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
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("mail/backup/msg.aaa"),
            "From someone@example.net  Thu Dec 10 04:36:33 2026\n" + from
                + "Subject: lost one\n\nFirst line.\nFrom the start it was wrong.\nLast line.\n"));
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
};

QTEST_MAIN(TestBackupLoop)
#include "tst_backup_loop.moc"
