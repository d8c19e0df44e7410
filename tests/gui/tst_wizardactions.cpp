// The action page and the ten action detail pages of the Recipe Wizard: what each page refuses
// and asks, what it stores, and that the stored actions make recipes procmail runs as promised.
#include "core/common/Prompt.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/settings/Profile.h"
#include "gui/common/CCheckQuestionDlg.h"
#include "gui/common/CFileEditorDlg.h"
#include "gui/common/FileDialogs.h"
#include "gui/wizard/CRecWizAD1.h"
#include "gui/wizard/CRecWizAD10.h"
#include "gui/wizard/CRecWizAD2.h"
#include "gui/wizard/CRecWizAD3.h"
#include "gui/wizard/CRecWizAD4.h"
#include "gui/wizard/CRecWizAD5.h"
#include "gui/wizard/CRecWizAD6.h"
#include "gui/wizard/CRecWizAD7.h"
#include "gui/wizard/CRecWizAD8.h"
#include "gui/wizard/CRecWizAD9.h"
#include "gui/wizard/CRecWizAction.h"
#include "support/ProcmailSandbox.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>

#include <memory>

namespace {

using Values = QVariantMap;

std::unique_ptr<CRecWizDetailPage> MakePage(int dialogId)
{
    switch (dialogId) {
    case 146:
        return std::make_unique<CRecWizAD1>();
    case 173:
        return std::make_unique<CRecWizAD2>();
    case 148:
        return std::make_unique<CRecWizAD3>();
    case 149:
        return std::make_unique<CRecWizAD4>();
    case 172:
        return std::make_unique<CRecWizAD5>();
    case 171:
        return std::make_unique<CRecWizAD6>();
    case 170:
        return std::make_unique<CRecWizAD7>();
    case 169:
        return std::make_unique<CRecWizAD8>();
    case 168:
        return std::make_unique<CRecWizAD9>();
    case 206:
        return std::make_unique<CRecWizAD10>();
    default:
        return nullptr;
    }
}

QWidget* Control(QWidget* page, const QString& name)
{
    auto* control = page->findChild<QWidget*>(name);
    if (!control)
        qWarning("no control named %s", qPrintable(name));
    return control;
}

// Puts values into the page's controls as a user would: ticks and choices first, so that the
// boxes they enable are enabled, then texts and numbers.
void Enter(QWidget* page, const Values& inputs)
{
    for (auto it = inputs.begin(); it != inputs.end(); ++it) {
        if (auto* button = qobject_cast<QAbstractButton*>(Control(page, it.key())))
            button->setChecked(it.value().toBool());
    }
    for (auto it = inputs.begin(); it != inputs.end(); ++it) {
        QWidget* control = Control(page, it.key());
        if (auto* line = qobject_cast<QLineEdit*>(control))
            line->setText(it.value().toString());
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
            plain->setPlainText(it.value().toString());
        else if (auto* spin = qobject_cast<QSpinBox*>(control))
            spin->setValue(it.value().toInt());
    }
}

// What the controls named in `inputs` show now, in the same form.
Values Shown(QWidget* page, const Values& inputs)
{
    Values shown;
    for (auto it = inputs.begin(); it != inputs.end(); ++it) {
        QWidget* control = Control(page, it.key());
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            shown[it.key()] = button->isChecked();
        else if (auto* line = qobject_cast<QLineEdit*>(control))
            shown[it.key()] = line->text();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
            shown[it.key()] = plain->toPlainText();
        else if (auto* spin = qobject_cast<QSpinBox*>(control))
            shown[it.key()] = spin->value();
    }
    return shown;
}

// The reset values of an action with the values named in `stored` (DEF.json keys) changed.
CActionDetails Expected(const Values& stored)
{
    CActionDetails details;
    for (const CActionDetailField& f : CRecipeDefinition::DetailFields()) {
        const QVariant value = stored.value(QLatin1String(f.name));
        if (!value.isValid())
            continue;
        if (f.number)
            details.*f.number = value.toInt();
        else
            details.*f.text = value.toString().toUtf8();
    }
    return details;
}

// The keys whose values differ, for a failure message.
QString Differences(const CActionDetails& actual, const CActionDetails& expected)
{
    QStringList differences;
    for (const CActionDetailField& f : CRecipeDefinition::DetailFields()) {
        if (f.number && actual.*f.number != expected.*f.number)
            differences << QStringLiteral("%1: %2 instead of %3")
                               .arg(QLatin1String(f.name))
                               .arg(actual.*f.number)
                               .arg(expected.*f.number);
        if (f.text && actual.*f.text != expected.*f.text)
            differences << QStringLiteral("%1: \"%2\" instead of \"%3\"")
                               .arg(QLatin1String(f.name), QString::fromUtf8(actual.*f.text),
                                   QString::fromUtf8(expected.*f.text));
    }
    return differences.join(QLatin1String("; "));
}

// A definition whose action j has the given type, with the detail page about to edit it.
CRecipeDefinition DefinitionFor(int type, int j = 0)
{
    CRecipeDefinition definition;
    for (int i = 0; i < j; ++i)
        definition.AddAction(ActionAddHeader, CActionDetails());
    definition.ActionTypes().append(type);
    definition.DataMgr().SetCurrentAction(j);
    return definition;
}

QStringList Captions()
{
    QStringList captions;
    for (const Prompt::Record& record : Prompt::History())
        captions << record.caption;
    return captions;
}

void QueueAnswers(const QList<int>& answers)
{
    for (int answer : answers)
        Prompt::QueueAnswer(static_cast<Prompt::Button>(answer));
}

constexpr int Yes = Prompt::Yes;
constexpr int No = Prompt::No;
constexpr int Cancel = Prompt::Cancel;

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

class TestWizardActions : public QObject
{
    Q_OBJECT

