// "Why did this land here?" on a log that real procmail wrote: the logged mail runs through the
// recipes as they are now, and the window shows where the log says it went next to where the
// recipes would put it today.
#include "core/common/Prompt.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/trial/SampleMessage.h"
#include "core/trial/TrialRecipes.h"
#include "core/workspace/Workspace.h"
#include "gui/common/IShell.h"
#include "gui/log/CLogDisplayView.h"
#include "gui/log/LogViewerRegistration.h"
#include "gui/trial/CTrialResultView.h"
#include "gui/trial/CWhyLandedDlg.h"
#include "gui/trial/TrialCommands.h"
#include "support/ProcmailSandbox.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

QByteArray Block(const QByteArray& name, int field, const QByteArray& word, const QByteArray& mailbox)
{
    const QByteArray json = "{\"name\": \"" + name + "\", \"logging\": 2, \"conditions\": [{\"field\": "
        + QByteArray::number(field) + ", \"entries\": [\"" + word
        + "\"]}], \"actions\": [{\"type\": 9, \"mailboxMode\": 1, \"customMailbox\": \"" + mailbox
        + "\"}], \"settings\": {\"returnAddress\": \"me@example.org\"}}";
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    if (!CRecipeDefinitionJson::FromJson(json, &definition, &settings, &error))
        qWarning("%s", qPrintable(error));
    return CRecipeFile::BuildRecipeBlock(definition.GetName(), CRecipeSummary::BuildSummaryText(definition),
        CActionBuilder::BuildRecipeText(definition, settings));
}

// What the recipes were when the mail came, and what they are after the list moved to "archive".
QByteArray RecipesThen()
{
    return Block("Lists", CRecipeCondition::From, "list@example\\\\.org", "lists")
        + Block("Friends", CRecipeCondition::From, "joe@example\\\\.net", "friends")
        + Block("Unsubscribe", CRecipeCondition::Body, "unsubscribe", "junk");
}

QByteArray RecipesNow()
{
    return Block("Lists", CRecipeCondition::From, "list@example\\\\.org", "archive")
        + Block("Friends", CRecipeCondition::From, "joe@example\\\\.net", "friends")
        + Block("Unsubscribe", CRecipeCondition::Body, "unsubscribe", "junk");
}

QStringList Rows(const CTrialResultView* view)
{
    QStringList rows;
    for (int i = 0; i < view->Recipes()->topLevelItemCount(); ++i)
        rows << view->Recipes()->topLevelItem(i)->text(0) + u'=' + view->Recipes()->topLevelItem(i)->text(1);
    return rows;
}

} // namespace

class TestWhyLanded : public QObject
{
    Q_OBJECT

