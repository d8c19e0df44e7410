// Recipes made in the Recipe Wizard, page by page through its widgets, then run by real procmail as
// a throwaway user: the recipe file the wizard wrote does what the wizard's explanation says, and it
// holds exactly the core's blocks for the same definitions.
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/wizard/CRecWizFinish.h"
#include "gui/wizard/CRecipeWizSheet.h"
#include "support/ProcmailSandbox.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/WizardDriver.h"

#include <QCheckBox>
#include <QFile>
#include <QTest>
#include <QTextEdit>

namespace {

using Sandbox = ProcmailSandbox;

CRecipeDefinition FromJson(const QByteArray& json)
{
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    if (!CRecipeDefinitionJson::FromJson(json, &definition, &settings, &error))
        qWarning("%s", qPrintable(error));
    return definition;
}

QByteArray CoreBlock(const CRecipeDefinition& definition)
{
    return CRecipeFile::BuildRecipeBlock(definition.GetName(), CRecipeSummary::BuildSummaryText(definition),
        CActionBuilder::BuildRecipeText(definition, RecipeTextSettings::FromProfile()));
}

QByteArray Message(const QByteArray& from, const QByteArray& subject, const QByteArray& extra = QByteArray())
{
    return Sandbox::Message(from, "me@example.org", subject, "Hello.\n", extra);
}

} // namespace

class TestWizardProcmail : public QObject
{
    Q_OBJECT

    GuiTestFixture m_fixture { QStringLiteral("WizardProcmail") };
    Sandbox m_sandbox;

