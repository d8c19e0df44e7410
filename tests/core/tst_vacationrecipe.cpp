// The vacation recipe's text byte for byte, with and without a date window, the response file's
// remote name and the date check.
#include "core/procmail/VacationRecipe.h"

#include <QTest>

class TestVacationRecipe : public QObject
{
    Q_OBJECT

    static VacationRecipe::Options Base()
    {
        VacationRecipe::Options o;
        o.address = "me@example.org";
        o.returnAddress = "<me@example.org>";
        o.name = "Test User";
        o.localPath = "/home/me/away.txt";
        o.remoteName = "away.txt";
        return o;
    }

private slots:
    void block_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<bool>("oldProcmail");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("To: or Cc:, no dates")
            << 0 << false << QDate() << QDate()
            << QByteArray("\n##_ZEPH_RECIPE_BEGIN_##ZEPH_Vacation\n"
                          "#  If there is a \"To:\" or \"Cc:\" header containing the string:\n"
                          "#  me@example.org\n"
                          "#  \n"
                          "#  procmail will send a reply using\n"
                          "#  /home/me/away.txt\n"
                          "#  as your response.  This is a vacation recipe so it will only\n"
                          "#  send one reply to each address.\n"
                          "#  \n"
                          ":0\n* ^(To|Cc):.*me@example.org\n{\n"
                          "\tREPLY_TO=`formail -rtzxTo:`\n"
                          "\t:0\n"
                          "\t* !^X-Loop: me@example.org\n"
                          "\t* !^FROM_DAEMON\n"
                          "\t* ! ? fgrep -ix \"$REPLY_TO\" $ZEPH_DIR/zeph_vacation_reply.txt\n"
                          "\t{\n"
                          "\t\t:0hciw:\n"
                          "\t\t| echo \"$REPLY_TO\" >> $ZEPH_DIR/zeph_vacation_reply.txt\n\n"
                          "\t\t:0hacw\n"
                          "\t\t| (formail -r -A\"X-Loop: me@example.org\" \\\n"
                          "\t\t-I\"From: Test User's Mailer-Daemon <me@example.org>\" \\\n"
                          "\t\t-I\"Precedence: junk\" ; \\\n"
                          "\t\tcat $ZEPH_DIR/away.txt \\\n"
                          "\t\t) | $SENDMAIL $SENDMAILFLAGS -t\n"
                          "\t}\n"
                          "}\n"
                          "##_ZEPH_RECIPE_END_##ZEPH_Vacation\n");
        QTest::newRow("all messages, old procmail, both dates")
            << 4 << true << QDate(2026, 12, 24) << QDate(2027, 1, 6)
            << QByteArray("\n##_ZEPH_RECIPE_BEGIN_##ZEPH_Vacation\n"
                          "#  On all messages, procmail will send a reply using\n"
                          "#  /home/me/away.txt\n"
                          "#  as your response.  This is a vacation recipe so it will only\n"
                          "#  send one reply to each address.\n"
                          "#  \n"
                          "REPLY_TO=`formail -rtzxTo:`\n"
                          ":0\n"
                          "* !^X-Loop: me@example.org\n"
                          "* !^FROM_DAEMON\n"
                          "* ? test `date +%Y%m%d` -ge 20261224\n"
                          "* ? test `date +%Y%m%d` -le 20270106\n"
                          "* ! ? fgrep -ix \"$REPLY_TO\" $ZEPH_DIR/zeph_vacation_reply.txt\n"
                          "{\n"
                          "\t:0hciw:\n"
                          "\t| echo \"$REPLY_TO\" >> $ZEPH_DIR/zeph_vacation_reply.txt\n\n"
                          "\t:0hacw\n"
                          "\t| (formail -rt -A\"X-Loop: me@example.org\" \\\n"
                          "\t-I\"From: Test User's Mailer-Daemon <me@example.org>\" \\\n"
                          "\t-I\"Precedence: junk\" ; \\\n"
                          "\tcat $ZEPH_DIR/away.txt \\\n"
                          "\t) | $SENDMAIL $SENDMAILFLAGS -t\n"
                          "}\n"
                          "##_ZEPH_RECIPE_END_##ZEPH_Vacation\n");
    }
    void block()
    {
        QFETCH(int, selection);
        QFETCH(bool, oldProcmail);
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(QByteArray, expected);
        VacationRecipe::Options o = Base();
        o.selection = selection;
        o.oldProcmail = oldProcmail;
        o.firstDay = first;
        o.lastDay = last;
        QCOMPARE(VacationRecipe::BuildBlock(o), expected);
    }

    // Only the first or only the last day adds just that one line; an empty return address falls
    // back to the placeholder in the loop marker and the From: line.
    void partsOfTheBlock()
    {
        VacationRecipe::Options o = Base();
        o.selection = 3;
        o.lastDay = QDate(2027, 1, 6);
        o.returnAddress = "<>";
        const QByteArray block = VacationRecipe::BuildBlock(o);
        QVERIFY(block.contains("* ^To:.*me@example.org\n"));
        QVERIFY(block.contains("\t* !^FROM_DAEMON\n\t* ? test `date +%Y%m%d` -le 20270106\n\t* ! ? fgrep"));
        QVERIFY(!block.contains("-ge"));
        QVERIFY(block.contains("\t* !^X-Loop: you@example.com\n"));
        QVERIFY(block.contains("Mailer-Daemon <you@example.com>"));
    }

    void remoteName_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("remote");
        QTest::newRow("plain") << QStringLiteral("/home/me/away.txt") << QStringLiteral("away.txt");
        QTest::newRow("blank and quote")
            << QStringLiteral("/home/me/I'm away now.txt") << QStringLiteral("I_m_away_now.txt");
        QTest::newRow("every special")
            << QStringLiteral("/x/a<>'\"*{}^![]#|&()$?~ b") << QStringLiteral("a____________________b");
        // The name goes unquoted into "cat" on the host: a backquote or ';' would run a command.
        QTest::newRow("command characters")
            << QStringLiteral("/x/a`id`;b\tc\x7f.txt") << QStringLiteral("a_id__b_c_.txt");
        QTest::newRow("backslash separates")
            << QStringLiteral("C:\\docs\\away.txt") << QStringLiteral("away.txt");
        QTest::newRow("folder with blanks") << QStringLiteral("/my docs/r.txt") << QStringLiteral("r.txt");
    }
    void remoteName()
    {
        QFETCH(QString, local);
        QFETCH(QString, remote);
        QCOMPARE(VacationRecipe::RemoteName(local), remote);
    }

    // The preview shows the headers the recipe sets (checked against a real reply in the GUI
    // tier) and the response text as it is.
    void preview()
    {
        VacationRecipe::Options o = Base();
        QCOMPARE(VacationRecipe::PreviewReply(o, "Away.\n"),
            QByteArray("From: Test User's Mailer-Daemon <me@example.org>\n"
                       "To: (the sender)\n"
                       "Subject: Re: (the subject of the sender's message)\n"
                       "X-Loop: me@example.org\n"
                       "Precedence: junk\n"
                       "\n"
                       "Away.\n"));
        o.returnAddress = "";
        QVERIFY(VacationRecipe::PreviewReply(o, "").contains("X-Loop: you@example.com\n"));
    }

    void dates()
    {
        const QDate a(2026, 12, 24);
        QVERIFY(VacationRecipe::CheckDates(a, a).isEmpty());
        QVERIFY(VacationRecipe::CheckDates(a, QDate()).isEmpty());
        QVERIFY(VacationRecipe::CheckDates(QDate(), a).isEmpty());
        QVERIFY(!VacationRecipe::CheckDates(a, a.addDays(-1)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVacationRecipe)
#include "tst_vacationrecipe.moc"
