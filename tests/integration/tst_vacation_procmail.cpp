// The vacation recipe run by real procmail as a throwaway user: one reply per sender, none to
// loops, daemons, mailing lists or mail not addressed to the user, and the date window on its
// boundaries. The date procmail sees comes from a date(1) on the recipe's PATH that prints a
// day the test chooses.
#include "core/procmail/VacationRecipe.h"
#include "support/ProcmailSandbox.h"

#include <QFile>
#include <QTest>

namespace {

QByteArray M(
    const QByteArray& from, const QByteArray& extra = QByteArray(), const QByteArray& to = "me@example.org")
{
    return ProcmailSandbox::Message(from, to, "Question", "Are you there?\n", extra);
}

} // namespace

class TestVacationProcmail : public QObject
{
    Q_OBJECT

    ProcmailSandbox m_sandbox;

    // Installs the recipe behind a PATH whose date(1) answers `today` (yyyyMMdd). Without the
    // system folders on it, the host has no formail: the PATH holds only date and cat.
    bool Use(
        const VacationRecipe::Options& options, const QByteArray& today = "20261224", bool systemPath = true)
    {
        const QByteArray fakeDate = "#!/bin/sh\necho " + today + "\n";
        const QString bin = m_sandbox.Home() + QStringLiteral("/bin");
        if (!m_sandbox.MakeDir(QStringLiteral("bin"))
            || !m_sandbox.WriteFile(QStringLiteral("bin/date"), fakeDate)
            || !QFile::setPermissions(bin + QStringLiteral("/date"),
                QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther))
            return false;
        QFile::remove(bin + QStringLiteral("/cat"));
        if (!QFile::link(QStringLiteral("/usr/bin/cat"), bin + QStringLiteral("/cat")))
            return false;
        const QByteArray path = "PATH=" + bin.toUtf8() + (systemPath ? ":/usr/bin:/bin\n" : "\n");
        return m_sandbox.SetRecipes(path + VacationRecipe::BuildBlock(options));
    }

