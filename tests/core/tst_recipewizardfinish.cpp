// The Recipe Wizard's Finish without a screen: where the block lands in a recipe file that holds
// other recipes and hand-written lines, the overwrite and duplicate-name questions, the uploads
// it marks, the data file it saves and the old one it deletes, and a recipe file that changed
// while the wizard was open.
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/RecipeWizardFinish.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

using Marks = QList<QPair<QString, QString>>;

CRecipeDefinition Make(const QByteArray& name,
    const QByteArray& actions = R"([{"type": 9, "mailboxMode": 1, "customMailbox": "spam"}])")
{
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    const QByteArray json = "{\"name\": \"" + name
        + R"(", "conditions": [{"field": 4, "entries": ["cheap"]}], )" + "\"actions\": " + actions + "}";
    if (!CRecipeDefinitionJson::FromJson(json, &definition, &settings, &error))
        qWarning("%s", qPrintable(error));
    return definition;
}

// A block as a hand or an older wizard wrote it.
QByteArray OldBlock(const QByteArray& name, const QByteArray& inner = ":0\n* ^Subject:.*old\n/dev/null\n")
{
    return "##_ZEPH_RECIPE_BEGIN_##" + name + "\n" + inner + "##_ZEPH_RECIPE_END_##" + name + "\n";
}

const QByteArray Head = "# my own line\n";
const QByteArray Tail = "\n" + OldBlock("Other", ":0:\nother\n") + "# last words\n";

QStringList Captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

} // namespace