    GuiTestFixture m_fixture { QStringLiteral("WizardActions") };

    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_fixture.Docs() + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qWarning("cannot write %s", qPrintable(path));
        return path;
    }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { m_fixture.Init(); }

    // Types that a recipe performs once are offered only at the position that holds them.
    void onceOnlyTypes_data()
    {
        QTest::addColumn<QList<qint32>>("types");
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("disabled");
        QTest::addColumn<int>("selected");
        QTest::newRow("delete chosen first, choosing the second action")
            << QList<qint32> { 6 } << 1 << QList<int> { 6 } << 9;
        QTest::newRow("back on the delete itself") << QList<qint32> { 6 } << 0 << QList<int> {} << 6;
        QTest::newRow("every once-only type but delete used")
            << QList<qint32> { 0, 1, 4, 5, 8 } << 5 << QList<int> { 0, 1, 4, 5, 8 } << 9;
        QTest::newRow("a position in the middle keeps its own type")
            << QList<qint32> { 0, 4, 1 } << 1 << QList<int> { 0, 1 } << 4;
        QTest::newRow("repeatable types stay on offer")
            << QList<qint32> { 2, 3, 7, 9 } << 4 << QList<int> {} << 9;
    }

    void onceOnlyTypes()
    {
        QFETCH(QList<qint32>, types);
        QFETCH(int, position);
        QFETCH(QList<int>, disabled);
        QFETCH(int, selected);
        CRecipeDefinition definition;
        definition.ActionTypes() = types;
        CRecWizAction page;
        page.SetPosition(position);
        page.OnSetActive(definition);
        QList<int> offDisabled;
        for (int type = 0; type < 10; ++type) {
            if (!page.findChild<QAbstractButton*>(QStringLiteral("type%1").arg(type))->isEnabled())
                offDisabled << type;
        }
        QCOMPARE(offDisabled, disabled);
        QCOMPARE(page.ChosenType(), selected);
        QVERIFY(page.Validate(definition));
        QVERIFY(Prompt::History().isEmpty());
    }