    static VacationRecipe::Options Options()
    {
        VacationRecipe::Options o;
        o.address = "me@example.org";
        o.returnAddress = "me@example.org";
        o.name = "Test User";
        o.localPath = "/home/me/away.txt";
        o.remoteName = "away.txt";
        return o;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sandbox.Start(), qPrintable(m_sandbox.Error()));
        QVERIFY(m_sandbox.WriteFile(QStringLiteral(".procmail/away.txt"), "I am away until January.\n"));
    }

    void init()
    {
        m_sandbox.ClearOutputs();
        QFile::remove(m_sandbox.ZephDir() + QStringLiteral("/zeph_vacation_reply.txt"));
    }

    void onePerSender()
    {
        QVERIFY(Use(Options()));
        for (const char* from : { "joe@example.net", "ann@example.net", "joe@example.net" })
            QCOMPARE(m_sandbox.Deliver(M(from)), 0);

        // Every message is still delivered; only the first from each sender is answered.
        QCOMPARE(m_sandbox.Inbox().size(), 3);
        const QList<ProcmailSandbox::SentMail> sent = m_sandbox.Sent();
        QCOMPARE(sent.size(), 2);
        const QByteArray reply = sent.at(0).message;
        QVERIFY2(ProcmailSandbox::Header(reply, "To").contains("joe@example.net"), reply.constData());
        QCOMPARE(ProcmailSandbox::Header(reply, "X-Loop"), QByteArray("me@example.org"));
        QCOMPARE(
            ProcmailSandbox::Header(reply, "From"), QByteArray("Test User's Mailer-Daemon <me@example.org>"));
        QCOMPARE(ProcmailSandbox::Header(reply, "Precedence"), QByteArray("junk"));
        QVERIFY(ProcmailSandbox::Header(reply, "Subject").contains("Question"));
        QVERIFY(ProcmailSandbox::Body(reply).contains("I am away until January.\n"));
        QVERIFY(sent.at(0).arguments.contains(QStringLiteral("-t")));
        QVERIFY(ProcmailSandbox::Header(sent.at(1).message, "To").contains("ann@example.net"));
        QCOMPARE(m_sandbox.ReadFile(QStringLiteral(".procmail/zeph_vacation_reply.txt")),
            QByteArray("joe@example.net\nann@example.net\n"));
    }

    void noReply_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("own loop marker") << M("joe@example.net", "X-Loop: me@example.org\n");
        QTest::newRow("mailer daemon") << M("MAILER-DAEMON@example.net");
        QTest::newRow("mailing list") << M("joe@example.net", "Precedence: list\n");
        QTest::newRow("bulk mail") << M("joe@example.net", "Precedence: bulk\n");
        QTest::newRow("not addressed to me") << M("joe@example.net", QByteArray(), "other@example.org");
    }
    void noReply()
    {
        QFETCH(QByteArray, message);
        QVERIFY(Use(Options()));
        QCOMPARE(m_sandbox.Deliver(message), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 1);
        QCOMPARE(m_sandbox.Sent().size(), 0);
        QVERIFY(!m_sandbox.FileExists(QStringLiteral(".procmail/zeph_vacation_reply.txt")));
    }

    // A '+' in the return address must not turn the loop guard into a pattern that misses our own
    // replies, and quotes, '$' and backquotes in the name must reach the From: line as typed.
    void specialCharacters()
    {
        VacationRecipe::Options o = Options();
        o.returnAddress = "me+away@example.org";
        o.name = "Ann \"Nan\" O'Neil $HOME `id`";
        QVERIFY(Use(o));
        QCOMPARE(m_sandbox.Deliver(M("joe@example.net")), 0);
        QCOMPARE(m_sandbox.Deliver(M("ann@example.net", "X-Loop: me+away@example.org\n")), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 2);
        const QList<ProcmailSandbox::SentMail> sent = m_sandbox.Sent();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(ProcmailSandbox::Header(sent.at(0).message, "From"),
            QByteArray("Ann \"Nan\" O'Neil $HOME `id`'s Mailer-Daemon <me+away@example.org>"));
        QCOMPARE(ProcmailSandbox::Header(sent.at(0).message, "X-Loop"), QByteArray("me+away@example.org"));
    }

    // A host without formail loses no mail. The reply cannot be addressed then: what reaches
    // sendmail names no recipient and carries none of the sender's lines.
    void hostWithoutFormail()
    {
        QVERIFY(Use(Options(), "20261224", false));
        QCOMPARE(m_sandbox.Deliver(M("joe@example.net")), 0);
        QCOMPARE(m_sandbox.Deliver(M("ann@example.net")), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 2);
        for (const ProcmailSandbox::SentMail& mail : m_sandbox.Sent()) {
            QCOMPARE(mail.message, QByteArray("I am away until January.\n"));
            QCOMPARE(mail.arguments.filter(QStringLiteral("@")), QStringList());
        }
    }

    void dateWindow_data()
    {
        QTest::addColumn<QByteArray>("today");
        QTest::addColumn<bool>("replied");
        // The window runs from 2026-12-24 to 2027-01-06, both inclusive, across a year end.
        QTest::newRow("day before") << QByteArray("20261223") << false;
        QTest::newRow("first day") << QByteArray("20261224") << true;
        QTest::newRow("year end") << QByteArray("20261231") << true;
        QTest::newRow("last day") << QByteArray("20270106") << true;
        QTest::newRow("day after") << QByteArray("20270107") << false;
    }
    void dateWindow()
    {
        QFETCH(QByteArray, today);
        QFETCH(bool, replied);
        VacationRecipe::Options o = Options();
        o.selection = 4;
        o.firstDay = QDate(2026, 12, 24);
        o.lastDay = QDate(2027, 1, 6);
        QVERIFY(Use(o, today));
        QCOMPARE(m_sandbox.Deliver(M("joe@example.net")), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 1);
        QCOMPARE(m_sandbox.Sent().size(), replied ? 1 : 0);
        // Outside the window the sender is not recorded, so the first mail inside still gets a reply.
        QCOMPARE(m_sandbox.FileExists(QStringLiteral(".procmail/zeph_vacation_reply.txt")), replied);
    }
};

QTEST_GUILESS_MAIN(TestVacationProcmail)
#include "tst_vacation_procmail.moc"
