// The generated .procmailrc, unchanged, run by real procmail: it reads the recipe file through
// INCLUDERC and logs to $ZEPH_DIR/zeph.log; with logging off nothing is logged; with verbose on
// procmail's own step lines appear.
#include "core/procmail/CProcmailrcFile.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "support/ProcmailSandbox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The recipe file: a wizard recipe with extended logging, and a last one of the user's own that
// keeps every other message in the sandbox.
QByteArray recipeFile()
{
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    const QByteArray json = R"({"name": "Cheap offers", "logging": 2,
        "conditions": [{"field": 4, "entries": ["cheap"]}],
        "actions": [{"type": 9, "mailboxMode": 1, "customMailbox": "spam"}],
        "settings": {"returnAddress": "me@example.org"}})";
    if (!CRecipeDefinitionJson::FromJson(json, &definition, &settings, &error))
        qFatal("%s", qPrintable(error));
    return CRecipeFile::BuildRecipeBlock(definition.GetName(), CRecipeSummary::BuildSummaryText(definition),
               CActionBuilder::BuildRecipeText(definition, settings))
        + ":0:\nrest\n";
}

} // namespace

class TestProcmailrcProcmail : public QObject
{
    Q_OBJECT

private slots:
    void generatedFileRuns_data()
    {
        QTest::addColumn<QString>("logging");
        QTest::addColumn<QString>("verbose");
        QTest::newRow("default") << QString() << QString();
        QTest::newRow("logging off") << QStringLiteral("off") << QString();
        QTest::newRow("verbose on") << QString() << QStringLiteral("yes");
    }
    void generatedFileRuns()
    {
        QFETCH(QString, logging);
        QFETCH(QString, verbose);
        QTemporaryDir dir;
        const QString local = dir.filePath(QStringLiteral(".procmailrc"));
        CProcmailrcFile file(local);
        QFile out(local);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(out.write(CProcmailrcFile::DefaultText()) > 0);
        out.close();
        QString error;
        if (!logging.isEmpty())
            QVERIFY2(file.SetLogging(logging == QLatin1String("on"), &error), qPrintable(error));
        if (!verbose.isEmpty())
            QVERIFY2(file.SetVerbose(verbose == QLatin1String("yes"), &error), qPrintable(error));
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray rc = out.readAll();
        out.close();

        ProcmailSandbox sandbox;
        QVERIFY2(sandbox.Start(), qPrintable(sandbox.Error()));
        // The generated file replaces the sandbox's own, not a line added.
        QVERIFY(sandbox.WriteFile(QStringLiteral(".procmailrc"), rc));
        QVERIFY(sandbox.SetRecipes(recipeFile()));
        QCOMPARE(sandbox.Deliver(ProcmailSandbox::Message(
                     "joe@example.net", "user@example.org", "A cheap offer", "Buy now.\n")),
            0);
        QCOMPARE(sandbox.Deliver(
                     ProcmailSandbox::Message("ann@example.net", "user@example.org", "Lunch", "At noon?\n")),
            0);
        QCOMPARE(sandbox.Folder(QStringLiteral("spam")).size(), 1);
        QCOMPARE(ProcmailSandbox::Header(sandbox.Folder(QStringLiteral("spam")).first(), "Subject"),
            QByteArray("A cheap offer"));
        QCOMPARE(sandbox.Folder(QStringLiteral("rest")).size(), 1);

        const QByteArray log = sandbox.Log();
        if (logging == QLatin1String("off")) {
            QVERIFY2(log.isEmpty(), log.constData());
            QVERIFY(!sandbox.FileExists(QStringLiteral(".procmail/zeph.log")));
            return;
        }
        // The recipe's own LOG lines (extended logging) and procmail's abstract of both deliveries.
        QVERIFY2(log.contains("RECIPE: Cheap offers"), log.constData());
        QVERIFY2(log.contains("  Folder: spam"), log.constData());
        QVERIFY2(log.contains("  Folder: rest"), log.constData());
        const bool verboseLines = log.contains("procmail: Match on");
        QVERIFY2(verboseLines == (verbose == QLatin1String("yes")), log.constData());
    }
};

QTEST_GUILESS_MAIN(TestProcmailrcProcmail)
#include "tst_procmailrc_procmail.moc"
