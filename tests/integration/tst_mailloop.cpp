// The test host itself: mail sent to the user through the SMTP server reaches real procmail as
// that user with the .procmailrc the FTP server stores, and what procmail sends to the user comes
// back in through the SMTP server.
#include "core/procmail/CProcmailrcFile.h"
#include "support/MailLoop.h"

#include <QTest>

class TestMailLoop : public QObject
{
    Q_OBJECT

private slots:
    void mailReachesProcmailAndRepliesComeBack()
    {
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        const QByteArray me = loop.Address();

        // ZEPH's own template decides, as it would after an upload: it names no SENDMAIL or
        // DEFAULT of its own.
        QVERIFY(loop.Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText() + "\n"));
        QVERIFY(loop.Host().SetRecipes(":0\n* ^Subject: cheap\nspam\n\n"
                                       ":0 c\n* ^Subject: ping\n* !^X-Loop: "
            + me + "\n| formail -rt -A \"X-Loop: " + me + "\" -I \"Subject: pong\" | $SENDMAIL -oi -t\n"));

        QVERIFY2(loop.MailYourself("cheap offer", "Buy.\n"), qPrintable(loop.Error()));
        QVERIFY2(loop.MailYourself("ping", "Are you there?\n"), qPrintable(loop.Error()));

        // The ping and the reply it caused (fed back once, stopped by its X-Loop line), each
        // delivered by procmail without a complaint; the offer went to its folder.

        QCOMPARE(loop.Deliveries(), (QList<int> { 0, 0, 0 }));
        const QList<QByteArray> spam = loop.Host().Folder(QStringLiteral("spam"));
        QCOMPARE(spam.size(), 1);
        QCOMPARE(ProcmailSandbox::Body(spam.first()), QByteArray("Buy.\n"));
        const QList<QByteArray> inbox = loop.Inbox();
        QCOMPARE(inbox.size(), 2);
        // procmail's clone delivers the ping while the reply travels: either may come first.
        const bool pongFirst = ProcmailSandbox::Header(inbox.at(0), "Subject") == "pong";
        const QByteArray& pong = inbox.at(pongFirst ? 0 : 1);
        const QByteArray& ping = inbox.at(pongFirst ? 1 : 0);
        QCOMPARE(ProcmailSandbox::Header(pong, "Subject"), QByteArray("pong"));
        QCOMPARE(ProcmailSandbox::Header(pong, "X-Loop"), me);
        QCOMPARE(ProcmailSandbox::Header(ping, "Subject"), QByteArray("ping"));
        QCOMPARE(ProcmailSandbox::Body(ping), QByteArray("Are you there?\n"));
        QCOMPARE(loop.Host().Sent().size(), 1);
        QVERIFY(loop.Host().Sent().first().arguments.contains(QStringLiteral("-t")));
    }

    // Whatever procmail sends reaches the stub and nothing else: the SENDMAIL of a procmail that a
    // recipe starts (which clears its environment and falls back to its built-in
    // /usr/sbin/sendmail), and a .procmailrc that names that path itself.
    void everySendmailIsTheStub_data()
    {
        QTest::addColumn<QByteArray>("procmailrc");
        QTest::newRow("procmail started by a recipe")
            << QByteArray("LOGFILE=$HOME/log\n:0\n* !^X-Child: yes\n| formail -A \"X-Child: yes\" | procmail "
                          "$HOME/child.rc\n");
        QTest::newRow("procmailrc names the path")
            << QByteArray("LOGFILE=$HOME/log\nSENDMAIL=/usr/sbin/sendmail\n:0\n! elsewhere@example.net\n");
    }
    void everySendmailIsTheStub()
    {
        QFETCH(QByteArray, procmailrc);
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        QVERIFY(loop.Host().WriteFile(
            QStringLiteral("child.rc"), "LOGFILE=$HOME/log\n:0\n! elsewhere@example.net\n"));
        QVERIFY(loop.Host().WriteFile(QStringLiteral(".procmailrc"), procmailrc));
        QVERIFY2(loop.MailYourself("forward me", "Body.\n"), qPrintable(loop.Error()));
        const QList<ProcmailSandbox::SentMail> sent = loop.Host().Sent();
        QVERIFY2(sent.size() == 1, loop.Host().ReadFile(QStringLiteral("log")).constData());
        QVERIFY(sent.first().arguments.contains(QStringLiteral("elsewhere@example.net")));
        QVERIFY(ProcmailSandbox::Body(sent.first().message).startsWith("Body.\n"));
        QCOMPARE(loop.Deliveries(), QList<int> { 0 });
    }

    // A recipe cannot reach any network, not even the SMTP server's port on this machine.
    void deliveryHasNoNetwork()
    {
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        QVERIFY(loop.Host().WriteFile(QStringLiteral(".procmailrc"),
            ":0 c\n| /bin/bash -c 'if echo > /dev/tcp/127.0.0.1/" + QByteArray::number(loop.Smtp().Port())
                + "; then echo reached; else echo blocked; fi > $HOME/net'\n"));
        QVERIFY2(loop.MailYourself("hello", "Body.\n"), qPrintable(loop.Error()));
        QCOMPARE(loop.Host().ReadFile(QStringLiteral("net")), QByteArray("blocked\n"));
        QCOMPARE(loop.Inbox().size(), 1);
    }

    void mailForOthersIsNotDeliveredHere()
    {
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        QVERIFY(loop.Send(loop.Address(), { "someone@example.net" },
            ProcmailSandbox::Message(loop.Address(), "someone@example.net", "Hi", "x\n")));
        QVERIFY(loop.Deliveries().isEmpty());
        QVERIFY(loop.Inbox().isEmpty());
        QCOMPARE(loop.Smtp().Messages().size(), 1);
    }
};

QTEST_MAIN(TestMailLoop)
#include "tst_mailloop.moc"