    // The chosen type goes to the page's position: a new position is appended, an old one
    // replaced, and a definition whose position holds no offered type asks for a choice.
    void actionChoice()
    {
        CRecipeDefinition definition;
        definition.ActionTypes() = { 2, 7 };
        CRecWizAction page;
        page.SetPosition(2);
        page.OnSetActive(definition);
        page.findChild<QAbstractButton*>(QStringLiteral("type6"))->click();
        QVERIFY(page.Validate(definition));
        page.Save(definition);
        QCOMPARE(definition.ActionTypes(), (QList<qint32> { 2, 7, 6 }));

        page.SetPosition(1);
        page.OnSetActive(definition);
        QCOMPARE(page.ChosenType(), 7);
        page.findChild<QAbstractButton*>(QStringLiteral("type3"))->click();
        page.Save(definition); // Back stores the choice without a check
        QCOMPARE(definition.ActionTypes(), (QList<qint32> { 2, 3, 6 }));

        definition.ActionTypes() = { 2, 12 }; // a damaged data file
        page.OnSetActive(definition);
        QCOMPARE(page.ChosenType(), -1);
        QVERIFY(!page.Validate(definition));
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().at(0).caption, S("Nothing selected"));
        QCOMPARE(Prompt::History().at(0).text, S("Please select an action to perform."));
        page.Save(definition);
        QCOMPARE(definition.ActionTypes(), (QList<qint32> { 2, 12 }));
    }

    // Next on a detail page: the messages and questions, in order, and what is stored after a
    // Next that passes. Answers are queued for the questions the row expects.
    void detailPageChecks_data()
    {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<Values>("inputs");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("focus"); // the box that has the focus after a refusal
        QTest::addColumn<QString>("message"); // the last message, when the row is about its text
        QTest::addColumn<Values>("stored"); // for a row that passes: the action's values

        const auto fail = [](const char* name, int dialog, const Values& inputs, const QList<int>& answers,
                              const QStringList& captions, const QString& focus,
                              const QString& message = QString()) {
            QTest::newRow(name) << dialog << inputs << answers << captions << focus << message << Values();
        };
        const auto pass = [](const char* name, int dialog, const Values& inputs, const QList<int>& answers,
                              const QStringList& captions, const Values& stored) {
            QTest::newRow(name) << dialog << inputs << answers << captions << QString() << QString()
                                << stored;
        };
        const QString escape = S("Edit your entry?");

        // Add string to Subject
        fail("206: only blanks", 206, { { S("addSubject"), S("   ") } }, {},
            { S("Enter string to add to Subject:") }, S("addSubject"),
            S("You have not specified a string to add to the subject.  Please enter a string you would like "
              "to add."));
        fail("206: a line break", 206, { { S("addSubject"), S("[A]\nX-Evil: 1") } }, {},
            { S("Invalid character") }, S("addSubject"),
            S("This entry contains a line break or a NUL character, which cannot be written into a procmail "
              "recipe.  Please remove it."));
        fail("206: a dollar sign, Yes edits", 206, { { S("addSubject"), S("$5") } }, { Yes }, { escape },
            S("addSubject"));
        pass("206: a dollar sign, No keeps it", 206, { { S("addSubject"), S("$5") }, { S("another"), true } },
            { No }, { escape }, { { S("addSubject"), S("$5") }, { S("anotherAction"), 1 } });
        pass("206: a tag", 206, { { S("addSubject"), S("[MYLIST]") } }, {}, {},
            { { S("addSubject"), S("[MYLIST]") } });

        // Add header
        fail("146: no name", 146, { { S("headerName"), S(" ") }, { S("headerValue"), S("yes") } }, {},
            { S("Enter X-Header name") }, S("headerName"));
        fail("146: blank in the name", 146, { { S("headerName"), S("MY HEADER") } }, {},
            { S("Remove spaces") }, S("headerName"),
            S("The first portion of the X-Header should not contain a space character.  Please remove any "
              "space characters from the first part of the header."));
        fail("146: tab in the name", 146, { { S("headerName"), S("MY\tHEADER") } }, {},
            { S("Remove spaces") }, S("headerName"));
        fail("146: quote in the name, Cancel", 146, { { S("headerName"), S("A\"B") } }, { Cancel },
            { escape }, S("headerName"),
            S("The first portion of the X-Header contains one or more characters that need to be 'escaped'.  "
              "The quote character (\"), the backslash character (\\) and the dollar sign ($) should be "
              "escaped.  'Escape' them by putting a backslash character in front of them, e.g. \\\" and \\\\ "
              "and \\$.  If you have not escaped the character(s), hit 'Yes' to edit your entry.  For more "
              "information hit the 'Help' button.\n\nWould you like to edit your entry?"));
        fail("146: backslash in the value, Yes", 146,
            { { S("headerName"), S("TAG") }, { S("headerValue"), S("C:\\x") } }, { Yes }, { escape },
            S("headerValue"));
        pass("146: both parts escaped on purpose", 146,
            { { S("headerName"), S("A$B") }, { S("headerValue"), S("\\\"x\\\"") } }, { No, No },
            { escape, escape }, { { S("headerName"), S("A$B") }, { S("headerValue"), S("\\\"x\\\"") } });

        // Remove header
        const QString xLoop = S("X-Loop should not be removed!");
        const QString from = S("\"From \" header should not be removed!");
        fail("173: only blanks", 173, { { S("headerToRemove"), S("  ") } }, {},
            { S("Enter header name to remove") }, S("headerToRemove"));
        fail("173: trailing blank after the colon", 173, { { S("headerToRemove"), S("List-Id: ") } }, {},
            { S("Remove space characters") }, S("headerToRemove"),
            S("The header to remove that you entered has a trailing space character.  Please remove it.  "
              "Your entry should not contain a space."));
        fail("173: blank inside", 173, { { S("headerToRemove"), S("List Id:") } }, {},
            { S("Remove space characters") }, S("headerToRemove"),
            S("The header to remove you entered contains a space character.  Please remove it.  Your entry "
              "should not contain a space."));
        fail("173: leading blank before X-Loop", 173, { { S("headerToRemove"), S(" X-Loop") } }, {},
            { S("Remove space characters") }, S("headerToRemove"),
            S("The header to remove you entered contains a space character.  Please remove it.  Your entry "
              "should not contain a space."));
        fail("173: tab inside", 173, { { S("headerToRemove"), S("List\tId") } }, {},
            { S("Remove space characters") }, S("headerToRemove"));
        fail("173: colon inside", 173, { { S("headerToRemove"), S("List:Id") } }, {},
            { S("Extra colon character") }, S("headerToRemove"));
        fail("173: x", 173, { { S("headerToRemove"), S("x") } }, {}, { xLoop }, S("headerToRemove"));
        fail(
            "173: X-LOOP", 173, { { S("headerToRemove"), S("X-LOOP") } }, {}, { xLoop }, S("headerToRemove"));
        fail("173: x-loop:", 173, { { S("headerToRemove"), S("x-loop:") } }, {}, { xLoop },
            S("headerToRemove"));
        fail("173: F", 173, { { S("headerToRemove"), S("F") } }, {}, { from }, S("headerToRemove"));
        fail("173: from", 173, { { S("headerToRemove"), S("from") } }, {}, { from }, S("headerToRemove"));
        fail("173: a dollar sign, Cancel", 173, { { S("headerToRemove"), S("X-$H:") } }, { Cancel },
            { escape }, S("headerToRemove"));
        pass("173: X-Loopy", 173, { { S("headerToRemove"), S("X-Loopy") } }, {}, {},
            { { S("headerToRemove"), S("X-Loopy") } });
        pass("173: From:", 173, { { S("headerToRemove"), S("From:") } }, {}, {},
            { { S("headerToRemove"), S("From:") } });

        // Remove string from Subject
        const QString bracket = S("Edit the Subject string?");
        fail("148: empty", 148, { { S("removeSubject"), S("") } }, {},
            { S("Enter string to remove from Subject:") }, S("removeSubject"));
        fail("148: leading bracket, Yes edits", 148, { { S("removeSubject"), S("[MYLIST]") } }, { Yes },
            { bracket }, S("removeSubject"));
        pass("148: leading bracket kept on purpose", 148, { { S("removeSubject"), S("[MYLIST]") } }, { No },
            { bracket }, { { S("removeSubject"), S("[MYLIST]") } });
        pass("148: escaped bracket asks nothing", 148, { { S("removeSubject"), S("\\[MYLIST] ") } }, {}, {},
            { { S("removeSubject"), S("\\[MYLIST] ") } });
        fail("148: a point after the escaped bracket", 148, { { S("removeSubject"), S("\\[MY.LIST]") } },
            { Yes }, { escape }, S("removeSubject"));
        fail("148: a slash, sed warning", 148, { { S("removeSubject"), S("a/b") } }, { Yes }, { escape },
            S("removeSubject"));

        // Modify message body
        fail("149: nothing chosen", 149, {}, {}, { S("No modifications specified") }, S("removeBetween"));
        fail("149: between without a top", 149,
            { { S("removeBetween"), true }, { S("betweenBottom"), S("x") } }, {},
            { S("No top string specified") }, S("betweenTop"));
        fail("149: between without a bottom", 149,
            { { S("removeBetween"), true }, { S("betweenTop"), S("x") } }, {},
            { S("No bottom string specified") }, S("betweenBottom"));
        fail("149: top count 0", 149, { { S("topMode1"), true }, { S("topCount"), 0 } }, {},
            { S("No number specified") }, S("topCount"),
            S("You have elected to delete some lines from the top of the message but you haven't specified a "
              "positive number that you would like to delete.  Please specify a positive number of lines to "
              "delete from the top of the message."));
        fail("149: top line empty", 149, { { S("topMode2"), true } }, {}, { S("No string specified") },
            S("topLine"));
        fail("149: bottom count 0", 149, { { S("bottomMode1"), true } }, {}, { S("No number specified") },
            S("bottomCount"),
            S("You have elected to delete some lines from the bottom of the message but you haven't "
              "specified "
              "a positive number that you would like to delete.  Please specify a positive number of lines "
              "to "
              "delete from the bottom of the message."));
        fail("149: bottom line empty", 149, { { S("bottomMode2"), true } }, {}, { S("No string specified") },
            S("bottomLine"));
        fail("149: a line break in the top line", 149,
            { { S("topMode2"), true }, { S("topLine"), S("a\nb") } }, {}, { S("Invalid character") },
            S("topLine"));
        fail("149: the between warnings come before the count check", 149,
            { { S("removeBetween"), true }, { S("betweenTop"), S("AD.START") },
                { S("betweenBottom"), S("END") }, { S("topMode1"), true } },
            { No }, { escape, S("No number specified") }, S("topCount"));
        fail("149: a slash in the bottom line, Yes edits", 149,
            { { S("bottomMode2"), true }, { S("bottomLine"), S("--/") } }, { Yes }, { escape },
            S("bottomLine"));
        pass("149: every choice", 149,
            { { S("removeBetween"), true }, { S("betweenTop"), S("BEGIN AD") },
                { S("betweenBottom"), S("END AD") }, { S("topMode1"), true }, { S("topCount"), 2 },
                { S("bottomMode2"), true }, { S("bottomLine"), S("-- ") }, { S("another"), true } },
            {}, {},
            { { S("removeBetween"), 1 }, { S("betweenTop"), S("BEGIN AD") },
                { S("betweenBottom"), S("END AD") }, { S("topMode"), 1 }, { S("topCount"), 2 },
                { S("bottomMode"), 2 }, { S("bottomLine"), S("-- ") }, { S("anotherAction"), 1 } });
        // What was typed for a choice not made is not stored.
        pass("149: values of choices not made", 149,
            { { S("removeBetween"), false }, { S("betweenTop"), S("x") }, { S("topMode2"), true },
                { S("topCount"), 5 }, { S("topLine"), S("Hello") }, { S("bottomLine"), S("y") } },
            {}, {}, { { S("topMode"), 2 }, { S("topLine"), S("Hello") } });

        // Set exitcode and delete: nothing to refuse
        pass("172: exit code", 172, { { S("exitCode"), 75 }, { S("another"), true } }, {}, {},
            { { S("exitCode"), 75 }, { S("anotherAction"), 1 } });
        pass("171: delete never continues", 171, {}, {}, {}, {});

        // Forward
        fail("170: only blank lines", 170, { { S("forwardAddresses"), S("  \n\t\n") } }, {},
            { S("Enter address") }, S("forwardAddresses"));
        fail("170: angle brackets", 170, { { S("forwardAddresses"), S("Joe <joe@example.net>") } }, {},
            { S("Remove angle brackets") }, S("forwardAddresses"),
            S("You cannot use 'angle brackets' i.e. '<' or '>'.  Please remove all angle brackets from the "
              "address(es) you want to forward the message to.  The address only should be entered.  For "
              "example, enter you@example.com and not <you@example.com>."));
        fail("170: an option in place of an address", 170,
            { { S("forwardAddresses"), S("joe@example.net\n -oQ/tmp ") } }, {}, { S("Invalid address") },
            S("forwardAddresses"),
            S("The address \"-oQ/tmp\" cannot be used.  An address must not contain blanks or any of ; | & $ "
              "` ( ) "
              "' \" \\ and must not begin with \"-\"."));
        fail("170: a shell command", 170, { { S("forwardAddresses"), S("joe@example.net;reboot") } }, {},
            { S("Invalid address") }, S("forwardAddresses"));
        pass("170: without a copy nothing follows", 170,
            { { S("forwardAddresses"), S("joe@example.net\nann@example.org") }, { S("another"), true } }, {},
            {}, { { S("forwardAddresses"), S("joe@example.net\r\nann@example.org") } });
        pass("170: on a copy another action may follow", 170,
            { { S("forwardAddresses"), S("joe@example.net") }, { S("copy"), true }, { S("another"), true } },
            {}, {},
            { { S("forwardAddresses"), S("joe@example.net") }, { S("copy"), 1 }, { S("anotherAction"), 1 } });

        // Save
        fail("168: custom without a name", 168, { { S("customMailboxChoice"), true } }, {},
            { S("Enter mailbox name") }, S("customMailbox"));
        fail("168: a pipe in place of a mailbox", 168,
            { { S("customMailboxChoice"), true }, { S("customMailbox"), S(" | rm -rf $HOME") } }, {},
            { S("Invalid mailbox name") }, S("customMailbox"));
        fail("168: a forward in place of a mailbox", 168,
            { { S("customMailboxChoice"), true }, { S("customMailbox"), S("!joe@example.net") } }, {},
            { S("Invalid mailbox name") }, S("customMailbox"));
        fail("168: a blank, Yes changes it", 168,
            { { S("customMailboxChoice"), true }, { S("customMailbox"), S("my box") } }, { Yes },
            { S("Change filename?") }, S("customMailbox"));
        pass("168: a blank kept on purpose", 168,
            { { S("customMailboxChoice"), true }, { S("customMailbox"), S("my box") } }, { No },
            { S("Change filename?") }, { { S("mailboxMode"), 1 }, { S("customMailbox"), S("my box") } });
        pass("168: default mailbox drops a typed name", 168,
            { { S("customMailbox"), S("lists") }, { S("copy"), true }, { S("another"), true } }, {}, {},
            { { S("copy"), 1 }, { S("anotherAction"), 1 } });
    }

    void detailPageChecks()
    {
        QFETCH(int, dialog);
        QFETCH(Values, inputs);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, captions);
        QFETCH(QString, focus);
        QFETCH(QString, message);
        QFETCH(Values, stored);
        std::unique_ptr<CRecWizDetailPage> page = MakePage(dialog);
        CRecipeDefinition definition = DefinitionFor(page->ActionType());
        page->show();
        QApplication::setActiveWindow(page.get());
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        page->OnSetActive(definition);
        Enter(page.get(), inputs);
        QueueAnswers(answers);
        const bool passed = page->Validate(definition);
        QCOMPARE(Captions(), captions);
        if (!message.isEmpty())
            QCOMPARE(Prompt::History().constLast().text, message);
        QCOMPARE(passed, focus.isEmpty());
        if (!passed) {
            QWidget* box = Control(page.get(), focus);
            QWidget* focused = QApplication::focusWidget();
            QVERIFY2(focused && (focused == box || box->isAncestorOf(focused)),
                qPrintable(focused ? focused->objectName() : S("nothing")));
            return;
        }
        page->Save(definition);
        QCOMPARE(definition.DataMgr().Count(), 1);
        const CActionDetails expected = Expected(stored);
        QVERIFY2(definition.Action(0) == expected, qPrintable(Differences(definition.Action(0), expected)));
    }

    // Back saves without checking: what was typed, wrong or not, is on the page when it is
    // shown again.
    void backKeepsWhatWasTyped_data()
    {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<Values>("inputs");
        QTest::newRow("206") << 206 << Values { { S("addSubject"), S("  $x") }, { S("another"), true } };
        QTest::newRow("146") << 146
                             << Values { { S("headerName"), S("A B") }, { S("headerValue"), S("\"v\"") } };
        QTest::newRow("173") << 173 << Values { { S("headerToRemove"), S("X-Loop") } };
        QTest::newRow("148") << 148 << Values { { S("removeSubject"), S("[x") }, { S("another"), true } };
        QTest::newRow("149") << 149
                             << Values { { S("removeBetween"), true }, { S("betweenTop"), S("") },
                                    { S("betweenBottom"), S("b/") }, { S("topMode1"), true },
                                    { S("topCount"), 0 }, { S("bottomMode2"), true },
                                    { S("bottomLine"), S("--") } };
        QTest::newRow("172") << 172 << Values { { S("exitCode"), -3 } };
        QTest::newRow("170") << 170
                             << Values { { S("forwardAddresses"), S("<a@b>\n\nc d") }, { S("copy"), true },
                                    { S("another"), true } };
        QTest::newRow("169") << 169
                             << Values { { S("responseFile"), S("/no/such file.txt") },
                                    { S("includeBody"), true }, { S("responseAtTop"), false },
                                    { S("copy"), true } };
        QTest::newRow("168") << 168
                             << Values { { S("customMailboxChoice"), true }, { S("customMailbox"), S("|x") },
                                    { S("copy"), true }, { S("another"), false } };
    }

    void backKeepsWhatWasTyped()
    {
        QFETCH(int, dialog);
        QFETCH(Values, inputs);
        std::unique_ptr<CRecWizDetailPage> page = MakePage(dialog);
        CRecipeDefinition definition = DefinitionFor(page->ActionType(), 1);
        const CActionDetails before = definition.Action(0);
        page->OnSetActive(definition);
        Enter(page.get(), inputs);
        page->Save(definition);
        QVERIFY(Prompt::History().isEmpty());
        std::unique_ptr<CRecWizDetailPage> again = MakePage(dialog);
        again->OnSetActive(definition);
        QCOMPARE(Shown(again.get(), inputs), inputs);
        // The action before it is untouched.
        QVERIFY(definition.Action(0) == before);
    }

    // The reply page: the response file must exist, its remote name is shown when it differs,
    // and long lines are offered a hard wrap that changes the file only on Yes.
    void replyFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<QByteArray>("after"); // the file after the check

        const QByteArray line80(80, 'a');
        const QByteArray line81 = QByteArray(60, 'b') + ' ' + QByteArray(20, 'c');
        const QByteArray long100 = QByteArray(60, 'x') + ' ' + QByteArray(39, 'y') + "\r\n";
        const QString nameOkay = S("File name okay?");
        const QString longLines = S("Long lines");
        QTest::newRow("no such file") << QString() << QByteArray() << QList<int> {}
                                      << QStringList { S("Enter filename") } << false << QByteArray();
        QTest::newRow("plain name, 80 characters")
            << S("reply.txt") << line80 + "\n"
            << QList<int> {} << QStringList {} << true << line80 + "\n";
        QTest::newRow("changed remote name, No")
            << S("my reply (1).txt") << QByteArray("Hi\n") << QList<int> { No } << QStringList { nameOkay }
            << false << QByteArray("Hi\n");
        QTest::newRow("changed remote name, Yes")
            << S("my reply (1).txt") << QByteArray("Hi\n") << QList<int> { Yes } << QStringList { nameOkay }
            << true << QByteArray("Hi\n");
        QTest::newRow("81 characters, Cancel stays")
            << S("reply.txt") << line81 + "\n"
            << QList<int> { Cancel } << QStringList { longLines } << false << line81 + "\n";
        QTest::newRow("81 characters, No leaves the file")
            << S("reply.txt") << line81 + "\n"
            << QList<int> { No } << QStringList { longLines } << true << line81 + "\n";
        QTest::newRow("81 characters, Yes wraps")
            << S("reply.txt") << line81 << QList<int> { Yes } << QStringList { longLines } << true
            << QByteArray(60, 'b') + "\n" + QByteArray(20, 'c') + "\n";
        QTest::newRow("CR LF file keeps its line ends")
            << S("reply.txt") << QByteArray("Dear sender,\r\n") + long100 + "Bye\r\n"
            << QList<int> { Yes } << QStringList { longLines } << true
            << QByteArray("Dear sender,\r\n") + QByteArray(60, 'x') + "\r\n" + QByteArray(39, 'y')
                + "\r\nBye\r\n";
    }

    void replyFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, captions);
        QFETCH(bool, passes);
        QFETCH(QByteArray, after);
        const QString path = name.isEmpty() ? m_fixture.Docs() + S("missing.txt") : WriteFile(name, content);
        CRecWizAD8 page;
        CRecipeDefinition definition = DefinitionFor(ActionReply);
        page.OnSetActive(definition);
        Enter(&page, { { S("responseFile"), path } });
        QueueAnswers(answers);
        QCOMPARE(page.Validate(definition), passes);
        QCOMPARE(Captions(), captions);
        if (name.isEmpty())
            return;
        QCOMPARE(ReadFile(path), after);
        if (captions.contains(S("File name okay?")))
            QCOMPARE(Prompt::History().at(0).text,
                S("The local reply file, \"my reply (1).txt\", will be named \"my_reply__1_.txt\" on the "
                  "remote "
                  "machine.  Almost all characters are valid for Unix filenames but to avoid potential "
                  "problems "
                  "ZEPH replaces some characters with an underscore.  If you would like to change the local "
                  "filename (and in turn the remote name) select 'No'.  To continue select 'Yes'.\n\nOkay to "
                  "name remote reponse file my_reply__1_.txt?"));
        if (captions.contains(S("Long lines"))) {
            const Prompt::Record& question = Prompt::History().constLast();
            QCOMPARE(question.defaultButton, Prompt::No);
            QVERIFY(question.text.startsWith(
                S("Your response file, %1, contains long lines.  To have ZEPH insert "
                  "a hard line wrap (on or about every 72 characters) hit 'Yes'.")
                    .arg(path)));
        }
    }

    // What the reply page stores: with neither headers nor body the response is at the top.
    void replyValues()
    {
        const QString path = WriteFile(S("reply.txt"), "Thanks.\n");
        CRecWizAD8 page;
        CRecipeDefinition definition = DefinitionFor(ActionReply);
        page.OnSetActive(definition);
        auto* atTop = page.findChild<QCheckBox*>(S("responseAtTop"));
        QVERIFY(!atTop->isEnabled());
        QVERIFY(atTop->isChecked());
        Enter(&page,
            { { S("responseFile"), path }, { S("includeBody"), true }, { S("responseAtTop"), false },
                { S("another"), true } });
        QVERIFY(atTop->isEnabled());
        QVERIFY(page.Validate(definition));
        page.Save(definition);
        QVERIFY2(definition.Action(0)
                == Expected(
                    { { S("responseFile"), path }, { S("includeBody"), 1 }, { S("responseAtTop"), 0 } }),
            qPrintable(Differences(definition.Action(0), CActionDetails())));
        Enter(&page, { { S("includeBody"), false }, { S("copy"), true }, { S("another"), true } });
        page.Save(definition);
        QVERIFY2(definition.Action(0)
                == Expected({ { S("responseFile"), path }, { S("responseAtTop"), 1 }, { S("copy"), 1 },
                    { S("anotherAction"), 1 } }),
            qPrintable(Differences(definition.Action(0), CActionDetails())));
    }

    // "Select...." puts the chosen file into the box; "Create...." the letter saved in the editor.
    // Cancelling either leaves the box as it was.
    void responseFileButtons()
    {
        const QString chosen = WriteFile(S("chosen.txt"), "Chosen.\n");
        const QString letter = m_fixture.Docs() + S("letter.txt");
        CRecWizAD8 page;
        CRecipeDefinition definition = DefinitionFor(ActionReply);
        page.OnSetActive(definition);
        auto* box = page.findChild<QLineEdit*>(S("responseFile"));
        FileDialogs::QueueAnswer(chosen);
        page.SelectFile();
        QCOMPARE(box->text(), chosen);
        FileDialogs::QueueAnswer(QString());
        page.SelectFile();
        QCOMPARE(box->text(), chosen);

        WhenModal<CFileEditorDlg>([](CFileEditorDlg* editor) { editor->reject(); });
        page.CreateFile();
        QCOMPARE(box->text(), chosen);
        WhenModal<CFileEditorDlg>([letter](CFileEditorDlg* editor) {
            editor->Editor()->setPlainText(S("I am away until Monday.\n"));
            FileDialogs::QueueAnswer(letter);
            editor->Save();
            editor->accept();
        });
        page.CreateFile();
        QCOMPARE(box->text(), letter);
        QCOMPARE(ReadFile(letter), QByteArray("I am away until Monday.\n"));
        QVERIFY(page.Validate(definition));
        QVERIFY(Prompt::History().isEmpty());
    }

    // A custom mailbox without a trailing slash, while mail is said to go to directories, is
    // questioned unless the user switched that off; the check box is kept whatever the answer.
    void lockfileWarning_data()
    {
        QTest::addColumn<int>("maildir");
        QTest::addColumn<int>("dontShow");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("checkBox");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<int>("dontShowAfter");
        QTest::newRow("maildir, no slash, Yes edits")
            << 1 << 0 << S("lists") << QList<int> { Yes } << false << true << false << 0;
        QTest::newRow("maildir, no slash, No with the box ticked")
            << 1 << 0 << S("lists") << QList<int> { No } << true << true << true << 1;
        QTest::newRow("maildir, no slash, Cancel with the box ticked")
            << 1 << 0 << S("lists") << QList<int> { Cancel } << true << true << false << 1;
        QTest::newRow("maildir with a slash")
            << 1 << 0 << S("lists/") << QList<int> {} << false << false << true << 0;
        QTest::newRow("warning switched off")
            << 1 << 1 << S("lists") << QList<int> {} << false << false << true << 1;
        QTest::newRow("mbox files") << 0 << 0 << S("lists") << QList<int> {} << false << false << true << 0;
    }

    void lockfileWarning()
    {
        QFETCH(int, maildir);
        QFETCH(int, dontShow);
        QFETCH(QString, name);
        QFETCH(QList<int>, answers);
        QFETCH(bool, checkBox);
        QFETCH(bool, asked);
        QFETCH(bool, passes);
        QFETCH(int, dontShowAfter);
        SetSetting(Settings::MaildirFormat, maildir);
        SetSetting(Settings::DontShowLockfileWarning, dontShow);
        CRecWizAD9 page;
        CRecipeDefinition definition = DefinitionFor(ActionSave);
        page.OnSetActive(definition);
        Enter(&page, { { S("customMailboxChoice"), true }, { S("customMailbox"), name } });
        QueueAnswers(answers);
        if (!answers.isEmpty())
            CCheckQuestionDlg::QueueCheckState(checkBox);
        QCOMPARE(page.Validate(definition), passes);
        QCOMPARE(Captions(), asked ? QStringList { S("Edit name?") } : QStringList {});
        if (asked) {
            const Prompt::Record& question = Prompt::History().at(0);
            QCOMPARE(question.checkBoxText, S("Don't show this warning again"));
            QVERIFY(question.text.startsWith(S("You have specified that you are always delivering mail to a "
                                               "directory and do not require a lockfile.")));
            QVERIFY(question.helpTopic.isEmpty());
        }
        QCOMPARE(GetSetting(Settings::DontShowLockfileWarning), dontShowAfter);
    }

    // Actions chosen and filled in through the pages make a recipe that procmail runs as the
    // pages promised: a chain of actions on one message, the last one saving it.
    void chainedActionsUnderProcmail()
    {
        ProcmailSandbox sandbox;
        QVERIFY2(sandbox.Start(), qPrintable(sandbox.Error()));

        CRecipeDefinition definition;
        CRecipeCondition subject;
        subject.field = CRecipeCondition::Subject;
        subject.entries = "MYLIST";
        definition.Conditions() = { subject };
        definition.SetName("Mailing list");
        struct Step
        {
            int type;
            Values inputs;
            QList<int> answers;
        };
        const QList<Step> steps = {
            { ActionRemoveSubject, { { S("removeSubject"), S("\\[MYLIST] ") }, { S("another"), true } }, {} },
            { ActionAddHeader,
                { { S("headerName"), S("Filtered") }, { S("headerValue"), S("yes") },
                    { S("another"), true } },
                {} },
            { ActionModifyBody,
                { { S("bottomMode2"), true }, { S("bottomLine"), S("^-- $") }, { S("another"), true } },
                { No } },
            { ActionForward,
                { { S("forwardAddresses"), S("friend@example.org") }, { S("copy"), true },
                    { S("another"), true } },
                {} },
            { ActionSave, { { S("customMailboxChoice"), true }, { S("customMailbox"), S("lists") } }, {} },
        };
        CRecWizAction actionPage;
        for (int j = 0; j < steps.size(); ++j) {
            actionPage.SetPosition(j);
            actionPage.OnSetActive(definition);
            actionPage.findChild<QAbstractButton*>(QStringLiteral("type%1").arg(steps.at(j).type))->click();
            QVERIFY(actionPage.Validate(definition));
            actionPage.Save(definition);
            definition.DataMgr().SetCurrentAction(j);
            std::unique_ptr<CRecWizDetailPage> page = MakePage(
                QList<int> { 206, 148, 146, 173, 149, 172, 171, 170, 169, 168 }.at(steps.at(j).type));
            page->OnSetActive(definition);
            Enter(page.get(), steps.at(j).inputs);
            QueueAnswers(steps.at(j).answers);
            QVERIFY2(page->Validate(definition), qPrintable(Captions().join(S(", "))));
            page->Save(definition);
            QCOMPARE(definition.Action(j).anotherAction, j < steps.size() - 1 ? 1 : 0);
            definition.DataMgr().SetCurrentAction(j + 1);
        }
        QString error;
        QVERIFY2(definition.Validate(&error), qPrintable(error));
        RecipeTextSettings settings;
        settings.returnAddress = "me@example.org";
        const QByteArray block = CRecipeFile::BuildRecipeBlock(definition.GetName(),
            CRecipeSummary::BuildSummaryText(definition),
            CActionBuilder::BuildRecipeText(definition, settings));
        QVERIFY(sandbox.SetRecipes(block));

        QCOMPARE(sandbox.Deliver(ProcmailSandbox::Message("joe@example.net", "me@example.org",
                     "[MYLIST] Meeting", "See you at 9.\n-- \nMYLIST footer\nunsubscribe here\n")),
            0);
        QCOMPARE(sandbox.Deliver(
                     ProcmailSandbox::Message("ann@example.net", "me@example.org", "Lunch", "Noon?\n")),
            0);
        const QList<QByteArray> lists = sandbox.Folder(S("lists"));
        QCOMPARE(lists.size(), 1);
        QCOMPARE(ProcmailSandbox::Header(lists.at(0), "Subject"), QByteArray("Meeting"));
        QCOMPARE(ProcmailSandbox::Header(lists.at(0), "X-Filtered"), QByteArray("yes"));
        QCOMPARE(ProcmailSandbox::Body(lists.at(0)), QByteArray("See you at 9.\n-- \n"));
        const QList<ProcmailSandbox::SentMail> sent = sandbox.Sent();
        QCOMPARE(sent.size(), 1);
        QVERIFY2(sent.at(0).arguments.contains(S("friend@example.org")),
            qPrintable(sent.at(0).arguments.join(S(" "))));
        QCOMPARE(ProcmailSandbox::Header(sent.at(0).message, "Subject"), QByteArray("Meeting"));
        // The message the recipe does not match reaches the inbox untouched.
        const QList<QByteArray> inbox = sandbox.Inbox();
        QCOMPARE(inbox.size(), 1);
        QCOMPARE(ProcmailSandbox::Header(inbox.at(0), "Subject"), QByteArray("Lunch"));
    }
};

QTEST_MAIN(TestWizardActions)
#include "tst_wizardactions.moc"
