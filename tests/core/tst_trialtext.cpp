#include "core/trial/MessageChanges.h"
#include "core/trial/ProcmailrcCopy.h"
#include "core/trial/RunsPrograms.h"

#include <QTest>

// The texts a dry run reads and writes around procmail: what changed in a delivered copy, which
// recipes may run where nothing isolates them, and the user's .procmailrc as the run includes it.
class TstTrialText : public QObject
{
    Q_OBJECT

private slots:
    void messageChanges_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArray>("delivered");
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("mbox storage is no change")
            << QByteArray("From: a@b.c\nSubject: s\n\nFrom the start\nbody\n")
            << QByteArray("From trial@localhost Thu Jan  1 00:00:00 1970\nFrom: a@b.c\nSubject: s\n\n"
                          ">From the start\nbody\n\n")
            << QStringList {};
        QTest::newRow("CR LF is no change")
            << QByteArray("From: a@b.c\r\nSubject: s\r\n\r\nbody\r\n")
            << QByteArray("From: a@b.c\nSubject: s\n\nbody\n") << QStringList {};
        QTest::newRow("folded field replaced")
            << QByteArray("Subject: long\n  subject\nTo: me\n\nx\n")
            << QByteArray("To: me\nSubject: [tag] long\n\nx\n")
            << QStringList { QStringLiteral(
                   "Changed header: Subject: long   subject -> Subject: [tag] long") };
        QTest::newRow("one of two fields of a name removed")
            << QByteArray("Received: one\nReceived: two\n\nx\n") << QByteArray("Received: two\n\nx\n")
            << QStringList { QStringLiteral("Removed header: Received: one") };
        QTest::newRow("two fields of a name added")
            << QByteArray("To: me\n\nx\n") << QByteArray("To: me\nX-A: 1\nX-A: 2\n\nx\n")
            << QStringList { QStringLiteral("Added header: X-A: 1"), QStringLiteral("Added header: X-A: 2") };
        QTest::newRow("body") << QByteArray("To: me\n\nhello\n") << QByteArray("To: me\n\nhello world\n")
                              << QStringList { QStringLiteral("Changed the body") };
        QTest::newRow("header cut off")
            << QByteArray("To: me\nSubject: s\n\nhello\n") << QByteArray("To: me\n")
            << QStringList { QStringLiteral("Removed header: Subject: s"),
                   QStringLiteral("Changed the body") };
    }
    void messageChanges()
    {
        QFETCH(QByteArray, given);
        QFETCH(QByteArray, delivered);
        QFETCH(QStringList, changes);
        QCOMPARE(MessageChanges(given, delivered), changes);
    }

    void runsPrograms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("runs");
        QTest::newRow("folder") << QByteArray(":0\n* ^Subject:.*x\nspam/\n") << false;
        QTest::newRow("forward") << QByteArray(":0 c\n! boss@example.com\n") << false;
        QTest::newRow("reply") << QByteArray(":0\n| formail -rt -A \"X-Loop: me\" | $SENDMAIL -oi -t\n")
                               << false;
        QTest::newRow("angle brackets in a condition") << QByteArray(":0\n* ^From:.*<a@b\\.c>\nx\n") << false;
        QTest::newRow("a commented pipe") << QByteArray("# | /bin/rm -rf x\n:0\nx\n") << false;
        QTest::newRow("other program") << QByteArray(":0\n| /usr/bin/lpr\n") << true;
        QTest::newRow("program by name") << QByteArray(":0\n| cat >> x\n") << true;
        QTest::newRow("a second command") << QByteArray(":0\n| (formail -r; cat x) | $SENDMAIL -t\n") << true;
        QTest::newRow("redirection") << QByteArray(":0\n| formail > /tmp/x\n") << true;
        QTest::newRow("backquotes") << QByteArray("S=`formail -xSubject:`\n") << true;
        QTest::newRow("exit-code condition") << QByteArray(":0\n* ? test -f x\nx\n") << true;
        QTest::newRow("absolute folder") << QByteArray(":0\n/var/mail/root\n") << true;
        QTest::newRow("absolute assignment") << QByteArray("MAILDIR=/home/bob/Mail\n") << true;
    }
    void runsPrograms()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, runs);
        QCOMPARE(RunsPrograms(text), runs);
    }

    // Line for line, so that a complaint's line number is the user's.
    void procmailrcCopyKeepsItsLines()
    {
        const QByteArray rc
            = "SHELL=/bin/sh\nZEPH_DIR=$HOME/.procmail\nNL=\"\n\"\n  LOGFILE=$ZEPH_DIR/zeph.log\n"
              "VERBOSE=no\nMAILDIR=$HOME/mail\nPATHS=kept\nINCLUDERC=$ZEPH_DIR/zeph.recipes\n";
        QCOMPARE(ProcmailrcCopy(rc),
            QByteArray("# dry run: SHELL=/bin/sh\n# dry run: ZEPH_DIR=$HOME/.procmail\nNL=\"\n\"\n"
                       "# dry run:   LOGFILE=$ZEPH_DIR/zeph.log\n# dry run: VERBOSE=no\n# dry run: "
                       "MAILDIR=$HOME/mail\n"
                       "PATHS=kept\nINCLUDERC=$ZEPH_DIR/zeph.recipes\n"));
    }
};

QTEST_GUILESS_MAIN(TstTrialText)
#include "tst_trialtext.moc"
