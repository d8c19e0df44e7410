// "Try a Message" on a recipe file made by the Recipe Wizard, run by the real local procmail:
// what the window shows for a message that matches, one that does not and one that is forwarded,
// from each kind of source; and the ways into the window.
#include "core/common/Prompt.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeFile.h"
#include "core/settings/Profile.h"
#include "core/trial/CTrialRun.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/recipes/CRecipeListDlg.h"
#include "gui/trial/CTrialResultView.h"
#include "gui/trial/CTrialWorker.h"
#include "gui/trial/CTryMessageDlg.h"
#include "gui/trial/TrialCommands.h"
#include "gui/wizard/CRecWizFinish.h"
#include "gui/wizard/CRecipeWizSheet.h"
#include "support/TestSleeper.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"
#include "support/gui/WizardDriver.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// Lines a user wrote by hand below the wizard's recipes.
const QByteArray kHandWritten = ":0\n* ^Subject:.*invoice\nbilling\n";

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// "Recipe=Result" for each row, in order.
QStringList Rows(const CTrialResultView* view)
{
    QStringList rows;
    for (int i = 0; i < view->Recipes()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = view->Recipes()->topLevelItem(i);
        rows << item->text(0) + QLatin1Char('=') + item->text(1);
    }
    return rows;
}

QStringList Column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

bool RunAndWait(CTryMessageDlg& dialog)
{
    if (!dialog.Try())
        return false;
    // A hang guard only: a run ends within the engine's own time limit.
    return QTest::qWaitFor([&] { return !dialog.IsRunning(); }, 30000);
}

} // namespace

class TestTryMessage : public QObject
{
    Q_OBJECT

    GuiTestFixture m_fixture { QStringLiteral("TryMessage") };
    QByteArray m_recipes;

private slots:
    void initTestCase()
    {
        const QString missing = CTrialRun::Unavailable();
        if (!missing.isEmpty())
            QFAIL(qPrintable(missing));
        m_fixture.Init();
        SetSetting(Settings::NoRegexWarning, 1);
        SetSetting(Settings::ReturnEmailAddress, QStringLiteral("me@example.org"));
        const QString path = Workspace::GetRecipeFilePath();
        {
            CRecipeWizSheet sheet(CRecipeWizSheet::NewRecipe, path);
            sheet.Start(CRecipeDefinition(), QByteArray(), false);
            WizardDriver w(&sheet);
            w.Condition(CRecipeCondition::Subject, QStringLiteral("cheap"));
            w.SaveTo(QStringLiteral("spam"));
            w.Name(QStringLiteral("Spam"));
            w.Next();
            w.Finish();
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
        }
        {
            CRecipeWizSheet sheet(CRecipeWizSheet::NewRecipe, path);
            sheet.Start(CRecipeDefinition(), QByteArray(), false);
            WizardDriver w(&sheet);
            w.Condition(CRecipeCondition::From, QStringLiteral("boss@example.com"));
            w.Action(ActionForward);
            w.Next();
            w.SetText("forwardAddresses", QStringLiteral("assistant@example.net"));
            w.SetChecked("copy", true);
            w.SetChecked("another", true);
            w.Next();
            w.SaveTo(QStringLiteral("boss"));
            w.Name(QStringLiteral("Boss"));
            w.Next();
            w.Finish();
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
        }
        m_recipes = ReadFile(path) + kHandWritten;
        QVERIFY(WriteFile(path, m_recipes));
    }

    void init() { Prompt::ClearHistory(); }

    void dialogShowsWhatTheRecipesDo_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("sentTo");

