// The backup recipe's texts byte for byte, the MSGPREFIX rule, and the listing of saved copies:
// which lines are copies, their date texts and the order the Date column sorts them in.
#include "core/procmail/BackupListing.h"
#include "core/procmail/BackupRecipe.h"

#include <QTest>

class TestBackupRecipe : public QObject
{
    Q_OBJECT

private slots:
    void block_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("To: or Cc:") << 0 << QByteArray("me@example.org")
                                    << QByteArray(
                                           "\n##_ZEPH_RECIPE_BEGIN_##ZEPH_Backup\n"
                                           "#  A copy of the 100 most recent messages\n"
                                           "#  addressed To: or Cc: me@example.org\n"
                                           "#  will be saved in your backup directory.\n"
                                           "#  \n"
                                           ":0c\n* ^(To|Cc):.*me@example.org\nbackup\n\n"
                                           ":0aic\n| cd backup && rm -f dummy `ls -t msg.* | sed -e 1,100d`\n"
                                           "##_ZEPH_RECIPE_END_##ZEPH_Backup\n");
        // The comment keeps the address as written; the condition matches exactly that text.
        QTest::newRow("TO_ with a plus")
            << 1 << QByteArray("me+box@example.org")
            << QByteArray("\n##_ZEPH_RECIPE_BEGIN_##ZEPH_Backup\n"
                          "#  A copy of the 100 most recent messages\n"
                          "#  addressed TO_ me+box@example.org (using the TO_ macro)\n"
                          "#  will be saved in your backup directory.\n"
                          "#  \n"
                          ":0c\n* ^TO_me\\+box@example.org\nbackup\n\n"
                          ":0aic\n| cd backup && rm -f dummy `ls -t msg.* | sed -e 1,100d`\n"
                          "##_ZEPH_RECIPE_END_##ZEPH_Backup\n");
        QTest::newRow("all messages")
            << 4 << QByteArray("me@example.org")
            << QByteArray("\n##_ZEPH_RECIPE_BEGIN_##ZEPH_Backup\n"
                          "#  A copy of the 100 most recent messages\n"
                          "#  will be saved in your backup directory.\n"
                          "#  \n"
                          ":0c\nbackup\n\n"
                          ":0ic\n| cd backup && rm -f dummy `ls -t msg.* | sed -e 1,100d`\n"
                          "##_ZEPH_RECIPE_END_##ZEPH_Backup\n");
    }
    void block()
    {
        QFETCH(int, selection);
        QFETCH(QByteArray, address);
        QFETCH(QByteArray, expected);
        QCOMPARE(BackupRecipe::BuildBlock(selection, 100, "msg.", address), expected);
    }

    void retrievalRecipe()
    {
        QCOMPARE(BackupRecipe::BuildRetrievalRecipe("me+box@example.org", "$HOME/mail/backup", "msg.", false),
            QByteArray(
                ":0hwic\n* ^From.*me\\+box@example.org\n* !^X-Loop: ZEPH backup folder\n"
                "| n=0; for f in $HOME/mail/backup/msg.*; do test $n -lt 500 || break; n=`expr $n + 1`; "
                "formail -A\"X-Loop: ZEPH backup folder\" < \"$f\" | procmail; done\n"));
        QVERIFY(BackupRecipe::BuildRetrievalRecipe("a@b", "D", "msg.", true)
                    .endsWith("done\n\n:0:\n* ^X-Loop: ZEPH backup folder\n$DEFAULT\n"));
    }

    void prefix_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("valid");
        QTest::newRow("default") << QStringLiteral("msg.") << true;
        QTest::newRow("letters digits signs") << QStringLiteral("Mail_2+x-") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("blank") << QStringLiteral("msg .") << false;
        QTest::newRow("glob") << QStringLiteral("*") << false;
        QTest::newRow("command") << QStringLiteral("x;rm") << false;
        QTest::newRow("backquote") << QStringLiteral("`id`") << false;
        QTest::newRow("slash") << QStringLiteral("../msg.") << false;
    }
    void prefix()
    {
        QFETCH(QString, prefix);
        QFETCH(bool, valid);
        QCOMPARE(BackupRecipe::IsValidPrefix(prefix), valid);
    }

    void listing()
    {
        const QList<QByteArray> lines = {
            "total 12",
            "-rw------- 1 user user 1234 Dec 31 23:59 msg.ab",
            "-rw------- 1 user user  812 Mar  3  2005 msg.cd",
            "-rw------- 1 user user  812 Foo  3  2005 msg.odd month",
            "-rw------- 1 user user  812 Jan  3  05 msg.short year",
            "drwx------ 2 user user 4096 Jan  2 10:00 msg.dir",
            "lrwxrwxrwx 1 user user    9 Jan  2 10:00 msg.link -> msg.ab",
            "-rw------- 1 user user  100 Jan  2 10:00 other.txt",
            "-rw------- 1 user user  100 Jan  2 10:00 MSG.upper",
            "-rw------- 1 user user  100 Jan  2 10:00 msg./../.procmailrc",
            "-rw------- 1 user user too few",
            "",
        };
        using Entry = BackupListing::Entry;
        QCOMPARE(
            BackupListing::Parse(lines, QStringLiteral("msg."), 0, QStringLiteral("/"), QDate(2008, 1, 15)),
            (QList<Entry> { { QStringLiteral("msg.ab"), QStringLiteral("12/31/07 23:59") },
                { QStringLiteral("msg.cd"), QStringLiteral("03/03/05 00:00") },
                { QStringLiteral("msg.odd month"), QStringLiteral("unknown") },
                { QStringLiteral("msg.short year"), QStringLiteral("unknown") } }));
        // Day first with a point, and year first with an empty separator (the slash stays).
        QCOMPARE(BackupListing::DateText(lines.at(1), 1, QStringLiteral(".-"), QDate(2008, 1, 15)),
            QStringLiteral("31.12.07 23:59"));
        QCOMPARE(BackupListing::DateText(lines.at(1), 2, QString(), QDate(2008, 12, 31)),
            QStringLiteral("08/12/31 23:59"));
    }

    // Two-digit years from 90 are 19xx: the last day of 1999 sorts before the first of 2000.
    void dateSortKey()
    {
        QVERIFY(BackupListing::DateSortKey(QStringLiteral("12/31/99 23:59"), 0)
            < BackupListing::DateSortKey(QStringLiteral("01/01/00 00:00"), 0));
        QCOMPARE(
            BackupListing::DateSortKey(QStringLiteral("31.12.07 23:59"), 1), QStringLiteral("200712312359"));
        QCOMPARE(BackupListing::DateSortKey(QStringLiteral("unknown"), 0), QStringLiteral("unknown"));
    }
};

QTEST_MAIN(TestBackupRecipe)
#include "tst_backuprecipe.moc"