class TestRecipeWizardFinish : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QString m_docs;
    QString m_recipes;
    Marks m_marks;

    void Write(const QByteArray& content)
    {
        QFile file(m_recipes);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray Read() const
    {
        QFile file(m_recipes);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    bool Finish(RecipeWizardFinish& finisher, const CRecipeDefinition& definition)
    {
        return finisher.Finish(
            definition, RecipeTextSettings(), [this](const QString& local, const QString& remote) {
                m_marks.append({ local, remote });
            });
    }
    static QByteArray Block(const CRecipeDefinition& definition)
    {
        return RecipeWizardFinish::BuildBlock(definition, RecipeTextSettings());
    }
    static bool SaveData(const CRecipeDefinition& definition)
    {
        QString error;
        return QDir().mkpath(Workspace::GetDataFolder())
            && definition.SaveRecipeDataTo(CRecipeDefinition::RecipeDataPath(definition.GetName()), &error);
    }

private slots:
    void init()
    {
        StartFreshIdentity();
        m_docs = m_env.Home() + QStringLiteral("/docs/");
        QDir(m_docs).removeRecursively();
        QDir().mkpath(m_docs);
        SetSetting(Settings::DocumentDirectory, m_docs);
        SetSetting(Settings::ZephDir, QStringLiteral("$HOME/.procmail"));
        m_recipes = m_docs + QStringLiteral("zeph.recipes");
        m_marks.clear();
    }

    // A new recipe goes to the end; the recipe file and the reply's text are marked for upload under
    // their remote names, and the data file holds the definition.
    void newRecipeIsAppended()
    {
        Write(Head + Tail);
        const CRecipeDefinition definition
            = Make("Answer", R"([{"type": 8, "responseFile": "/home/me/my reply (1).txt"}])");
        RecipeWizardFinish finisher(m_recipes, true, QByteArray());
        QVERIFY(Finish(finisher, definition));
        QCOMPARE(Read(), Head + Tail + Block(definition));
        QCOMPARE(
            finisher.ResultText(), QStringLiteral("Your new recipe has been added to the end of the file."));
        QCOMPARE(m_marks,
            (Marks { { m_recipes, QStringLiteral(".procmail/zeph.recipes") },
                { QStringLiteral("/home/me/my reply (1).txt"),
                    QStringLiteral(".procmail/my_reply__1_.txt") } }));
        CRecipeDefinition saved;
        QString error;
        QVERIFY2(saved.LoadRecipeDataFrom(Workspace::GetDataFolder() + QStringLiteral("Answer.zeph"), &error),
            qPrintable(error));
        QCOMPARE(CRecipeDefinitionJson::ToJson(saved), CRecipeDefinitionJson::ToJson(definition));
        QVERIFY(!Captions().contains(QStringLiteral("Overwrite existing recipe?")));
    }

    // A new recipe named like an existing one (any letter case) replaces it only after Yes; every
    // other way of closing the question keeps the file and writes nothing else.
    void newRecipeOverwrite_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("Yes") << int(Prompt::Yes) << true;
        QTest::newRow("No") << int(Prompt::No) << false;
        QTest::newRow("closed") << int(Prompt::Cancel) << false;
    }

    void newRecipeOverwrite()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        Write(Head + OldBlock("SPAM") + Tail);
        const CRecipeDefinition definition = Make("spam");
        RecipeWizardFinish finisher(m_recipes, true, QByteArray());
        Prompt::QueueAnswer(Prompt::Button(answer));
        QCOMPARE(Finish(finisher, definition), replaced);
        const Prompt::Record question = Prompt::History().value(0);
        QCOMPARE(question.caption, QStringLiteral("Overwrite existing recipe?"));
        QCOMPARE(question.defaultButton, Prompt::No);
        QVERIFY(question.text.startsWith(QStringLiteral("There is an existing recipe named \"spam\".")));
        if (replaced) {
            QCOMPARE(Read(), Head + Block(definition) + Tail);
            QCOMPARE(
                finisher.ResultText(), QStringLiteral("Your updated recipe has been added to the file."));
            QCOMPARE(m_marks.size(), 1);
        } else {
            QCOMPARE(Read(), Head + OldBlock("SPAM") + Tail);
            QVERIFY(m_marks.isEmpty());
            QVERIFY(!QFile::exists(CRecipeDefinition::RecipeDataPath("spam")));
        }
    }

    // Editing replaces the block in place; a new name deletes the old data file, also when only
    // the letter case changed.
    void editReplacesInPlaceAndRenames_data()
    {
        QTest::addColumn<QByteArray>("newName");
        QTest::newRow("same name") << QByteArray("Spam");
        QTest::newRow("other case") << QByteArray("spam");
        QTest::newRow("other name") << QByteArray("Junk");
    }

    void editReplacesInPlaceAndRenames()
    {
        QFETCH(QByteArray, newName);
        Write(Head + OldBlock("Spam") + Tail);
        QVERIFY(SaveData(Make("Spam")));
        RecipeWizardFinish finisher(m_recipes, false, "Spam");
        finisher.RememberBlock();
        const CRecipeDefinition definition = Make(newName);
        QVERIFY(Finish(finisher, definition));
        QCOMPARE(Read(), Head + Block(definition) + Tail);
        QCOMPARE(finisher.ResultText(), QStringLiteral("Your updated recipe has been added to the file."));
        QCOMPARE(QFile::exists(CRecipeDefinition::RecipeDataPath("Spam")), newName == "Spam");
        QVERIFY(QFile::exists(CRecipeDefinition::RecipeDataPath(newName)));
        QVERIFY(!Captions().contains(QStringLiteral("Duplicate Recipe Name")));
    }

    void editToTheNameOfAnotherRecipeChangesNothing()
    {
        const QByteArray before = Head + OldBlock("A") + OldBlock("B") + Tail;
        Write(before);
        QVERIFY(SaveData(Make("A")));
        RecipeWizardFinish finisher(m_recipes, false, "A");
        finisher.RememberBlock();
        QVERIFY(!Finish(finisher, Make("b")));
        QCOMPARE(Read(), before);
        QCOMPARE(Prompt::History().value(0).caption, QStringLiteral("Duplicate Recipe Name"));
        QCOMPARE(Prompt::History().value(0).text,
            QStringLiteral("You are attempting to replace the recipe 'A' with one named 'b' however there is "
                           "already an existing recipe named 'b'.  Please choose a different name for this "
                           "updated recipe by hitting the \"Back\" button and type in a new name for this "
                           "recipe."));
        QVERIFY(QFile::exists(CRecipeDefinition::RecipeDataPath("A")));
        QVERIFY(m_marks.isEmpty());
    }

    // The data file was missing and the block is gone too: the recipe is added at the end.
    void editedRecipeMissingFromTheFileIsAppended()
    {
        Write(Head + Tail);
        RecipeWizardFinish finisher(m_recipes, false, "Gone");
        finisher.RememberBlock();
        const CRecipeDefinition definition = Make("Gone");
        QVERIFY(Finish(finisher, definition));
        QCOMPARE(Read(), Head + Tail + Block(definition));
        QCOMPARE(finisher.ResultText(), QStringLiteral("Your recipe has been added to the end of the file."));
    }

    // The recipe file changed on disk while the wizard was open. Edits elsewhere in the file stay
    // without a question; edits to the recipe being replaced are replaced only after Yes.
    void outsideEdits()
    {
        Write(Head + OldBlock("Spam") + Tail);
        RecipeWizardFinish finisher(m_recipes, false, "Spam");
        finisher.RememberBlock();
        const QByteArray otherEdited = Head + OldBlock("Spam") + Tail + OldBlock("Added", ":0\nadded\n");
        Write(otherEdited);
        const CRecipeDefinition definition = Make("Spam");
        QVERIFY(Finish(finisher, definition));
        QCOMPARE(Read(), Head + Block(definition) + Tail + OldBlock("Added", ":0\nadded\n"));
        QCOMPARE(Prompt::History().size(), 0);

        RecipeWizardFinish second(m_recipes, false, "Spam");
        second.RememberBlock();
        const QByteArray blockEdited = Head + OldBlock("Spam", ":0\n* ^From:.*boss\nboss\n") + Tail;
        Write(blockEdited);
        Prompt::QueueAnswer(Prompt::No);
        QVERIFY(!Finish(second, definition));
        QCOMPARE(Read(), blockEdited);
        QCOMPARE(Prompt::History().value(0).caption, QStringLiteral("Recipe changed outside the wizard"));
        QCOMPARE(Prompt::History().value(0).defaultButton, Prompt::No);
        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(Finish(second, definition));
        QCOMPARE(Read(), Head + Block(definition) + Tail);
    }

    // Broken markers and definitions that fail the rule set stop Finish before anything is written.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("new: begin marker twice")
            << QByteArray(Head + OldBlock("Spam") + "##_ZEPH_RECIPE_BEGIN_##Spam\n" + Tail) << true
            << QByteArray("Spam") << QStringLiteral("ZEPH");
        QTest::newRow("edit: end marker missing")
            << QByteArray(Head + "##_ZEPH_RECIPE_BEGIN_##Spam\n:0\nx\n" + Tail) << false << QByteArray("Spam")
            << QStringLiteral("ZEPH");
        QTest::newRow("reserved name")
            << QByteArray(Head + Tail) << true << QByteArray("zeph_Mine") << QStringLiteral("Recipe Wizard");
    }

    void refusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, isNew);
        QFETCH(QByteArray, name);
        QFETCH(QString, caption);
        Write(content);
        RecipeWizardFinish finisher(m_recipes, isNew, isNew ? QByteArray() : name);
        finisher.RememberBlock();
        CRecipeDefinition definition = Make("Valid");
        definition.SetName(name);
        QVERIFY(!Finish(finisher, definition));
        QCOMPARE(Read(), content);
        QCOMPARE(Captions(), QStringList { caption });
        QVERIFY(m_marks.isEmpty());
        QVERIFY(!QDir(Workspace::GetDataFolder()).exists());
    }

    // A name read from a hand-edited recipe file can point out of the data folder: renaming such a
    // recipe never deletes the file it points at.
    void renameDeletesOnlyInsideTheDataFolder()
    {
        QDir().mkpath(Workspace::GetDataFolder());
        const QString victim = m_docs + QStringLiteral("victim.zeph");
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        Write(Head + OldBlock("../victim") + Tail);
        RecipeWizardFinish finisher(m_recipes, false, "../victim");
        finisher.RememberBlock();
        const CRecipeDefinition definition = Make("Renamed");
        QVERIFY(Finish(finisher, definition));
        QCOMPARE(Read(), Head + Block(definition) + Tail);
        QVERIFY(QFile::exists(victim));
    }

    // A data file that cannot be saved is reported; the recipe stays written.
    void unsavedDataFileIsReported()
    {
        Write(Head + Tail);
        QFile blocker(m_docs + QStringLiteral("Data"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        RecipeWizardFinish finisher(m_recipes, true, QByteArray());
        const CRecipeDefinition definition = Make("Kept");
        QVERIFY(Finish(finisher, definition));
        QCOMPARE(Read(), Head + Tail + Block(definition));
        QCOMPARE(Captions(), QStringList { QStringLiteral("Save Recipe Data") });
        QCOMPARE(m_marks.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRecipeWizardFinish)
#include "tst_recipewizardfinish.moc"