        const QString hand = QStringLiteral("Lines outside any recipe: :0=");
        QTest::newRow("composed, matches the first recipe")
            << int(CTryMessageDlg::Compose) << u"ann@example.com"_s << u"cheap watches"_s
            << QStringList { u"Spam=Matched"_s, u"Boss=Not matched"_s, hand + u"Not matched"_s } << u"spam"_s
            << QStringList {};
        QTest::newRow("composed, matches nothing")
            << int(CTryMessageDlg::Compose) << u"ann@example.com"_s << u"lunch"_s
            << QStringList { u"Spam=Not matched"_s, u"Boss=Not matched"_s, hand + u"Not matched"_s }
            << u"inbox"_s << QStringList {};
        QTest::newRow("composed, forwarded and filed")
            << int(CTryMessageDlg::Compose) << u"boss@example.com"_s << u"report"_s
            << QStringList { u"Spam=Not matched"_s, u"Boss=Matched"_s, hand + u"Not matched"_s } << u"boss"_s
            << QStringList { u"assistant@example.net"_s };
        QTest::newRow("pasted with CR LF, hand-written lines match")
            << int(CTryMessageDlg::Paste) << u"ann@example.com"_s << u"your invoice"_s
            << QStringList { u"Spam=Not matched"_s, u"Boss=Not matched"_s, hand + u"Matched"_s }
            << u"billing"_s << QStringList {};
        // The second message of the file would go to the boss folder: only the first is tried.
        QTest::newRow("first message of an mbox file")
            << int(CTryMessageDlg::File) << u"ann@example.com"_s << u"cheap watches"_s
            << QStringList { u"Spam=Matched"_s, u"Boss=Not matched"_s, hand + u"Not matched"_s } << u"spam"_s
            << QStringList {};
    }

    void dialogShowsWhatTheRecipesDo()
    {
        QFETCH(int, source);
        QFETCH(QString, from);
        QFETCH(QString, subject);
        QFETCH(QStringList, rows);
        QFETCH(QString, folder);
        QFETCH(QStringList, sentTo);

        CTryMessageDlg dialog(m_recipes, nullptr);
        dialog.show();
        dialog.Sources()->setCurrentIndex(source);
        const QByteArray header
            = "From: " + from.toUtf8() + "\nTo: me@example.org\nSubject: " + subject.toUtf8();
        if (source == CTryMessageDlg::Compose) {
            dialog.FromBox()->setText(from);
            dialog.ToBox()->setText(QStringLiteral("me@example.org"));
            dialog.SubjectBox()->setText(subject);
            dialog.BodyBox()->setPlainText(QStringLiteral("Hello."));
        } else if (source == CTryMessageDlg::Paste) {
            dialog.PasteBox()->setPlainText(
                QString::fromUtf8(header + "\n\nHello.\n").replace(u"\n"_s, u"\r\n"_s));
        } else {
            const QString mbox = m_fixture.Docs() + QStringLiteral("sample.mbox");
            QVERIFY(WriteFile(mbox,
                "From ann@example.com Thu Dec 10 04:36:33 2026\n" + header + "\n\nHello.\n\n"
                    + "From boss@example.com Thu Dec 10 04:37:00 2026\nFrom: boss@example.com\n"
                      "Subject: report\n\nSecond.\n"));
            dialog.FileBox()->setText(mbox);
        }
        QVERIFY(RunAndWait(dialog));
        const CTrialResultView* result = dialog.Result();
        QCOMPARE(result->Note()->text(), QString());
        QCOMPARE(Rows(result), rows);
        QCOMPARE(Column(result->Deliveries(), 0), QStringList { folder });
        QVERIFY(Column(result->Deliveries(), 1)[0].endsWith(QLatin1String(" bytes")));
        QCOMPARE(Column(result->Sent(), 0), sentTo);
        QCOMPARE(result->Complaints()->toPlainText(), QString());
        QVERIFY(Prompt::History().isEmpty());

        if (!sentTo.isEmpty()) {
            // The forwarded mail's whole text is one click away.
            result->Sent()->setCurrentItem(result->Sent()->topLevelItem(0));
            QVERIFY(result->ViewSentButton()->isEnabled());
            QString shown;
            WhenModal<CTextViewerDlg>([&shown](CTextViewerDlg* viewer) {
                shown = viewer->TextBox()->toPlainText();
                viewer->accept();
            });
            result->ViewSentButton()->click();
            QVERIFY2(shown.contains(QLatin1String("Subject: ") + subject), qPrintable(shown));
            QVERIFY(shown.contains(QLatin1String("Hello.")));
            QCOMPARE(Column(result->Sent(), 1), QStringList { subject });
        }
    }

    // A message that is none, or no message at all: the user is told, and nothing runs.
    void badMessagesAreRefused_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("told");
        QTest::newRow("pasted text without a header")
            << int(CTryMessageDlg::Paste) << u"just some words\n"_s << u"does not begin with a header line"_s;
        QTest::newRow("no file chosen") << int(CTryMessageDlg::File) << u""_s << u"choose the file"_s;
        QTest::newRow("missing file")
            << int(CTryMessageDlg::File) << u"/nonexistent/x.eml"_s << u"/nonexistent/x.eml"_s;
        QTest::newRow("a folder") << int(CTryMessageDlg::File) << u"/tmp"_s << u"/tmp"_s;
    }

    void badMessagesAreRefused()
    {
        QFETCH(int, source);
        QFETCH(QString, input);
        QFETCH(QString, told);
        CTryMessageDlg dialog(m_recipes, nullptr);
        dialog.Sources()->setCurrentIndex(source);
        if (source == CTryMessageDlg::Paste)
            dialog.PasteBox()->setPlainText(input);
        else
            dialog.FileBox()->setText(input);
        Prompt::QueueAnswer(Prompt::Ok);
        QVERIFY(!dialog.Try());
        QVERIFY(!dialog.IsRunning());
        QCOMPARE(Prompt::History().size(), 1);
        QVERIFY2(Prompt::History()[0].text.contains(told), qPrintable(Prompt::History()[0].text));
    }

    void complaintsAreShown()
    {
        CTryMessageDlg dialog(m_recipes + ":0\n* ^Subject:.*x\n{\n", nullptr);
        dialog.SubjectBox()->setText(QStringLiteral("x"));
        QVERIFY(RunAndWait(dialog));
        QVERIFY(!dialog.Result()->Complaints()->toPlainText().isEmpty());
    }

    // Stop frees the window at once and ends the run with what procmail started, long before the
    // run's own time limit; the stopped run changes nothing shown.
    void stopFreesTheWindow()
    {
        if (!CTrialRun::NamespacesWork())
            QSKIP("no private namespaces on this computer: a recipe that runs a program is not tried");
        const TestSleeper sleeper(31);
        CTryMessageDlg dialog(
            CRecipeFile::BuildRecipeBlock("Slow", "", ":0 w\n| " + sleeper.Command() + "\n"), nullptr);
        dialog.SubjectBox()->setText(QStringLiteral("x"));
        QVERIFY(dialog.Try());
        QVERIFY(dialog.IsRunning());
        QVERIFY(!dialog.TryButton()->isEnabled());
        QVERIFY(QTest::qWaitFor([&sleeper] { return sleeper.Running(); }, 5000));
        dialog.StopButton()->click();
        QVERIFY(!dialog.IsRunning());
        QVERIFY(dialog.TryButton()->isEnabled());
        // Well under the ten seconds a run may take before its time limit stops it.
        QVERIFY(QTest::qWaitFor([] { return CTrialWorker::ThreadsRunning() == 0; }, 5000));
        // The kill reaches procmail's children at once; their end may take the system a moment.
        QTRY_VERIFY_WITH_TIMEOUT(!sleeper.Running(), 3000);
        QTest::qWait(50);
        QCOMPARE(Rows(dialog.Result()), QStringList { QStringLiteral("Slow=") });
    }

    // Recipes > Try a Message takes the saved recipe file; Position/Edit the rows as they stand;
    // the wizard's last page the file with its recipe in place.
    void waysIntoTheWindow()
    {
        MainWindowWithEditor window;
        InstallMessageTrial(window.Shell());
        QStringList shown;
        WhenModal<CTryMessageDlg>([&shown](CTryMessageDlg* dialog) {
            shown = Rows(dialog->Result());
            dialog->accept();
        });
        QVERIFY(window.Shell().RunCommand(Cmd::TryMessage));
        QCOMPARE(shown,
            (QStringList { QStringLiteral("Spam="), QStringLiteral("Boss="),
                QStringLiteral("Lines outside any recipe: :0=") }));

        QByteArray tried;
        window.Shell().SetMessageTrial([&tried](const QByteArray& text, QWidget*) { tried = text; });
        {
            CRecipeListDlg list(window.Shell(), Workspace::GetRecipeFilePath(), nullptr);
            // The hand-written lines are shown as such first.
            WhenModal<CTextViewerDlg>([](CTextViewerDlg* viewer) { viewer->accept(); });
            QVERIFY(list.Load());
            list.MoveRow(1, 0);
            auto* button = list.findChild<QPushButton*>(QStringLiteral("TryMessage"));
            QVERIFY(button);
            button->click();
            QCOMPARE(CRecipeFile::ReadRecipeNames(tried).mid(0, 2), (QList<QByteArray> { "Boss", "Spam" }));
        }
        // Editing "Spam" into "Cheap": the block takes Spam's place, ahead of Boss.
        tried.clear();
        {
            CRecipeDefinition definition;
            QVERIFY(definition.LoadRecipeData(CRecipeDefinition::RecipeDataPath("Spam")));
            CRecipeWizSheet sheet(CRecipeWizSheet::EditByName, Workspace::GetRecipeFilePath());
            sheet.Start(definition, "Spam", false);
            sheet.SetMessageTrial([&tried](const QByteArray& text, QWidget*) { tried = text; });
            WizardDriver w(&sheet);
            while (w.PageId() != 156 && w.Next()) { }
            w.Name(QStringLiteral("Cheap"));
            QVERIFY(w.Next());
            QCOMPARE(w.PageId(), 147);
            sheet.FinishPage()->TryButton()->click();
            const QList<QByteArray> names = CRecipeFile::ReadRecipeNames(tried);
            QCOMPARE(names.mid(0, 2), (QList<QByteArray> { "Cheap", "Boss" }));
            QCOMPARE(names.size(), 3);
            QVERIFY(!tried.contains("##_ZEPH_RECIPE_BEGIN_##Spam"));
        }
        // Nothing was written by trying.
        QCOMPARE(ReadFile(Workspace::GetRecipeFilePath()), m_recipes);
    }
};

QTEST_MAIN(TestTryMessage)
#include "tst_trymessage.moc"
