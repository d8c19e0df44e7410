#include "ProcmailSandbox.h"
#include "TestSleeper.h"
#include "ZephCli.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/trial/CTrialRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Block(const QByteArray& name, const QByteArray& body)
{
    return CRecipeFile::BuildRecipeBlock(name, "made by the wizard", body);
}

// A block as the wizard writes it, from its JSON definition.
QByteArray WizardBlock(const QByteArray& json)
{
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    if (!CRecipeDefinitionJson::FromJson(json, &definition, &settings, &error))
        qFatal("%s", qPrintable(error));
    return CRecipeFile::BuildRecipeBlock(definition.GetName(), CRecipeSummary::BuildSummaryText(definition),
        CActionBuilder::BuildRecipeText(definition, settings));
}

// Hand-written lines outside any block, lines 9 to 11 of the file below: the engine names them by
// their lines.
const QByteArray kHandWritten = ":0\n* ^Subject:.*invoice\nbilling\n";

// Built on use: the block markers are other statics.
QByteArray Recipes()
{
    return Block("Spam", ":0\n* ^Subject:.*cheap\nspam\n") + kHandWritten
        + Block("Friends", ":0\n* ^From:.*joe@example\\.net\n* ^To:.*me@example\\.org\nfriends/\n")
        + WizardBlock(R"({"name": "Boss", "conditions": [{"field": 2, "entries": ["boss@example.com"]}],
            "actions": [{"type": 7, "forwardAddresses": ["pa@example.net"], "copy": true}],
            "settings": {"returnAddress": "me@example.org", "name": "Me"}})");
}

QByteArray Message(const QByteArray& from, const QByteArray& subject)
{
    return "From: " + from + "\nTo: me@example.org\nSubject: " + subject + "\n\nHello\n";
}

} // namespace

class TstTrialRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString missing = CTrialRun::Unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
    }

    void matchesAgreeWithProcmail_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QList<QByteArray>>("matched");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("sentTo");
        QTest::newRow("wizard recipe") << Message("ann@example.com", "cheap pills")
                                       << QList<QByteArray> { "Spam" } << "spam" << QStringList {};
        QTest::newRow("hand-written group")
            << Message("ann@example.com", "Your invoice") << QList<QByteArray> { "lines 9-11" } << "billing"
            << QStringList {};
        QTest::newRow("two conditions") << Message("joe@example.net", "lunch")
                                        << QList<QByteArray> { "Friends" } << "friends/" << QStringList {};
        QTest::newRow("one of two conditions")
            << Message("joe@example.com", "lunch") << QList<QByteArray> {} << "inbox" << QStringList {};
        QTest::newRow("wizard forward of a copy")
            << Message("boss@example.com", "plan") << QList<QByteArray> { "Boss" } << "inbox"
            << QStringList { QStringLiteral("pa@example.net") };
        QTest::newRow("nothing") << Message("ann@example.com", "hello") << QList<QByteArray> {} << "inbox"
                                 << QStringList {};
    }
    void matchesAgreeWithProcmail()
    {
        QFETCH(QByteArray, message);
        QFETCH(QList<QByteArray>, matched);
        QFETCH(QString, folder);
        QFETCH(QStringList, sentTo);
        CTrialRun::Result result;
        QString error;
        QVERIFY2(CTrialRun::Run(Recipes(), message, &result, &error), qPrintable(error));
        QVERIFY2(result.errors.isEmpty(), qPrintable(result.errors.join(u'\n')));
        QCOMPARE(result.matched, matched);
        QCOMPARE(result.recipes.size(), 4);
        QCOMPARE(result.recipes[1].name, QByteArray("lines 9-11"));
        QVERIFY(result.recipes[1].handWritten && !result.recipes[0].handWritten);
        QCOMPARE(
            std::make_pair(result.recipes[2].firstLine, result.recipes[2].lastLine), std::make_pair(13, 20));
        for (const CTrialRun::Recipe& recipe : std::as_const(result.recipes))
            QCOMPARE(recipe.matched, matched.contains(recipe.name));
        QCOMPARE(result.deliveries.size(), 1);
        QVERIFY2(result.deliveries[0].folder.startsWith(folder), qPrintable(result.deliveries[0].folder));
        QVERIFY(result.deliveries[0].bytes >= message.size());
        QCOMPARE(result.sent.size(), sentTo.isEmpty() ? 0 : 1);
        if (!sentTo.isEmpty())
            QCOMPARE(result.sent[0].to, sentTo);

        ProcmailSandbox sandbox;
        if (!sandbox.Start())
            QSKIP(qPrintable(sandbox.Error()));
        QVERIFY(sandbox.SetRecipes(Recipes()));
        QCOMPARE(sandbox.Deliver(message), 0);
        QString sandboxFolder = folder;
        if (sandboxFolder.endsWith(u'/'))
            sandboxFolder.chop(1);
        QCOMPARE(sandbox.Folder(sandboxFolder).size(), 1);
        const QList<ProcmailSandbox::SentMail> sent = sandbox.Sent();
        QCOMPARE(sent.size(), result.sent.size());
        for (const QString& to : std::as_const(sentTo))
            QVERIFY(sent[0].arguments.contains(to));
    }

    // No SMTP server runs here: what is sent can only have reached the stub.
    void forwardAndReplyAreRecordedNotSent()
    {
        const QByteArray recipes = Block("Forward", ":0 c\n! boss@example.com\n")
            + Block("Reply", ":0 c\n| formail -rt -A \"X-Loop: me\" | $SENDMAIL -t\n");
        CTrialRun::Result result;
        QString error;
        QVERIFY2(CTrialRun::Run(recipes, Message("joe@example.net", "report"), &result, &error),
            qPrintable(error));
        QCOMPARE(result.matched, (QList<QByteArray> { "Forward", "Reply" }));
        QCOMPARE(result.sent.size(), 2);
        bool forward = false, reply = false;
        for (const CTrialRun::SentMail& mail : std::as_const(result.sent)) {
            if (mail.to == QStringList { QStringLiteral("boss@example.com") }) {
                forward = mail.subject == QLatin1String("report");
            } else {
                reply = mail.to.join(u',').contains(QLatin1String("joe@example.net"))
                    && mail.subject == QLatin1String("Re: report") && mail.text.contains("X-Loop: me");
            }
        }
        QVERIFY(forward);
        QVERIFY(reply);
        QCOMPARE(result.deliveries.size(), 1);
        QVERIFY2(result.deliveries[0].folder.endsWith(QLatin1String("inbox")),
            qPrintable(result.deliveries[0].folder));
    }

    // ZEPH's .procmailrc sets its own log, VERBOSE=no and MAILDIR; the run must still see every
    // recipe, deliver inside its throwaway home and report an include the host would miss.
    void goesThroughTheUsersProcmailrc()
    {
        CTrialRun::Request request;
        request.recipes = Recipes();
        request.procmailrc = CProcmailrcFile::DefaultText();
        request.message = Message("ann@example.com", "cheap pills");
        CTrialRun::Result result;
        QString error;
        QVERIFY2(CTrialRun::Run(request, &result, &error), qPrintable(error));
        QVERIFY2(result.errors.isEmpty(), qPrintable(result.errors.join(u'\n')));
        QCOMPARE(result.matched, QList<QByteArray> { "Spam" });
        QCOMPARE(result.deliveries.size(), 1);
        QCOMPARE(result.deliveries[0].folder, QStringLiteral("spam"));

        request.procmailrc += "\nINCLUDERC=$ZEPH_DIR/spamfilters.rc\n";
        request.message = Message("ann@example.com", "hello");
        QVERIFY2(CTrialRun::Run(request, &result, &error), qPrintable(error));
        QVERIFY2(result.errors.join(u'\n').contains(QLatin1String("spamfilters.rc")),
            qPrintable(result.errors.join(u'\n')));
    }

    // A filter's changes are read from the copy procmail delivered.
    void changesOfTheDeliveredCopy()
    {
        const QByteArray recipes
            = Block("Tag", ":0 fhw\n| formail -I \"Subject: [tagged] news\" -A \"X-Tag: yes\"\n")
            + Block("Keep", ":0\nkept\n");
        CTrialRun::Result result;
        QString error;
        QVERIFY2(
            CTrialRun::Run(recipes, Message("ann@example.com", "news"), &result, &error), qPrintable(error));
        QCOMPARE(result.matched, (QList<QByteArray> { "Tag", "Keep" }));
        QCOMPARE(result.deliveries.size(), 1);
        QCOMPARE(result.deliveries[0].folder, QStringLiteral("kept"));
        QCOMPARE(result.deliveries[0].changes,
            (QStringList { QStringLiteral("Changed header: Subject: news -> Subject: [tagged] news"),
                QStringLiteral("Added header: X-Tag: yes") }));
    }

    // Where nothing isolates procmail, a recipe that runs another program is left out and named.
    void withoutNamespacesOnlySafeRecipesRun()
    {
        QTemporaryDir dir;
        const QByteArray ran = QFile::encodeName(dir.filePath(QStringLiteral("ran")));
        CTrialRun::Request request;
        request.recipes = Block("Print", ":0 c\n| /bin/touch " + ran + "\n")
            + Block("Forward", ":0 c\n! boss@example.com\n")
            + Block("File", ":0\n* ^Subject:.*report\nreports\n");
        request.message = Message("joe@example.net", "report");
        request.mayIsolate = false;
        CTrialRun::Result result;
        QString error;
        QVERIFY2(CTrialRun::Run(request, &result, &error), qPrintable(error));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("ran"))));
        QVERIFY(!result.recipes[0].tried && result.recipes[1].tried && result.recipes[2].tried);
        QVERIFY2(result.note.contains(QLatin1String("were not tried: Print.")), qPrintable(result.note));
        QCOMPARE(result.matched, (QList<QByteArray> { "Forward", "File" }));
        QCOMPARE(result.sent.size(), 1);
        QCOMPARE(result.deliveries.size(), 1);
        QCOMPARE(result.deliveries[0].folder, QStringLiteral("reports"));
    }

    // A recipe with an absolute path into the user's real home writes nothing there.
    void realHomeIsOutOfReach()
    {
        if (!CTrialRun::NamespacesWork())
            QSKIP("no private namespaces on this computer");
        const QString target
            = QDir::homePath() + QStringLiteral("/zeph-trial-%1").arg(QCoreApplication::applicationPid());
        QVERIFY(!QFileInfo::exists(target));
        CTrialRun::Result result;
        QString error;
        QVERIFY2(CTrialRun::Run(Block("Home", ":0\n" + QFile::encodeName(target) + "\n"),
                     Message("a@b.c", "x"), &result, &error),
            qPrintable(error));
        QCOMPARE(result.deliveries.size(), 1);
        QCOMPARE(result.deliveries[0].folder, target);
        QVERIFY(!QFileInfo::exists(target));
    }

    // A recipe without its action: procmail takes the next line for one, and the run must do
    // what the host does, not take its own marker for a folder.
    void unfinishedRecipesAsOnTheHost_data()
    {
        QTest::addColumn<QByteArray>("recipes");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("complainer"); // the recipe that draws "Missing action"
        QTest::newRow("block before a block")
            << Block("Broken", ":0\n* ^Subject:.*news\n") + Block("Next", ":0\n* ^Subject\nnext\n") << "next"
            << 0;
        QTest::newRow("block that does not match before a block")
            << Block("Broken", ":0\n* ^Subject:.*never\n") + Block("Next", ":0\n* ^Subject\nnext\n") << "next"
            << 0;
        QTest::newRow("hand-written, empty line before the next recipe")
            << QByteArray(":0\n* ^Subject:.*news\n\n:0\n* ^Subject\nhand\n") << "hand" << 0;
        QTest::newRow("last block") << Block("Next", ":0\n* ^From:.*nobody\nnext\n")
                + Block("Broken", ":0\n* ^Subject:.*news\n")
                                    << "inbox" << 1;
    }
    void unfinishedRecipesAsOnTheHost()
    {
        QFETCH(QByteArray, recipes);
        QFETCH(QString, folder);
        QFETCH(int, complainer);
        const QByteArray message = Message("ann@example.com", "news");
        CTrialRun::Result result;
        QString error;
        QVERIFY2(CTrialRun::Run(recipes, message, &result, &error), qPrintable(error));
        QCOMPARE(result.deliveries.size(), 1);
        QCOMPARE(result.deliveries[0].folder, folder);
        QVERIFY2(result.recipes[complainer].complaints.join(u'\n').contains(QLatin1String("Missing action"))
                || result.recipes[complainer].complaints.join(u'\n').contains(
                    QLatin1String("Incomplete recipe")),
            qPrintable(result.errors.join(u'\n')));

        ProcmailSandbox sandbox;
        if (!sandbox.Start())
            QSKIP(qPrintable(sandbox.Error()));
        QVERIFY(sandbox.SetRecipes(recipes));
        QCOMPARE(sandbox.Deliver(message), 0);
        QCOMPARE(sandbox.Folder(folder).size(), 1);
    }

    void complaintsAreReported()
    {
        CTrialRun::Result result;
        QString error;
        QVERIFY(CTrialRun::Run(
            Block("Broken", ":0\n* ^Subject:.*x\n{\n"), Message("a@b.c", "x"), &result, &error));
        QVERIFY2(!result.errors.isEmpty(), "an unclosed brace must draw a complaint");
        QCOMPARE(result.recipes.size(), 1);
        QCOMPARE(result.recipes[0].complaints, result.errors);
    }

    // procmail does not wait for this pipe; its reply must still be recorded.
    void replyOfAnUnwaitedPipeIsRecorded()
    {
        CTrialRun::Result result;
        QString error;
        QVERIFY2(CTrialRun::Run(Block("Late", ":0\n| /bin/sleep 0.5; formail -rt | $SENDMAIL -oi -t\n"),
                     Message("joe@example.net", "late"), &result, &error),
            qPrintable(error));
        QCOMPARE(result.sent.size(), 1);
        QCOMPARE(result.sent[0].to, QStringList { QStringLiteral("joe@example.net") });
    }

    // A recipe that never ends is stopped at the time limit, with everything it started.
    void overrunIsStoppedWithWhatItStarted()
    {
        const TestSleeper sleeper(47);
        CTrialRun::Result result;
        QString error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!CTrialRun::Run(Block("Stuck", ":0 w\n| " + sleeper.Command() + "\n"), Message("a@b.c", "x"),
            &result, &error, 1000));
        QVERIFY2(timer.elapsed() < 8000, "the time limit must hold");
        QCOMPARE(error, QStringLiteral("procmail did not finish within 1 seconds and was stopped."));
        QTRY_VERIFY_WITH_TIMEOUT(!sleeper.Running(), 3000);
    }

    void cliPrintsTheContractKeys()
    {
        QTemporaryDir dir;
        const QString recipes = dir.filePath(QStringLiteral("zeph.recipes"));
        const QString message = dir.filePath(QStringLiteral("m.eml"));
        QFile r(recipes), m(message);
        QVERIFY(r.open(QIODevice::WriteOnly) && r.write(Block("Spam", ":0\n* ^Subject:.*cheap\nspam\n")) > 0);
        QVERIFY(m.open(QIODevice::WriteOnly) && m.write(Message("ann@example.com", "cheap")) > 0);
        r.close();
        m.close();
        const ZephCliRun run
            = RunZephCli({ QStringLiteral("try"), recipes, message, QStringLiteral("--json") });
        QCOMPARE(run.code, 0);
        // Fixed text: the message is 63 bytes, the mbox folder adds the 46-byte From line and a
        // blank line.
        QCOMPARE(QJsonDocument::fromJson(run.out),
            QJsonDocument::fromJson(
                R"({"matched":["Spam"],"deliveries":[{"folder":"spam","bytes":110}],"sent":[],"errors":[]})"));

        // The text form, through ZEPH's .procmailrc.
        const QString rc = dir.filePath(QStringLiteral("procmailrc"));
        QFile rcFile(rc);
        QVERIFY(rcFile.open(QIODevice::WriteOnly) && rcFile.write(CProcmailrcFile::DefaultText()) > 0);
        rcFile.close();
        const ZephCliRun text
            = RunZephCli({ QStringLiteral("try"), QStringLiteral("--procmailrc"), rc, recipes, message });
        QCOMPARE(text.code, 0);
        QCOMPARE(text.out, QByteArray("matched: Spam\ndelivered: spam (110 bytes)\n"));

        const ZephCliRun missing
            = RunZephCli({ QStringLiteral("try"), recipes, dir.filePath(QStringLiteral("none")) });
        QCOMPARE(missing.code, 1);
        QVERIFY(missing.err.contains("cannot read"));
        QCOMPARE(RunZephCli({ QStringLiteral("try"), recipes }).code, 2);
    }

    // On a computer without procmail nothing runs, and the user is told which package to install.
    // procmail is hidden from one zeph-cli run by mounting an empty device over it, in a mount
    // namespace of that run alone.
    void withoutProcmailTheUserIsTold()
    {
        if (!CTrialRun::NamespacesWork())
            QSKIP("no private namespaces on this computer");
        QTemporaryDir dir;
        const QString recipes = dir.filePath(QStringLiteral("recipes"));
        const QString message = dir.filePath(QStringLiteral("message"));
        QFile r(recipes);
        QFile m(message);
        QVERIFY(r.open(QIODevice::WriteOnly) && r.write(Block("Spam", ":0\n* ^Subject:.*cheap\nspam\n")) > 0);
        QVERIFY(m.open(QIODevice::WriteOnly) && m.write(Message("ann@example.com", "cheap")) > 0);
        r.close();
        m.close();
        const QString procmail = QFileInfo(QStringLiteral("/usr/bin/procmail")).canonicalFilePath();
        QVERIFY(!procmail.isEmpty());
        QProcess run;
        run.start(QStringLiteral("unshare"),
            { QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                QStringLiteral("mount --bind /dev/null \"$1\" && exec \"$2\" try \"$3\" \"$4\""),
                QStringLiteral("sh"), procmail, QStringLiteral(ZEPH_CLI_PATH), recipes, message });
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 1);
        QCOMPARE(run.readAllStandardOutput(), QByteArray());
        QCOMPARE(run.readAllStandardError(),
            QByteArray(
                "zeph-cli: procmail is not installed on this computer (Debian package \"procmail\").\n"));
    }
};

QTEST_GUILESS_MAIN(TstTrialRun)
#include "tst_trialrun.moc"