    // Fills the last pages and finishes; returns the explanation the wizard showed.
    QString NameAndFinish(WizardDriver& w, const QString& name)
    {
        w.Name(name);
        w.Next();
        if (w.PageId() != 147)
            return QString();
        const QString explanation = w.Sheet()->FinishPage()->TextBox()->toPlainText();
        w.Sheet()->FinishPage()->ListBox()->setChecked(false);
        w.Finish();
        return explanation;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sandbox.Start(), qPrintable(m_sandbox.Error()));
        m_fixture.Init();
        SetSetting(Settings::NoRegexWarning, 1);
        SetSetting(Settings::NoSedRegexWarning, 1);
        SetSetting(Settings::ReturnEmailAddress, QStringLiteral("me@example.org"));
    }

    // Two recipes: a list filter with a condition followed by an OR group and three actions (a
    // header, a forwarded copy, a mailbox), then a Subject filter that tags and files.
    void wizardRecipesRunAsExplained()
    {
        const QString recipes = Workspace::GetRecipeFilePath();
        QString listExplanation;
        {
            CRecipeWizSheet sheet(CRecipeWizSheet::NewRecipe, recipes);
            sheet.Start(CRecipeDefinition(), QByteArray(), true);
            WizardDriver w(&sheet);
            w.Condition(CRecipeCondition::CustomHeader, QStringLiteral("procmail"), CRecipeCondition::JoinAnd,
                false, QStringLiteral("X-Mailing-List"));
            w.Condition(CRecipeCondition::Subject, QStringLiteral("urgent"), CRecipeCondition::JoinOr);
            w.Condition(CRecipeCondition::From, QStringLiteral("boss@example.com"));
            w.Action(ActionAddHeader);
            w.Next();
            w.SetText("headerName", QStringLiteral("Filtered"));
            w.SetText("headerValue", QStringLiteral("yes"));
            w.SetChecked("another", true);
            w.Next();
            w.Action(ActionForward);
            w.Next();
            w.SetText("forwardAddresses", QStringLiteral("archive@example.net"));
            w.SetChecked("copy", true);
            w.SetChecked("another", true);
            w.Next();
            w.SaveTo(QStringLiteral("lists"));
            listExplanation = NameAndFinish(w, QStringLiteral("Lists"));
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
        }
        {
            CRecipeWizSheet sheet(CRecipeWizSheet::NewRecipe, recipes);
            sheet.Start(CRecipeDefinition(), QByteArray(), true);
            WizardDriver w(&sheet);
            w.Condition(CRecipeCondition::Subject, QStringLiteral("cheap\noffer"));
            w.Action(ActionAddSubject);
            w.Next();
            w.SetText("addSubject", QStringLiteral("[SPAM]"));
            w.SetChecked("another", true);
            w.Next();
            w.SaveTo(QStringLiteral("spam"));
            QVERIFY(!NameAndFinish(w, QStringLiteral("Cheap")).isEmpty());
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
        }

        const CRecipeDefinition lists = FromJson(R"({"name": "Lists", "conditions": [
              {"field": 11, "customHeader": "X-Mailing-List", "entries": ["procmail"], "join": 1},
              {"field": 4, "entries": ["urgent"], "join": 2}, {"field": 2, "entries": ["boss@example.com"]}],
            "actions": [{"type": 2, "headerName": "Filtered", "headerValue": "yes"},
              {"type": 7, "forwardAddresses": ["archive@example.net"], "copy": true},
              {"type": 9, "mailboxMode": 1, "customMailbox": "lists"}]})");
        const CRecipeDefinition cheap = FromJson(R"({"name": "Cheap",
            "conditions": [{"field": 4, "entries": ["cheap", "offer"]}],
            "actions": [{"type": 0, "addSubject": "[SPAM]"}, {"type": 9, "mailboxMode": 1, "customMailbox": "spam"}]})");
        QFile file(recipes);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QCOMPARE(written, CoreBlock(lists) + CoreBlock(cheap));
        // What the explanation promised, in the words the checks below hold procmail to.
        QVERIFY(listExplanation.contains(QStringLiteral("X-Mailing-List")));
        QVERIFY(listExplanation.contains(QStringLiteral("Or this condition:")));
        QVERIFY(listExplanation.contains(QStringLiteral("archive@example.net")));
        QVERIFY(listExplanation.contains(QStringLiteral("save it to a mailbox named lists")));

        QVERIFY(m_sandbox.SetRecipes(written));
        const QByteArray list = "X-Mailing-List: procmail users\n";
        QCOMPARE(m_sandbox.Deliver(Message("joe@example.com", "urgent: meeting", list)), 0);
        QCOMPARE(m_sandbox.Deliver(Message("boss@example.com", "hello", list)), 0);
        QCOMPARE(m_sandbox.Deliver(Message("joe@example.com", "hello", list)), 0); // neither OR condition
        QCOMPARE(m_sandbox.Deliver(Message("joe@example.com", "urgent")), 0); // not from the list
        QCOMPARE(m_sandbox.Deliver(Message("shop@example.net", "cheap watches")), 0);
        QCOMPARE(m_sandbox.Deliver(Message("shop@example.net", "special offer")), 0);

        const QList<QByteArray> filed = m_sandbox.Folder(QStringLiteral("lists"));
        QCOMPARE(filed.size(), 2);
        for (const QByteArray& message : filed)
            QCOMPARE(Sandbox::Header(message, "X-Filtered"), QByteArray("yes"));
        QCOMPARE(Sandbox::Header(filed.at(0), "Subject"), QByteArray("urgent: meeting"));
        QCOMPARE(Sandbox::Header(filed.at(1), "From"), QByteArray("boss@example.com"));
        const QList<Sandbox::SentMail> sent = m_sandbox.Sent();
        QCOMPARE(sent.size(), 2);
        for (const Sandbox::SentMail& mail : sent)
            QVERIFY(mail.arguments.contains(QStringLiteral("archive@example.net")));

        const QList<QByteArray> spam = m_sandbox.Folder(QStringLiteral("spam"));
        QCOMPARE(spam.size(), 2);
        QCOMPARE(Sandbox::Header(spam.at(0), "Subject"), QByteArray("[SPAM] cheap watches"));
        QCOMPARE(Sandbox::Header(spam.at(1), "Subject"), QByteArray("[SPAM] special offer"));

        const QList<QByteArray> inbox = m_sandbox.Inbox();
        QCOMPARE(inbox.size(), 2);
        for (const QByteArray& message : inbox)
            QVERIFY(Sandbox::Header(message, "X-Filtered").isNull());
    }
};

QTEST_MAIN(TestWizardProcmail)
#include "tst_wizardprocmail.moc"
