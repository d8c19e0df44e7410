// The Recipe Wizard offscreen, driven page by page through its widgets: the page sequence with
// its loops over conditions and actions, every condition field, the checks of the field, entries
// and name pages with their exact messages, Back keeping what was entered, Finish writing the
// core's block, and the ways the wizard opens (New Recipe, by name, import, File > Open).
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/common/CMessageLine.h"
#include "gui/common/CTabPromptEdit.h"
#include "gui/common/CommandIds.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/Help.h"
#include "gui/common/HelpBrowser.h"
#include "gui/common/IShell.h"
#include "gui/editor/CZEPHView.h"
#include "gui/wizard/CRecWizAction.h"
#include "gui/wizard/CRecWizEntries.h"
#include "gui/wizard/CRecWizFinish.h"
#include "gui/wizard/CRecWizHeaders1.h"
#include "gui/wizard/CRecWizLog.h"
#include "gui/wizard/CRecipeWizSheet.h"
#include "gui/wizard/CSpecifyToDlg.h"
#include "gui/wizard/RecipeWizardCommands.h"
#include "gui/wizard/WizardServices.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"
#include "support/gui/WizardDriver.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Ids = QList<int>;

QStringList Captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

CRecipeDefinition FromJson(const QByteArray& json)
{
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    if (!CRecipeDefinitionJson::FromJson(json, &definition, &settings, &error))
        qWarning("%s", qPrintable(error));
    return definition;
}

// The block the core writes for a definition, with the identity's settings as Finish uses them.
QByteArray CoreBlock(const CRecipeDefinition& definition)
{
    return CRecipeFile::BuildRecipeBlock(definition.GetName(), CRecipeSummary::BuildSummaryText(definition),
        CActionBuilder::BuildRecipeText(definition, RecipeTextSettings::FromProfile()));
}

QByteArray HandBlock(const QByteArray& name, const QByteArray& inner = ":0\n* ^Subject:.*old\n/dev/null\n")
{
    return "##_ZEPH_RECIPE_BEGIN_##" + name + "\n" + inner + "##_ZEPH_RECIPE_END_##" + name + "\n";
}

const QByteArray SpamJson = R"({"name": "Spam", "conditions": [{"field": 4, "entries": ["cheap"]}],
    "actions": [{"type": 9, "mailboxMode": 1, "customMailbox": "spam"}]})";

// Runs `drive` on the wizard once it is shown modally and closes it if `drive` left it open; stops
// looking when it goes out of scope, so a sheet that never shows cannot leak into the next test.
class OnSheet
{
public:
    explicit OnSheet(std::function<void(CRecipeWizSheet*)> drive)
        : m_drive(std::move(drive))
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* sheet = qobject_cast<CRecipeWizSheet*>(QApplication::activeModalWidget());
            if (!sheet || m_seen)
                return;
            m_seen = true;
            m_caption = sheet->windowTitle();
            m_drive(sheet);
            if (sheet->isVisible())
                sheet->reject();
        });
        m_timer.start();
    }
    bool Seen() const { return m_seen; }
    QString Caption() const { return m_caption; }

private:
    std::function<void(CRecipeWizSheet*)> m_drive;
    QTimer m_timer;
    bool m_seen = false;
    QString m_caption;
};

} // namespace

class TestWizard : public QObject
{
    Q_OBJECT

    GuiTestFixture m_fixture { QStringLiteral("WizardTest") };

    QString Recipes() const { return m_fixture.Docs() + QStringLiteral("zeph.recipes"); }

    std::unique_ptr<CRecipeWizSheet> Open(const CRecipeDefinition& definition = CRecipeDefinition(),
        CRecipeWizSheet::Mode mode = CRecipeWizSheet::NewRecipe, const QByteArray& original = QByteArray(),
        bool offer = true)
    {
        auto sheet = std::make_unique<CRecipeWizSheet>(mode, Workspace::GetRecipeFilePath());
        sheet->Start(definition, original, offer);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
        if (!QTest::qWaitForWindowActive(sheet.get()))
            qWarning("the wizard did not become active");
        return sheet;
    }

    // A recipe "Spam" made earlier: its block between two others, and its data file.
    void MakeSpam()
    {
        const CRecipeDefinition spam = FromJson(SpamJson);
        QVERIFY(WriteFile(Recipes(), HandBlock("First") + CoreBlock(spam) + HandBlock("Last")));
        QVERIFY(spam.SaveRecipeData("Spam"));
    }

private slots:
    void init()
    {
        m_fixture.Init();
        // The character warnings have tests of their own; elsewhere they would only ask.
        SetSetting(Settings::NoRegexWarning, 1);
        SetSetting(Settings::NoSedRegexWarning, 1);
        SetSetting(Settings::ZephDir, QStringLiteral("$HOME/.procmail"));
    }