    GuiTestFixture m_fixture { QStringLiteral("WhyLanded") };
    ProcmailSandbox m_sandbox;
    QString m_logPath;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sandbox.Start(), qPrintable(m_sandbox.Error()));
        m_fixture.Init();
        QVERIFY(m_sandbox.SetRecipes(RecipesThen()));
        const QList<QByteArray> messages = {
            ProcmailSandbox::Message("list@example.org", "me@example.org", "news", "Weekly news.\n"),
            ProcmailSandbox::Message("joe@example.net", "me@example.org", "lunch", "At noon?\n"),
            ProcmailSandbox::Message("ann@example.com", "me@example.org", "hi", "Please unsubscribe me.\n"),
        };
        for (const QByteArray& message : messages)
            QCOMPARE(m_sandbox.Deliver(message), 0);
        QCOMPARE(m_sandbox.Folder(u"lists"_s).size(), 1);
        QCOMPARE(m_sandbox.Folder(u"junk"_s).size(), 1);
        m_logPath = m_fixture.Docs() + u"zeph.log"_s;
        QFile log(m_logPath);
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(m_sandbox.Log());
        log.close();
        // The recipes changed after the mail came.
        QFile recipes(Workspace::GetRecipeFilePath());
        QVERIFY(recipes.open(QIODevice::WriteOnly));
        recipes.write(RecipesNow());
    }

    void init() { Prompt::ClearHistory(); }

    void logBesideTheRecipesNow_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("loggedFolder");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("verdict");
        const QString body = u"  Some recipes test the message body, which the log does not hold; their "
                             u"answer is unknown."_s;
        QTest::newRow("changed since: the list now goes to archive")
            << u"news"_s << u"lists"_s
            << QStringList { u"Lists=Matched"_s, u"Friends=Not matched"_s, u"Unsubscribe=Unknown"_s }
            << u"The log says this message went to lists, but the recipes would now put it in archive."_s
                + body;
        QTest::newRow("unchanged")
            << u"lunch"_s << u"friends"_s
            << QStringList { u"Lists=Not matched"_s, u"Friends=Matched"_s, u"Unsubscribe=Unknown"_s }
            << u"The recipes would still put this message in friends, as the log says."_s + body;
        // The body that sent it to junk is not in the log: the run cannot repeat it.
        QTest::newRow("decided by the body")
            << u"hi"_s << u"junk"_s
            << QStringList { u"Lists=Not matched"_s, u"Friends=Not matched"_s, u"Unsubscribe=Unknown"_s }
            << u"The log says this message went to junk, but the recipes would now put it in inbox."_s + body;
    }

    void logBesideTheRecipesNow()
    {
        QFETCH(QString, subject);
        QFETCH(QString, loggedFolder);
        QFETCH(QStringList, rows);
        QFETCH(QString, verdict);

        MainWindowWithEditor window;
        RegisterLogViewer(window.Shell());
        InstallMessageTrial(window.Shell());
        auto* view
            = qobject_cast<CLogDisplayView*>(window.Shell().OpenDocument(m_logPath, DocumentKind::Log));
        QVERIFY(view);
        const QAbstractItemModel* model = view->List()->model();
        int row = -1;
        for (int i = 0; i < model->rowCount(); ++i)
            if (model->index(i, CLogEntry::SubjectColumn).data().toString() == subject)
                row = i;
        QVERIFY2(row >= 0, "the log holds the entry");
        view->List()->selectRow(row);

        QString shownVerdict;
        QStringList shownRows;
        bool loggedFolderShown = false;
        WhenModal<CWhyLandedDlg>([&](CWhyLandedDlg* dialog) {
            if (!QTest::qWaitFor([dialog] { return !dialog->IsRunning(); }, 30000))
                return dialog->reject();
            shownVerdict = dialog->Verdict()->text();
            shownRows = Rows(dialog->Result());
            const QList<QLabel*> labels = dialog->findChildren<QLabel*>();
            for (const QLabel* label : labels)
                loggedFolderShown = loggedFolderShown || label->text() == loggedFolder;
            dialog->accept();
        });
        QAction* why = nullptr;
        for (QAction* action : view->PopupMenu()->actions())
            if (action->text() == u"W&hy Did This Land Here?"_s)
                why = action;
        QVERIFY(why);
        why->trigger();
        QCOMPARE(shownRows, rows);
        QCOMPARE(shownVerdict, verdict);
        QVERIFY(loggedFolderShown);
        QVERIFY(Prompt::History().isEmpty());
    }

    // Where the log and the run name the same place in different words.
    void sameFolder_data()
    {
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("same");
        QTest::newRow("same name") << u"spam"_s << u"spam"_s << true;
        QTest::newRow("logged with the mail folder's path") << u"/home/joe/mail/spam"_s << u"spam"_s << true;
        QTest::newRow("maildir messages")
            << u"lists/new/1765400000.123_0.host"_s << u"lists/new/1765499999.9_0.vm"_s << true;
        QTest::newRow("maildir named with its slash") << u"friends/"_s << u"friends"_s << true;
        QTest::newRow("system mailbox is the default") << u"/var/mail/joe"_s << u"inbox"_s << true;
        QTest::newRow("spool mailbox is the default") << u"/var/spool/mail/joe"_s << u"inbox"_s << true;
        QTest::newRow("other folder") << u"spam"_s << u"junk"_s << false;
        QTest::newRow("a folder that only ends alike") << u"/home/joe/mail/oldspam"_s << u"spam"_s << false;
        QTest::newRow("system mailbox is no folder") << u"/var/mail/joe"_s << u"spam"_s << false;
        QTest::newRow("nothing logged") << QString() << u"inbox"_s << false;
    }

    void sameFolder()
    {
        QFETCH(QString, logged);
        QFETCH(QString, now);
        QFETCH(bool, same);
        QCOMPARE(CWhyLandedDlg::SameFolder(logged, now), same);
    }

    // What decides "unknown": the recipe's own conditions and flags, hand-written ones included.
    void bodyTestsAreFound_data()
    {
        QTest::addColumn<QByteArray>("recipe");
        QTest::addColumn<bool>("body");
        QTest::newRow("B flag") << QByteArray(":0 B\n* unsubscribe\njunk\n") << true;
        QTest::newRow("B flag with lock and others") << QByteArray(":0HBc:\n* x\njunk\n") << true;
        QTest::newRow("B ?? condition") << QByteArray(":0\n* B ?? unsubscribe\njunk\n") << true;
        QTest::newRow("negated HB ?? condition") << QByteArray(":0\n*  ! HB ?? x\njunk\n") << true;
        QTest::newRow("nested recipe")
            << QByteArray(":0\n* ^From:.*x\n{\n  :0 B\n  * y\n  junk\n}\n") << true;
        QTest::newRow("header only") << QByteArray(":0:\n* ^Subject:.*Body\nbody\n") << false;
        QTest::newRow("b flag feeds the body, tests nothing") << QByteArray(":0 bw\n| cat\n") << false;
        QTest::newRow("B in a lock file name") << QByteArray(":0:Bodylock\n* ^Subject:.*x\nx\n") << false;
        QTest::newRow("variable called B") << QByteArray(":0\n* B=1\nx\n") << false;
    }

    void bodyTestsAreFound()
    {
        QFETCH(QByteArray, recipe);
        QFETCH(bool, body);
        QCOMPARE(TrialRecipes::TestsBody(recipe), body);
    }

    // The rebuilt message is as long as the logged one, so that size conditions hold as they did.
    void rebuiltMessageHasTheLoggedSize()
    {
        const QByteArray message = ProcmailSandbox::Message(
            "ann@example.com", "me@example.org", "big", QByteArray(5000, 'x') + "\n");
        m_sandbox.ClearOutputs();
        QCOMPARE(m_sandbox.Deliver(message), 0);
        const QByteArray log = m_sandbox.Log();
        const qsizetype folder = log.lastIndexOf("  Folder: ");
        QVERIFY(folder >= 0);
        const qint64 logged = log.mid(folder).split('\n')[0].split('\t').last().trimmed().toLongLong();
        QVERIFY(logged > 5000);
        const QByteArray rebuilt = SampleMessage::FromLogEntry(
            u"ann@example.com"_s, u"ann@example.com"_s, u"me@example.org"_s, u"big"_s, logged);
        QVERIFY(m_sandbox.SetRecipes(QByteArray()));
        m_sandbox.ClearOutputs();
        QCOMPARE(m_sandbox.Deliver(rebuilt), 0);
        const QByteArray again = m_sandbox.Log();
        QVERIFY2(again.contains(QByteArray::number(logged) + '\n'), again.constData());
    }
};

QTEST_MAIN(TestWhyLanded)
#include "tst_whylanded.moc"