    // The explanation pane's colours: the stored colour references (red in the low byte), and for
    // "Automatic" the desktop's own colours, never black on black.
    void explanationColours_data()
    {
        QTest::addColumn<int>("text");
        QTest::addColumn<int>("highlight");
        QTest::addColumn<int>("background");
        QTest::addColumn<QColor>("textColour");
        QTest::addColumn<QColor>("highlightColour");
        QTest::addColumn<QColor>("backgroundColour");
        const QPalette desktop = QApplication::palette();
        QTest::newRow("defaults") << 0 << 16714250 << 0xFFFFFF << QColor(0, 0, 0) << QColor(10, 10, 255)
                                  << QColor(255, 255, 255);
        QTest::newRow("red in the low byte") << 0x0000FF << 0x00FF00 << 0xFF0000 << QColor(255, 0, 0)
                                             << QColor(0, 255, 0) << QColor(0, 0, 255);
        const int automatic = int(0xFF000000u);
        QTest::newRow("automatic") << automatic << automatic << automatic << desktop.color(QPalette::Text)
                                   << desktop.color(QPalette::Link) << desktop.color(QPalette::Base);
    }
    void explanationColours()
    {
        QFETCH(int, text);
        QFETCH(int, highlight);
        QFETCH(int, background);
        QFETCH(QColor, textColour);
        QFETCH(QColor, highlightColour);
        QFETCH(QColor, backgroundColour);
        SetSetting(Settings::WizTextColor, text);
        SetSetting(Settings::WizHighlightColor, highlight);
        SetSetting(Settings::WizBackgroundColor, background);
        QTextEdit box;
        WizardServices::FillExplanation(&box, { QStringLiteral("plain "), QStringLiteral("bold") });
        QTextCursor cursor(box.document());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().foreground().color(), textColour);
        QVERIFY(cursor.charFormat().fontWeight() != QFont::Bold);
        cursor.setPosition(QStringLiteral("plain b").size());
        QCOMPARE(cursor.charFormat().foreground().color(), highlightColour);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(box.palette().color(QPalette::Base), backgroundColour);
        QCOMPARE(box.toPlainText(), QStringLiteral("plain bold"));
    }

    // Three conditions joined AND and OR, then the actions: the pages and buttons in order, and
    // Back over the conditions.
    void pageSequence()
    {
        auto sheet = Open();
        WizardDriver w(sheet.get());
        Ids pages { w.PageId() };
        QVERIFY(!sheet->BackButton()->isVisible());
        QVERIFY(sheet->HeadersPage()->FieldButton(CRecipeCondition::AllMessages)->isEnabled());
        QCOMPARE(sheet->PageTitle()->text(), QStringLiteral("Select a field to filter on"));
        w.Field(CRecipeCondition::Subject);
        w.Next();
        QCOMPARE(
            sheet->PageTitle()->text(), QStringLiteral("Enter word(s) to match on in \"Subject:\" field."));
        pages << w.PageId();
        w.Entries(QStringLiteral("cheap"), CRecipeCondition::JoinAnd);
        w.Next();
        pages << w.PageId();
        QVERIFY(sheet->BackButton()->isVisible());
        QVERIFY(!sheet->HeadersPage()->FieldButton(CRecipeCondition::AllMessages)->isEnabled());
        w.Field(CRecipeCondition::From);
        w.Next();
        w.Entries(QStringLiteral("joe"), CRecipeCondition::JoinOr);
        w.Next();
        pages << w.PageId();
        w.Field(CRecipeCondition::To);
        w.Next();
        w.Entries(QStringLiteral("me"));
        w.Next();
        pages << w.PageId();
        QCOMPARE(pages, (Ids { 140, 142, 140, 140, 143 }));
        QCOMPARE(sheet->Definition().GetConditionCount(), 3);

        // Back from the action page: condition 2 on the entries page, then on the field page.
        QVERIFY(w.Back());
        QCOMPARE(w.PageId(), 142);
        QCOMPARE(sheet->EntriesPage()->Condition(), 2);
        QCOMPARE(sheet->EntriesPage()->EntryBox()->toPlainText(), QStringLiteral("me"));
        QVERIFY(w.Back());
        QCOMPARE(w.PageId(), 140);
        QCOMPARE(sheet->HeadersPage()->Condition(), 2);
        QVERIFY(sheet->HeadersPage()->FieldButton(CRecipeCondition::To)->isChecked());
        QVERIFY(w.Back());
        QCOMPARE(sheet->EntriesPage()->Condition(), 1);
        QVERIFY(sheet->EntriesPage()->Joins()->button(CRecipeCondition::JoinOr)->isChecked());

        // Forward again; "Delete message" has no another-action box and goes on to the name page.
        w.Next();
        w.Next();
        w.Next();
        QCOMPARE(w.PageId(), 143);
        w.Action(ActionDelete);
        w.Next();
        QCOMPARE(w.PageId(), 171);
        w.Next();
        QCOMPARE(w.PageId(), 156);
        QVERIFY(!sheet->LogPage()->Note()->isVisible()); // a deleting recipe delivers
        QVERIFY(!sheet->FinishButton()->isVisible());
        w.Name(QStringLiteral("Three"));
        w.Next();
        QCOMPARE(w.PageId(), 147);
        QVERIFY(sheet->FinishButton()->isVisible());
        QVERIFY(!sheet->NextButton()->isVisible());
        QVERIFY(sheet->FinishPage()->ListBox()->isVisible());
        QString error;
        QVERIFY2(sheet->Definition().Validate(&error), qPrintable(error));
        QCOMPARE(sheet->Definition().GetJoin(0), int(CRecipeCondition::JoinAnd));
        QCOMPARE(sheet->Definition().GetJoin(1), int(CRecipeCondition::JoinOr));
    }

    // Going back to condition 0 and choosing "No additional conditions" drops the later ones; so
    // does unticking "another action" for the actions.
    void endingEarlyDropsTheRest()
    {
        CRecipeDefinition definition = FromJson(R"({"name": "Two", "conditions": [
            {"field": 4, "entries": ["a"], "join": 1}, {"field": 2, "entries": ["b"], "join": 1},
            {"field": 1, "entries": ["c"]}],
            "actions": [{"type": 2, "headerName": "One", "headerValue": "1"}, {"type": 9}]})");
        auto sheet = Open(definition, CRecipeWizSheet::EditByName, "Two");
        WizardDriver w(sheet.get());
        w.Next();
        w.Entries(QStringLiteral("a"), CRecipeCondition::JoinNone);
        w.Next();
        QCOMPARE(w.PageId(), 143);
        QCOMPARE(sheet->Definition().GetConditionCount(), 1);
        QVERIFY(sheet->ActionPage()->findChild<QRadioButton*>(QStringLiteral("type2"))->isChecked());
        w.Next();
        QCOMPARE(w.PageId(), 146);
        QVERIFY(w.Control<QCheckBox>("another")->isChecked());
        w.SetChecked("another", false);
        w.Next();
        QCOMPARE(w.PageId(), 156);
        QCOMPARE(sheet->Definition().GetActionCount(), 1);
        QVERIFY(sheet->LogPage()->Note()->isVisible()); // adding a header delivers nothing
        // Back from the name page opens the last action's page.
        w.Back();
        QCOMPARE(w.PageId(), 146);
        QCOMPARE(w.Control<QLineEdit>("headerName")->text(), QStringLiteral("One"));
    }

    // Every field through its widgets: what is stored, the page's title, heading and help.
    void conditionFields_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("customHeader");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<QByteArray>("size");
        QTest::addColumn<int>("storedInvert");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("help");
        const QString two = QStringLiteral("joe@example.com\nsally@example.net");
        const QByteArray stored = "joe@example.com\r\nsally@example.net";
        QTest::newRow("To") << 0 << QString() << false << two << stored << QByteArray() << 0
                            << u"Enter word(s) to match on in the \"To:\" field."_s << u"rWizPg2To.html"_s;
        QTest::newRow("Cc, inverted")
            << 1 << QString() << true << two << stored << QByteArray() << 1
            << u"Enter word(s) to match on in the \"Cc:\" field."_s << u"rWizPg2Cc.html"_s;
        QTest::newRow("From") << 2 << QString() << false << two << stored << QByteArray() << 0
                              << u"Enter word(s) to match on in \"From:\" field."_s << u"rWizPg2From.html"_s;
        QTest::newRow("Sender") << 3 << QString() << false << two << stored << QByteArray() << 0
                                << u"Enter word(s) to match on in \"Sender:\" field."_s
                                << u"rWizPg2Sender.html"_s;
        QTest::newRow("Subject, blank line kept as typed")
            << 4 << QString() << false << QStringLiteral("cheap\n\noffer") << QByteArray("cheap\r\n\r\noffer")
            << QByteArray() << 0 << u"Enter word(s) to match on in \"Subject:\" field."_s
            << u"rWizPg2Subject.html"_s;
        QTest::newRow("Received") << 5 << QString() << false << two << stored << QByteArray() << 0
                                  << u"Enter word(s) to match on in \"Received:\" field."_s
                                  << u"rWizPg2Received.html"_s;
        QTest::newRow("Reply-To") << 6 << QString() << false << two << stored << QByteArray() << 0
                                  << u"Enter word(s) to match on in \"Reply-To:\" field."_s
                                  << u"rWizPg2Reply.html"_s;
        QTest::newRow("any header") << 7 << QString() << false << QStringLiteral("list") << QByteArray("list")
                                    << QByteArray() << 0 << u"Enter word(s) to match on in any header."_s
                                    << u"rWizPg2AllHead.html"_s;
        QTest::newRow("body") << 8 << QString() << false << QStringLiteral("Dear friend")
                              << QByteArray("Dear friend") << QByteArray() << 0
                              << u"Enter word(s) to match on in the message body."_s << u"rWizPg2Body.html"_s;
        QTest::newRow("size") << 9 << QString() << false << QStringLiteral("102400") << QByteArray()
                              << QByteArray("102400") << 0
                              << u"Enter total message size in bytes to filter on."_s
                              << u"rWizPg2Size.html"_s;
        QTest::newRow("size with a fraction")
            << 9 << QString() << false << QStringLiteral("1.6") << QByteArray() << QByteArray("2") << 0
            << u"Enter total message size in bytes to filter on."_s << u"rWizPg2Size.html"_s;
        QTest::newRow("all messages: invert dropped")
            << 10 << QString() << true << QString() << QByteArray() << QByteArray() << 0
            << u"Matching all messages."_s << u"rWizPg2All.html"_s;
        QTest::newRow("custom header")
            << 11 << QStringLiteral("X-Mailing-List") << false << QStringLiteral("procmail")
            << QByteArray("procmail") << QByteArray() << 0
            << u"Enter word(s) to match on in \"X-Mailing-List\" field."_s << u"rWizPg2Custom.html"_s;
    }

    void conditionFields()
    {
        QFETCH(int, field);
        QFETCH(QString, customHeader);
        QFETCH(bool, invert);
        QFETCH(QString, typed);
        QFETCH(QByteArray, entries);
        QFETCH(QByteArray, size);
        QFETCH(int, storedInvert);
        QFETCH(QString, title);
        QFETCH(QString, help);
        auto sheet = Open();
        WizardDriver w(sheet.get());
        w.Field(field, customHeader, invert);
        QCOMPARE(
            sheet->HeadersPage()->CustomHeaderBox()->isEnabled(), field == CRecipeCondition::CustomHeader);
        QCOMPARE(sheet->HeadersPage()->InvertBox()->isEnabled(), field != CRecipeCondition::AllMessages);
        QVERIFY(w.Next());
        CRecWizEntries* page = sheet->EntriesPage();
        QCOMPARE(sheet->PageTitle()->text(), title);
        QCOMPARE(page->HelpTopic(), help);
        const bool all = field == CRecipeCondition::AllMessages;
        QCOMPARE(page->EntryBox()->isVisible(), field != CRecipeCondition::Size && !all);
        QCOMPARE(page->SizeBox()->isVisible(), field == CRecipeCondition::Size);
        QCOMPARE(page->Heading()->isVisible(), !all);
        QCOMPARE(page->Joins()->button(0)->isVisible(), !all);
        if (!all)
            QCOMPARE(page->Heading()->text(), title.chopped(1) + QLatin1Char(':'));
        if (field == CRecipeCondition::Size)
            w.Size(typed);
        else if (!all)
            w.Entries(typed);
        QVERIFY(w.Next());
        QCOMPARE(w.PageId(), 143);
        QCOMPARE(Captions(), QStringList());
        const CRecipeCondition& c = sheet->Definition().Conditions().at(0);
        QCOMPARE(c.field, field);
        QCOMPARE(c.entries, entries);
        QCOMPARE(c.size, size);
        QCOMPARE(c.invert, storedInvert);
        QCOMPARE(c.customHeader, customHeader.toUtf8());
        QCOMPARE(c.join, 0);
    }

    // The explanation pane of the entries page opens with the field's own sentence.
    void entriesExplanation_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("start");
        QTest::newRow("To") << 0 << u"Enter word(s) to filter on in the \"To:\" field.  For example:\n\n"_s;
        QTest::newRow("Cc, no blank before the quote")
            << 1 << u"Enter word(s) to filter on in the\"Cc:\" field.  For example:\n\n"_s;
        QTest::newRow("Sender")
            << 3
            << u"Enter word(s) to filter on in the \"Sender:\" field in the box below.  To "
               "enter multiple choices, enter one word or phrase per line. For example:\n\n"_s;
        QTest::newRow("Reply-To")
            << 6
            << u"Enter word(s) to filter on in the \"Reply-To:\" headers in the box "
               "below.  To enter multiple choices, enter one word or phrase per line. For "
               "example:\n\n"_s;
        QTest::newRow("any header, two blanks")
            << 7 << u"Enter word(s) to filter on in any  message header in the box below."_s;
        QTest::newRow("size") << 9
                              << u"Enter the total message size in bytes to filter on in the box below.  For "
                                 "example if you want to match messages over 100 kilobytes enter 102400."_s;
        QTest::newRow("all messages")
            << 10
            << u"All messages will match and be acted upon by this recipe.  To continue, hit the "
               "\"Next\" button."_s;
        QTest::newRow("custom header")
            << 11 << u"Enter word(s) to filter on in the \"X-Spam\" header in the box below."_s;
    }

    void entriesExplanation()
    {
        QFETCH(int, field);
        QFETCH(QString, start);
        auto sheet = Open();
        WizardDriver w(sheet.get());
        w.Field(field, QStringLiteral("X-Spam"));
        QVERIFY(w.Next());
        QVERIFY2(sheet->EntriesPage()->Explanation()->toPlainText().startsWith(start),
            qPrintable(sheet->EntriesPage()->Explanation()->toPlainText()));
    }

    // "Specify To:" sets the condition's To kind and the default of later To conditions; Cancel
    // changes nothing.
    void specifyTo()
    {
        auto sheet = Open();
        CRecWizHeaders1* page = sheet->HeadersPage();
        QCOMPARE(page->ToKindLabel()->text(), QStringLiteral("\"To:\" field"));
        WhenModal<CSpecifyToDlg>([](CSpecifyToDlg* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Specify \"To:\" field"));
            QVERIFY(dialog->Choices()->button(100)->isChecked());
            dialog->Choices()->button(102)->click();
            dialog->accept();
        });
        page->SpecifyToButton()->click();
        QCOMPARE(page->ToKindLabel()->text(), QStringLiteral("\"TO_\" macro"));
        QCOMPARE(GetSetting(Settings::ToMacro), 102);
        WhenModal<CSpecifyToDlg>([](CSpecifyToDlg* dialog) {
            QVERIFY(dialog->Choices()->button(102)->isChecked());
            dialog->Choices()->button(101)->click();
            dialog->reject();
        });
        page->SpecifyToButton()->click();
        QCOMPARE(GetSetting(Settings::ToMacro), 102);
        WizardDriver w(sheet.get());
        w.Field(CRecipeCondition::To);
        w.Next();
        QCOMPARE(sheet->PageTitle()->text(),
            QStringLiteral("Enter word(s) to match on in the \"TO_\" macro field."));
        QCOMPARE(sheet->Definition().GetToKind(0), 102);
    }

    // The checks of the field page, each with its message; the page stays and nothing is stored.
    void fieldPageChecks_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<bool>("regexWarning");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stays");
        QTest::newRow("empty")
            << QStringLiteral("  ") << false << 0 << u"Custom header not specified."_s
            << u"You have selected to filter on a custom header but you have not specified "
               "a custom header.  Please enter a custom header to filter on (or select "
               "another field to filter on)."_s
            << true;
        QTest::newRow("line break")
            << QStringLiteral("X-A\nX-B") << false << 0 << u"Invalid character"_s
            << u"This entry contains a line break or a NUL character, which cannot be "
               "written into a procmail recipe.  Please remove it."_s
            << true;
        QTest::newRow("trailing backslash")
            << QStringLiteral("X-Path\\") << false << 0 << u"Trailing backslash"_s
            << u"The custom header \"X-Path\\\" ends in a backslash (\\).  "
               "procmail would join the next recipe line to the condition.  "
               "Please remove the backslash."_s
            << true;
        const QString regex = QStringLiteral(
            "Caution, you appear to be using one or more regular expression characters.  Be careful about "
            "what you are matching.  Be sure to test your recipe before use.  For more information on "
            "regular expressions hit the help button.\n\nWould you like to edit your entry?");
        QTest::newRow("period, edit it")
            << QStringLiteral("X.List") << true << int(Prompt::Yes) << u"Edit your entry?"_s << regex << true;
        QTest::newRow("period, keep it")
            << QStringLiteral("X.List") << true << int(Prompt::No) << u"Edit your entry?"_s << regex << false;
    }

    void fieldPageChecks()
    {
        QFETCH(QString, header);
        QFETCH(bool, regexWarning);
        QFETCH(int, answer);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(bool, stays);
        SetSetting(Settings::NoRegexWarning, regexWarning ? 0 : 1);
        if (answer)
            Prompt::QueueAnswer(Prompt::Button(answer));
        auto sheet = Open();
        WizardDriver w(sheet.get());
        w.Field(CRecipeCondition::CustomHeader, header);
        QCOMPARE(w.Next(), !stays);
        QCOMPARE(Captions(), QStringList { caption });
        QCOMPARE(Prompt::History().at(0).text, text);
        QCOMPARE(sheet->Definition().GetConditionCount(), stays ? 0 : 1);
        if (stays)
            QVERIFY(sheet->HeadersPage()->CustomHeaderBox()->hasFocus());
    }

    // The checks of the entries page in their order, with the answers that decide them.
    void entriesPageChecks_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("regexWarning");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("firstText"); // empty: not compared
        QTest::addColumn<bool>("stays");
        QTest::addColumn<int>("linebufAfter");
        const QString allMail = QStringLiteral("You have not entered a word or character to filter on.  Are "
                                               "you sure you want to match all mail");
        const QString nothing = QStringLiteral(
            "You have not entered a word or character to filter on.  Please enter something to filter on.");
        const QString positive = QStringLiteral(
            "Please enter a positive number.  That number represents the size of the message in bytes that "
            "you want to match on. For example if you want to match messages over 100 kilobytes enter "
            "102400.");
        const QStringList linebuf { QStringLiteral("Edit your entries?") };
        using L = QList<int>;

        QTest::newRow("empty Subject, No") << 4 << false << QString() << false << L { Prompt::No }
                                           << QStringList { u"No filter specified!"_s }
                                           << allMail + u" with a Subject: header?"_s << true << 1;
        QTest::newRow("empty inverted Subject, Yes")
            << 4 << true << QStringLiteral("\n") << false << L { Prompt::Yes }
            << QStringList { u"No filter specified!"_s } << allMail + u" without a Subject: header?"_s
            << false << 1;
        QTest::newRow("empty custom header, Cancel")
            << 11 << false << QString() << false << L { Prompt::Cancel }
            << QStringList { u"No filter specified!"_s } << allMail + u" with a X-Spam header?"_s << true
            << 1;
        QTest::newRow("blank body") << 8 << false << QStringLiteral("  \n\t") << false << L {}
                                    << QStringList { u"Nothing entered!"_s } << nothing << true << 1;
        QTest::newRow("empty any header") << 7 << false << QString() << false << L {}
                                          << QStringList { u"Nothing entered!"_s } << nothing << true << 1;
        QTest::newRow("line ending in a backslash")
            << 4 << false << QStringLiteral("fine\nC:\\") << false << L {}
            << QStringList { u"Trailing backslash"_s }
            << QStringLiteral(
                   "Line 2 of your entries ends with a backslash (\\).  procmail would join the next "
                   "recipe line to it.  Please remove the backslash, or double it to match a "
                   "backslash.")
            << true << 1;
        QTest::newRow("doubled backslash") << 4 << false << QStringLiteral("C:\\\\") << false << L {}
                                           << QStringList {} << QString() << false << 1;
        QTest::newRow("2000 characters") << 4 << false << QString(2000, QLatin1Char('x')) << false << L {}
                                         << QStringList {} << QString() << false << 1;
        QTest::newRow("2001 characters, Yes")
            << 4 << false << QString(2001, QLatin1Char('x')) << false << L { Prompt::Yes } << linebuf
            << QStringLiteral(
                   "You may have a LINEBUF problem.  At most sites the default LINEBUF value is 2048 "
                   "(that is the maximum length for a line).  Your condition is at least 2001 "
                   "characters long.\n\nYou could increase the value of the LINEBUF however that "
                   "slows procmail down.  You could also break the recipe into multiple recipes.  "
                   "For example, if you are matching on messages from 100 different addresses "
                   "simply create two recipes, one that matches the first 50 addresses and the "
                   "second that matches the remaining 50.\n\nYou are strongly encouraged to do "
                   "something to correct this.  To stop and correct the problem hit "
                   "'Yes'(recommended).  To ignore this warning and continue, hit 'No'.  If you "
                   "want to continue and do not want to receive this warning again, hit 'Cancel'.  "
                   "Please see the help file for more information on LINEBUF.")
            << true << 1;
        QTest::newRow("2001 characters on two lines, No")
            << 4 << false
            << QString(1000, QLatin1Char('x')) + QLatin1Char('\n') + QString(1001, QLatin1Char('y')) << false
            << L { Prompt::No } << linebuf << QString() << false << 1;
        QTest::newRow("2001 characters, Cancel switches the warning off")
            << 4 << false << QString(2001, QLatin1Char('x')) << false << L { Prompt::Cancel } << linebuf
            << QString() << false << 0;
        QTest::newRow("regular expression, edit it")
            << 4 << false << QStringLiteral("a.*b") << true << L { Prompt::Yes }
            << QStringList { u"Edit your entry?"_s } << QString() << true << 1;
        QTest::newRow("regular expression, warning off") << 4 << false << QStringLiteral("a.*b") << false
                                                         << L {} << QStringList {} << QString() << false << 1;
        QTest::newRow("size 0") << 9 << false << QStringLiteral("0") << false << L {}
                                << QStringList { u"Positive number not entered"_s } << positive << true << 1;
        QTest::newRow("negative size")
            << 9 << false << QStringLiteral("-5") << false << L {}
            << QStringList { u"Positive number not entered"_s } << positive << true << 1;
        QTest::newRow("size rounds to 0")
            << 9 << false << QStringLiteral("0.4") << false << L {}
            << QStringList { u"Positive number not entered"_s } << positive << true << 1;
        QTest::newRow("size no number")
            << 9 << false << QStringLiteral("lots") << false << L {}
            << QStringList { u"Positive number not entered"_s } << positive << true << 1;
        QTest::newRow("size of eleven digits")
            << 9 << false << QStringLiteral("12345678901") << false << L {}
            << QStringList { u"Size too large"_s }
            << QStringLiteral("The size 12345678901 is too large.  Please enter a number of bytes from 1 to "
                              "9999999999.")
            << true << 1;
    }

    void entriesPageChecks()
    {
        QFETCH(int, field);
        QFETCH(bool, invert);
        QFETCH(QString, typed);
        QFETCH(bool, regexWarning);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, captions);
        QFETCH(QString, firstText);
        QFETCH(bool, stays);
        QFETCH(int, linebufAfter);
        auto sheet = Open();
        WizardDriver w(sheet.get());
        w.Field(field, QStringLiteral("X-Spam"), invert);
        QVERIFY(w.Next());
        SetSetting(Settings::NoRegexWarning, regexWarning ? 0 : 1);
        for (int answer : answers)
            Prompt::QueueAnswer(Prompt::Button(answer));
        if (field == CRecipeCondition::Size)
            w.Size(typed);
        else
            w.Entries(typed);
        QCOMPARE(w.Next(), !stays);
        QCOMPARE(Captions(), captions);
        if (!firstText.isEmpty())
            QCOMPARE(Prompt::History().at(0).text, firstText);
        QCOMPARE(GetSetting(Settings::LinebufWarning), linebufAfter);
        // A refused entry is not stored.
        if (stays)
            QVERIFY(sheet->Definition().GetEntries(0).isEmpty() && sheet->Definition().GetSize(0).isEmpty());
    }

    // The name page: each refused name with its message, and names that look close but pass.
    void namePageChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption"); // empty: accepted
        QTest::addColumn<QString>("text");
        const QString characters = QStringLiteral(
            "Windows doesn't allow the characters \\/:*?\"<>| to be used in filenames.  ZEPH uses the recipe "
            "name for the filename of the recipe data file.  Please remove any of those characters from the "
            "recipe name.");
        const QString reserved = QStringLiteral(
            "Please select another name for your recipe.  You have choosen a name that begins with 'ZEPH_'.  "
            "Recipe names that begin with 'ZEPH_' are reserved for special recipes generated by ZEPH (such "
            "as "
            "the 'backup' and 'vacation' recipes).\n\nPlease modify the name of your recipe so it doesn't "
            "begin with 'ZEPH_'.");
        const QString device = QStringLiteral(
            "Please select another name for your recipe, you have choosen an invalid name.  You cannot use "
            "COM1 through COM9, LPT1 through LPT9, AUX, CLOCK$, CON, NUL, and PRN.  Those name are reserved "
            "by Windows.\n\nPlease modify the name of your recipe.");
        QTest::newRow("empty") << QString() << u"Please enter a name"_s
                               << u" Please enter a name for the recipe, use a descriptive name to help you "
                                  "remember what this recipe accomplishes.  You can change the position of "
                                  "this recipe by moving this name up or down."_s;
        QTest::newRow("slash") << QStringLiteral("a/b") << u"Modify Recipe Name"_s << characters;
        QTest::newRow("parent folder") << QStringLiteral("..\\x") << u"Modify Recipe Name"_s << characters;
        QTest::newRow("quote") << QStringLiteral("say \"hi\"") << u"Modify Recipe Name"_s << characters;
        QTest::newRow("reserved prefix")
            << QStringLiteral("zeph_mine") << u"Modify Recipe Name"_s << reserved;
        QTest::newRow("com1") << QStringLiteral("com1") << u"Modify Recipe Name"_s << device;
        QTest::newRow("Nul") << QStringLiteral("Nul") << u"Modify Recipe Name"_s << device;
        QTest::newRow("CLOCK$") << QStringLiteral("CLOCK$") << u"Modify Recipe Name"_s << device;
        QTest::newRow("line break")
            << QStringLiteral("a\nb") << u"Invalid character"_s
            << u"This entry contains a line break or a NUL character, which cannot be "
               "written into a procmail recipe.  Please remove it."_s;
        QTest::newRow("COM10") << QStringLiteral("COM10") << QString() << QString();
        QTest::newRow("CONSOLE") << QStringLiteral("CONSOLE") << QString() << QString();
        QTest::newRow("contains ZEPH_ later") << QStringLiteral("my ZEPH_ list") << QString() << QString();
        QTest::newRow("trailing blank") << QStringLiteral("Spam ") << QString() << QString();
    }

    void namePageChecks()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        CRecipeDefinition definition = FromJson(SpamJson);
        definition.SetName(QByteArray());
        auto sheet = Open(definition);
        WizardDriver w(sheet.get());
        while (w.PageId() != 156)
            QVERIFY(w.Next());
        w.Name(name);
        const bool accepted = caption.isEmpty();
        QCOMPARE(w.Next(), accepted);
        if (accepted) {
            QCOMPARE(Captions(), QStringList());
            QCOMPARE(sheet->Definition().GetName(), name.toUtf8());
            return;
        }
        QCOMPARE(Captions(), QStringList { caption });
        QCOMPARE(Prompt::History().at(0).text, text);
        QVERIFY(sheet->LogPage()->NameBox()->hasFocus());
        QCOMPARE(sheet->LogPage()->NameBox()->hasSelectedText(), !name.isEmpty());
    }

    // A whole recipe through every kind of page, then Back to the first page: each page shows what
    // was entered. Forward again unchanged, Finish writes exactly the core's block for the same
    // definition, marks the file for upload and tells the user.
    void backKeepsEverythingAndFinishWritesTheCoreBlock()
    {
        QVERIFY(WriteFile(Recipes(), HandBlock("Earlier")));
        auto sheet = Open();
        WizardDriver w(sheet.get());
        w.Condition(CRecipeCondition::CustomHeader, QStringLiteral("procmail\nusers"),
            CRecipeCondition::JoinAnd, false, QStringLiteral("X-Mailing-List"));
        w.Condition(CRecipeCondition::Size, QStringLiteral("50000"), CRecipeCondition::JoinOr);
        w.Condition(
            CRecipeCondition::From, QStringLiteral("boss@example.com"), CRecipeCondition::JoinNone, true);
        QCOMPARE(w.PageId(), 143);
        w.Action(ActionAddHeader);
        w.Next();
        w.SetText("headerName", QStringLiteral("Filtered"));
        w.SetText("headerValue", QStringLiteral("yes"));
        w.SetChecked("another", true);
        w.Next();
        w.Action(ActionForward);
        w.Next();
        w.SetText("forwardAddresses", QStringLiteral("me@example.org"));
        w.SetChecked("copy", true);
        w.SetChecked("another", true);
        w.Next();
        w.SaveTo(QStringLiteral("lists"));
        QCOMPARE(w.PageId(), 156);
        w.Name(QStringLiteral("Lists"), 2, true);
        w.Next();
        QCOMPARE(w.PageId(), 147);
        QCOMPARE(Captions(), QStringList());

        // Back over every page, each showing what was entered.
        Ids pages;
        while (sheet->BackButton()->isVisible()) {
            QVERIFY(w.Back());
            pages << w.PageId();
            switch (w.PageId()) {
            case 156:
                QCOMPARE(sheet->LogPage()->NameBox()->text(), QStringLiteral("Lists"));
                QVERIFY(sheet->LogPage()->Logging()->button(2)->isChecked());
                QVERIFY(sheet->LogPage()->NameHeaderBox()->isChecked());
                break;
            case 168:
                QCOMPARE(w.Control<QLineEdit>("customMailbox")->text(), QStringLiteral("lists"));
                break;
            case 170:
                QCOMPARE(w.Control<QPlainTextEdit>("forwardAddresses")->toPlainText(),
                    QStringLiteral("me@example.org"));
                QVERIFY(w.Control<QCheckBox>("copy")->isChecked());
                break;
            case 146:
                QCOMPARE(w.Control<QLineEdit>("headerName")->text(), QStringLiteral("Filtered"));
                QCOMPARE(w.Control<QLineEdit>("headerValue")->text(), QStringLiteral("yes"));
                break;
            case 143: {
                static const int types[] = { ActionAddHeader, ActionForward, ActionSave };
                const int j = sheet->ActionPage()->Position();
                QVERIFY(sheet->ActionPage()
                            ->findChild<QRadioButton*>(QStringLiteral("type%1").arg(types[j]))
                            ->isChecked());
                break;
            }
            case 142: {
                static const char* const typed[] = { "procmail\nusers", "", "boss@example.com" };
                const int k = sheet->EntriesPage()->Condition();
                if (k == 1)
                    QCOMPARE(sheet->EntriesPage()->SizeBox()->text(), QStringLiteral("50000"));
                else
                    QCOMPARE(sheet->EntriesPage()->EntryBox()->toPlainText(), QLatin1String(typed[k]));
                break;
            }
            case 140: {
                static const int fields[] = { 11, 9, 2 };
                const int k = sheet->HeadersPage()->Condition();
                QVERIFY(sheet->HeadersPage()->FieldButton(fields[k])->isChecked());
                QCOMPARE(sheet->HeadersPage()->InvertBox()->isChecked(), k == 2);
                if (k == 0)
                    QCOMPARE(
                        sheet->HeadersPage()->CustomHeaderBox()->text(), QStringLiteral("X-Mailing-List"));
                break;
            }
            }
        }
        QCOMPARE(pages, (Ids { 156, 168, 143, 170, 143, 146, 143, 142, 140, 142, 140, 142, 140 }));

        while (w.PageId() != 147)
            QVERIFY(w.Next());
        sheet->FinishPage()->ListBox()->setChecked(false);
        w.Finish();
        QVERIFY(!sheet->isVisible());
        QCOMPARE(sheet->result(), int(QDialog::Accepted));
        QCOMPARE(Captions(), QStringList { QStringLiteral("Success") });
        QCOMPARE(Prompt::History().at(0).text,
            QStringLiteral("Your new recipe has been added to the end of the file."));

        const CRecipeDefinition expected = FromJson(R"({"name": "Lists", "nameHeader": true, "logging": 2,
            "conditions": [
              {"field": 11, "customHeader": "X-Mailing-List", "entries": ["procmail", "users"], "join": 1},
              {"field": 9, "size": "50000", "join": 2},
              {"field": 2, "invert": true, "entries": ["boss@example.com"]}],
            "actions": [{"type": 2, "headerName": "Filtered", "headerValue": "yes"},
              {"type": 7, "forwardAddresses": ["me@example.org"], "copy": true},
              {"type": 9, "mailboxMode": 1, "customMailbox": "lists"}]})");
        QCOMPARE(ReadFile(Recipes()), HandBlock("Earlier") + CoreBlock(expected));
        QVERIFY(PendingPairs().contains(qMakePair(Recipes(), QStringLiteral(".procmail/zeph.recipes"))));
        CRecipeDefinition saved;
        QString error;
        QVERIFY2(
            saved.LoadRecipeDataFrom(CRecipeDefinition::RecipeDataPath("Lists"), &error), qPrintable(error));
        QCOMPARE(CRecipeDefinitionJson::ToJson(saved), CRecipeDefinitionJson::ToJson(expected));
        QCOMPARE(GetSetting(Settings::ShowRecipeListAfterWizard), 0);
    }

    // Every action type through its page and the sheet: Finish writes the core's block for the
    // definition the pages were given.
    void everyActionType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("values"); // object name, value, object name, value...
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("add to Subject") << 0 << QStringList { u"addSubject"_s, u"[TAG]"_s }
                                        << QByteArray(R"({"type": 0, "addSubject": "[TAG]"})");
        QTest::newRow("remove from Subject") << 1 << QStringList { u"removeSubject"_s, u"TAG"_s }
                                             << QByteArray(R"({"type": 1, "removeSubject": "TAG"})");
        QTest::newRow("add header") << 2
                                    << QStringList { u"headerName"_s, u"Seen"_s, u"headerValue"_s, u"yes"_s }
                                    << QByteArray(
                                           R"({"type": 2, "headerName": "Seen", "headerValue": "yes"})");
        QTest::newRow("remove header") << 3 << QStringList { u"headerToRemove"_s, u"List-Unsubscribe:"_s }
                                       << QByteArray(R"({"type": 3, "headerToRemove": "List-Unsubscribe:"})");
        QTest::newRow("modify body") << 4 << QStringList { u"topMode1"_s, u"1"_s, u"topCount"_s, u"2"_s }
                                     << QByteArray(R"({"type": 4, "topMode": 1, "topCount": 2})");
        QTest::newRow("exit code") << 5 << QStringList { u"exitCode"_s, u"75"_s }
                                   << QByteArray(R"({"type": 5, "exitCode": 75})");
        QTest::newRow("delete") << 6 << QStringList {} << QByteArray(R"({"type": 6})");
        QTest::newRow("forward") << 7 << QStringList { u"forwardAddresses"_s, u"fwd@example.net"_s }
                                 << QByteArray(R"({"type": 7, "forwardAddresses": ["fwd@example.net"]})");
        QTest::newRow("reply") << 8
                               << QStringList { u"responseFile"_s, u"@reply.txt"_s, u"includeHeaders"_s,
                                      u"1"_s }
                               << QByteArray(
                                      R"({"type": 8, "responseFile": "@reply.txt", "includeHeaders": true,
                                   "responseAtTop": true})");
        QTest::newRow("save") << 9 << QStringList {} << QByteArray(R"({"type": 9})");
    }

    void everyActionType()
    {
        QFETCH(int, type);
        QFETCH(QStringList, values);
        QFETCH(QByteArray, json);
        // "@" stands for the Document Folder, where the reply text lies.
        const QString reply = m_fixture.Docs() + QStringLiteral("reply.txt");
        QVERIFY(WriteFile(reply, "I am away.\n"));
        values.replaceInStrings(QStringLiteral("@"), m_fixture.Docs());
        json.replace("@", m_fixture.Docs().toUtf8());
        auto sheet = Open();
        WizardDriver w(sheet.get());
        w.Condition(CRecipeCondition::Subject, QStringLiteral("x"));
        w.Action(type);
        QVERIFY(w.Next());
        for (qsizetype i = 0; i + 1 < values.size(); i += 2)
            w.Set(values.at(i), values.at(i + 1));
        QVERIFY(w.Next());
        QCOMPARE(w.PageId(), 156);
        w.Name(QStringLiteral("Every"));
        QVERIFY(w.Next());
        w.Finish();
        QCOMPARE(Captions(), QStringList { QStringLiteral("Success") });
        const CRecipeDefinition expected
            = FromJson(R"({"name": "Every", "conditions": [{"field": 4, "entries": ["x"]}],
            "actions": [)"
                + json + "]}");
        QCOMPARE(expected.GetActionCount(), 1);
        QCOMPARE(ReadFile(Recipes()), CoreBlock(expected));
        if (type == ActionReply)
            QVERIFY(PendingPairs().contains(qMakePair(reply, QStringLiteral(".procmail/reply.txt"))));
    }

    // The explanation page: the summary, the two notes and the recipe text; the list offer only
    // when the wizard was opened with it.
    void explanationPage_data()
    {
        QTest::addColumn<bool>("offer");
        QTest::newRow("with the offer") << true;
        QTest::newRow("without") << false;
    }

    void explanationPage()
    {
        QFETCH(bool, offer);
        const CRecipeDefinition spam = FromJson(SpamJson);
        auto sheet = Open(spam, CRecipeWizSheet::Import, QByteArray(), offer);
        WizardDriver w(sheet.get());
        while (w.PageId() != 147)
            QVERIFY(w.Next());
        QCOMPARE(sheet->FinishPage()->ListBox()->isVisible(), offer);
        QVERIFY(sheet->FinishPage()->TextBox()->hasFocus());
        QString expected = QString::fromUtf8(CRecipeSummary::BuildSummaryText(spam))
            + QStringLiteral(
                "\n\nIf this is not correct, hit the \"Back\" button and make any desired changes.\n\n"
                "You can ignore the rest of this message if you wish.  The recipe is below "
                "(although there may be some extraneous line wraps).\n\n")
            + QString::fromUtf8(CActionBuilder::BuildRecipeText(spam));
        QCOMPARE(sheet->FinishPage()->TextBox()->toPlainText(), expected);
    }

    // New Recipe from the menu: the caption, Finish, and the recipe list opened afterwards when the
    // box is ticked (and its state kept for next time).
    void newRecipeCommand_data()
    {
        QTest::addColumn<bool>("list");
        QTest::newRow("list ticked") << true;
        QTest::newRow("list unticked") << false;
    }

    void newRecipeCommand()
    {
        QFETCH(bool, list);
        MainWindowWithEditor window;
        InstallRecipeWizard(window.Shell());
        int listRuns = 0;
        window.Shell().SetCommandHandler(Cmd::PositionEdit, [&listRuns] { ++listRuns; });
        window.UpdateCommandStates();
        QVERIFY(window.Commands().Action(Cmd::NewRecipe)->isEnabled());
        QVERIFY(window.Commands().Action(Cmd::Import)->isEnabled());
        OnSheet on([list](CRecipeWizSheet* sheet) {
            WizardDriver w(sheet);
            w.Condition(CRecipeCondition::Subject, QStringLiteral("cheap"));
            w.Action(ActionDelete);
            w.Next();
            w.Next();
            w.Name(QStringLiteral("Cheap"));
            w.Next();
            QVERIFY(sheet->FinishPage()->ListBox()->isChecked());
            sheet->FinishPage()->ListBox()->setChecked(list);
            w.Finish();
        });
        window.Commands().Action(Cmd::NewRecipe)->trigger();
        QVERIFY(on.Seen());
        QCOMPARE(on.Caption(), QStringLiteral("New Recipe"));
        QVERIFY(ReadFile(Recipes()).contains("##_ZEPH_RECIPE_BEGIN_##Cheap\n"));
        QCOMPARE(GetSetting(Settings::ShowRecipeListAfterWizard), list ? 1 : 0);
        QTest::qWait(50);
        QCOMPARE(listRuns, list ? 1 : 0);
    }

    // Reopening by name shows the stored values; a change replaces the block in place; a new name
    // deletes the old data file.
    void editByName_data()
    {
        QTest::addColumn<QString>("newName");
        QTest::newRow("same name") << QStringLiteral("Spam");
        QTest::newRow("renamed") << QStringLiteral("Junk");
    }

    void editByName()
    {
        QFETCH(QString, newName);
        MakeSpam();
        MainWindowWithEditor window;
        InstallRecipeWizard(window.Shell());
        OnSheet on([newName](CRecipeWizSheet* sheet) {
            WizardDriver w(sheet);
            QVERIFY(sheet->HeadersPage()->FieldButton(CRecipeCondition::Subject)->isChecked());
            w.Next();
            QCOMPARE(sheet->EntriesPage()->EntryBox()->toPlainText(), QStringLiteral("cheap"));
            w.Entries(QStringLiteral("cheap\nfree"));
            while (w.PageId() != 156)
                QVERIFY(w.Next());
            QCOMPARE(sheet->LogPage()->NameBox()->text(), QStringLiteral("Spam"));
            w.Name(newName);
            w.Next();
            QVERIFY(!sheet->FinishPage()->ListBox()->isVisible());
            w.Finish();
        });
        QVERIFY(window.Shell().EditRecipe(QStringLiteral("Spam"), false));
        QCOMPARE(on.Caption(), QStringLiteral("Wizard"));
        CRecipeDefinition changed = FromJson(SpamJson);
        changed.Conditions()[0].entries = "cheap\r\nfree";
        changed.SetName(newName.toUtf8());
        // The empty line before the old block stays and the new block brings its own.
        QCOMPARE(ReadFile(Recipes()), HandBlock("First") + "\n" + CoreBlock(changed) + HandBlock("Last"));
        QCOMPARE(QFile::exists(CRecipeDefinition::RecipeDataPath("Spam")), newName == QLatin1String("Spam"));
        QVERIFY(QFile::exists(CRecipeDefinition::RecipeDataPath(newName.toUtf8())));
    }

    // A missing data file: the user is told, the name page holds the name, and Finish replaces the
    // old block. A name that cannot be a file name reads nothing outside the data folder.
    void editWithoutDataFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << QStringLiteral("Spam");
        QTest::newRow("name with a path") << QStringLiteral("../Spam");
    }

    void editWithoutDataFile()
    {
        QFETCH(QString, name);
        MakeSpam();
        // A data file beside the data folder that the path in the name points at.
        QVERIFY(QFile::rename(
            CRecipeDefinition::RecipeDataPath("Spam"), m_fixture.Docs() + QStringLiteral("Spam.zeph")));
        QVERIFY(WriteFile(Recipes(), HandBlock("First") + HandBlock(name.toUtf8()) + HandBlock("Last")));
        MainWindowWithEditor window;
        InstallRecipeWizard(window.Shell());
        OnSheet on([name](CRecipeWizSheet* sheet) {
            WizardDriver w(sheet);
            QCOMPARE(sheet->Definition().GetName(), name.toUtf8());
            QCOMPARE(sheet->Definition().GetConditionCount(), 0);
            w.Condition(CRecipeCondition::Subject, QStringLiteral("rebuilt"));
            w.Action(ActionDelete);
            w.Next();
            w.Next();
            QCOMPARE(sheet->LogPage()->NameBox()->text(), name);
            if (w.Next())
                w.Finish();
        });
        const bool finished = window.Shell().EditRecipe(name, true);
        const Prompt::Record told = Prompt::History().value(0);
        QCOMPARE(told.caption, QStringLiteral("File not found"));
        QCOMPARE(told.text,
            QStringLiteral(
                "The data file %1 for the recipe \"%2\" was not found.  To make changes to the recipe, "
                "create the recipe from scratch using the wizard and save the recipe using the name "
                "\"%2\", the old recipe will be overwritten.")
                .arg(CRecipeDefinition::RecipeDataPath(name.toUtf8()), name));
        if (name == QLatin1String("Spam")) {
            QVERIFY(finished);
            QVERIFY(ReadFile(Recipes()).startsWith(HandBlock("First") + "\n##_ZEPH_RECIPE_BEGIN_##Spam\n"));
            QVERIFY(ReadFile(Recipes()).endsWith(HandBlock("Last")));
        } else {
            // The name page refuses the name; the user has to choose another one.
            QVERIFY(!finished);
            QCOMPARE(Captions().last(), QStringLiteral("Modify Recipe Name"));
        }
    }

    // What must not open the wizard: a damaged data file, the reserved recipes, Cancel in the
    // save question of an open recipe file.
    void doesNotOpen()
    {
        MainWindowWithEditor window;
        InstallRecipeWizard(window.Shell());
        OnSheet on([](CRecipeWizSheet*) {});

        QVERIFY(QDir().mkpath(Workspace::GetDataFolder()));
        QVERIFY(WriteFile(CRecipeDefinition::RecipeDataPath("Broken"), QByteArray(200, 'x')));
        QVERIFY(!window.Shell().EditRecipe(QStringLiteral("Broken"), true));
        QCOMPARE(Captions(), QStringList { QStringLiteral("Open Recipe Data") });
        QVERIFY(Prompt::History().at(0).text.startsWith(
            QStringLiteral("The recipe data file %1 could not be read.")
                .arg(CRecipeDefinition::RecipeDataPath("Broken"))));

        for (const char* reserved : { "ZEPH_Backup", "zeph_backup", "ZEPH_VACATION" }) {
            Prompt::ClearHistory();
            QVERIFY(!window.Shell().EditRecipe(QLatin1String(reserved), true));
            QCOMPARE(Captions(), QStringList { QStringLiteral("Reserved recipe") });
        }
        // Once its dialog is there, a reserved name goes to that dialog whatever its letter case.
        int backupDialogRuns = 0;
        window.Shell().SetReservedRecipeDialog(QStringLiteral("ZEPH_Backup"), [&backupDialogRuns] {
            ++backupDialogRuns;
            return true;
        });
        Prompt::ClearHistory();
        QVERIFY(window.Shell().EditRecipe(QStringLiteral("zeph_BACKUP"), true));
        QCOMPARE(backupDialogRuns, 1);
        QVERIFY(Prompt::History().isEmpty());

        QVERIFY(WriteFile(Recipes(), HandBlock("Mine")));
        auto* view = qobject_cast<CZEPHView*>(window.Documents().OpenDocument(Recipes(), DocumentKind::Text));
        QVERIFY(view);
        view->Editor()->insertPlainText(QStringLiteral("# unsaved\n"));
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Cancel);
        window.Commands().Action(Cmd::NewRecipe)->trigger();
        QCOMPARE(Captions(), QStringList { QStringLiteral("Save changes?") });
        QVERIFY(window.Documents().FindDocument(Recipes()));
        QTest::qWait(100);
        QVERIFY(!on.Seen());
    }

    // Import shows the recipe first (Cancel writes nothing and opens nothing) and offers the stored
    // name; the dialog's folder is kept. File > Open of a .zeph goes the same way.
    void import()
    {
        const QString folder = m_fixture.Home() + QStringLiteral("/shared/");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("other.zeph");
        QString error;
        QVERIFY(FromJson(SpamJson).SaveRecipeDataTo(path, &error));
        MainWindowWithEditor window;
        InstallRecipeWizard(window.Shell());

        FileDialogs::QueueAnswer(path);
        Prompt::QueueAnswer(Prompt::Cancel);
        {
            OnSheet on([](CRecipeWizSheet*) {});
            window.Commands().Action(Cmd::Import)->trigger();
            QTest::qWait(100);
            QVERIFY(!on.Seen());
        }
        QCOMPARE(Captions(), QStringList { QStringLiteral("Import recipe") });
        const QString preview = Prompt::History().at(0).text;
        QVERIFY(preview.contains(QString::fromUtf8(CRecipeSummary::BuildSummaryText(FromJson(SpamJson)))));
        QVERIFY(preview.contains(QString::fromUtf8(CActionBuilder::BuildRecipeText(FromJson(SpamJson)))));
        QCOMPARE(GetSettingString(Settings::DefaultImportFolder), folder);
        QVERIFY(!QFile::exists(CRecipeDefinition::RecipeDataPath("Spam")));

        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Ok);
        OnSheet on([](CRecipeWizSheet* sheet) {
            WizardDriver w(sheet);
            while (w.PageId() != 156)
                QVERIFY(w.Next());
            QCOMPARE(sheet->LogPage()->NameBox()->text(), QStringLiteral("Spam"));
            w.Next();
            w.Finish();
        });
        QVERIFY(!window.Documents().OpenFile(path));
        QCOMPARE(on.Caption(), QStringLiteral("Recipe Wizard"));
        QCOMPARE(ReadFile(Recipes()), CoreBlock(FromJson(SpamJson)));
        QVERIFY(QFile::exists(CRecipeDefinition::RecipeDataPath("Spam")));
    }

    // The recipe file changes on disk while the wizard is open on one of its recipes: Finish asks
    // before it replaces those changes, and No keeps the wizard open and the file as edited.
    void outsideEditWhileOpen()
    {
        MakeSpam();
        MainWindowWithEditor window;
        InstallRecipeWizard(window.Shell());
        const QByteArray edited
            = HandBlock("First") + HandBlock("Spam", ":0\n* ^Subject:.*by hand\nhand\n") + HandBlock("Last");
        OnSheet on([this, edited](CRecipeWizSheet* sheet) {
            WizardDriver w(sheet);
            while (w.PageId() != 147)
                QVERIFY(w.Next());
            QVERIFY(WriteFile(Recipes(), edited));
            Prompt::QueueAnswer(Prompt::No);
            w.Finish();
            QVERIFY(sheet->isVisible());
            QCOMPARE(w.PageId(), 147);
        });
        QVERIFY(!window.Shell().EditRecipe(QStringLiteral("Spam"), false));
        QCOMPARE(Captions(), QStringList { QStringLiteral("Recipe changed outside the wizard") });
        QCOMPARE(ReadFile(Recipes()), edited);
    }

    // The wizard works from the keyboard: Enter and Alt+N go on, Alt+B goes back, Esc cancels.
    void keyboard()
    {
        auto sheet = Open();
        WizardDriver w(sheet.get());
        w.Field(CRecipeCondition::Subject);
        QWindow* window = sheet->windowHandle();
        // A mnemonic presses its button with a short animation.
        QTest::keyClick(window, Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(w.PageId(), 142);
        QTest::keyClick(window, Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(w.PageId(), 140);
        sheet->HeadersPage()->CustomHeaderBox()->setFocus();
        w.Field(CRecipeCondition::CustomHeader, QStringLiteral("X-Spam"));
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(w.PageId(), 142);
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!sheet->isVisible());
        QCOMPARE(sheet->result(), int(QDialog::Rejected));
    }

    // Every topic the wizard opens is a page of the help.
    void helpTopicsExist()
    {
        auto sheet = Open(FromJson(SpamJson));
        QStringList topics { QStringLiteral("rWizard.html"), QStringLiteral("rRegEx.html"),
            QStringLiteral("rSed.html"), QStringLiteral("rWizPg1.html") };
        for (int id : { 140, 143, 146, 147, 148, 149, 156, 168, 169, 170, 171, 172, 173, 206 })
            topics << sheet->Page(id)->HelpTopic();
        for (int field = 0; field <= CRecipeCondition::CustomHeader; ++field) {
            CRecipeDefinition definition;
            definition.Conditions().append(CRecipeCondition());
            definition.Conditions()[0].field = field;
            sheet->EntriesPage()->SetCondition(0);
            sheet->EntriesPage()->OnSetActive(definition);
            topics << sheet->EntriesPage()->HelpTopic();
        }
        for (const QString& topic : std::as_const(topics)) {
            ShowHelpTopic(nullptr, topic);
            QCOMPARE(HelpBrowser::Instance()->CurrentTopic(), topic);
        }
        HelpBrowser::Instance()->close();
    }
};

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
