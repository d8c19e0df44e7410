// Position/Edit Recipes offscreen: the list read from the recipe file, reordered, switched off
// and on, deleted and written back, with real procmail applying the written file; saves that
// fail, Cancel, the Recipe Wizard and the text editor reached through the shell.
#include "FileSizeLimit.h"
#include "NetTestFixture.h"
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/recipes/CRecipeFile.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/HelpBrowser.h"
#include "gui/common/IShell.h"
#include "gui/editor/CZEPHView.h"
#include "gui/recipes/CRecipeListDlg.h"
#include "gui/recipes/CRecipeListView.h"
#include "gui/recipes/RecipeListCommands.h"
#include "support/ProcmailSandbox.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <memory>

namespace {

QByteArray Block(const QByteArray& name, const QByteArray& body)
{
    return "##_ZEPH_RECIPE_BEGIN_##" + name + "\n" + body + "##_ZEPH_RECIPE_END_##" + name + "\n";
}

// Two recipes that both take a "hello" message: the one nearer the top delivers it.
const QByteArray First = Block("First", ":0:\n* ^Subject:.*hello\nfirst\n");
const QByteArray Second = Block("Second", ":0:\n* ^Subject:.*hello\nsecond\n");
const QByteArray Third = Block("Third", ":0:\n* ^Subject:.*third\nthird\n");
const QByteArray ThirdOff = "##_ZEPH_RECIPE_BEGIN_##Third\n##_ZEPH_COMMENT_##:0:\n##_ZEPH_COMMENT_##* "
                            "^Subject:.*third\n##_ZEPH_COMMENT_##third\n##_ZEPH_RECIPE_END_##Third\n";
// Lines typed outside the blocks: one run before the first recipe, one between two.
const QByteArray WithOutsideLines = "# my own note\n\n" + First + "\n# a line between\n\n" + Second + Third;

QStringList RowNames(const CRecipeListDlg& dialog)
{
    QStringList names;
    for (const CRecipeListEntry& entry : dialog.Entries())
        names << QString::fromUtf8(entry.name);
    return names;
}

QStringList FileNames(const QString& path)
{
    QStringList names;
    for (const QByteArray& name : CRecipeFile::ReadRecipeNames(ReadTestFile(path)))
        names << QString::fromUtf8(name);
    return names;
}

int SelectedRow(const CRecipeListDlg& dialog)
{
    const QList<QTreeWidgetItem*> selected = dialog.List()->selectedItems();
    return selected.isEmpty() ? -1 : dialog.List()->indexOfTopLevelItem(selected.first());
}

QPushButton* Button(const CRecipeListDlg& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QLatin1String(name));
}

void Select(CRecipeListDlg& dialog, int row)
{
    dialog.List()->clearSelection();
    dialog.List()->topLevelItem(row)->setSelected(true);
}

// Closes every list dialog that shows up while it lives and counts them; for the roads on which
// none may open.
class ListDialogGuard
{
public:
    ListDialogGuard()
    {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<CRecipeListDlg*>(QApplication::activeModalWidget())) {
                ++m_shown;
                dialog->reject();
            }
        });
        m_timer.start();
    }
    int Shown() const { return m_shown; }

private:
    QTimer m_timer;
    int m_shown = 0;
};

// A method of the dialog that needs a selected row, and what it says without one.
struct SelectionCommand
{
    const char* name;
    void (CRecipeListDlg::*run)();
    const char* text;
};

const SelectionCommand SelectionCommands[] = {
    { "Move Up", &CRecipeListDlg::MoveUp, "Please select an item in the list to move the selected row up." },
    { "Move Down", &CRecipeListDlg::MoveDown,
        "Please select an item in the list to move the selected row down." },
    { "Edit", &CRecipeListDlg::Edit, "Please select an item in the list to edit." },
    { "View", &CRecipeListDlg::View, "Please select an item in the list to view." },
    { "Disable", &CRecipeListDlg::Disable, "Please select a recipe in the list to comment." },
    { "Enable", &CRecipeListDlg::Enable, "Please select a recipe in the list to uncomment." },
    { "Delete", &CRecipeListDlg::Delete, "Please select an item in the list or choose cancel to quit." },
};

} // namespace

class TestRecipeList : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;
    ProcmailSandbox m_sandbox;

    QString RecipeFile() const { return Workspace::GetRecipeFilePath(); }

    // The recipe file with `text`, and a data file for each name.
    void WriteRecipes(const QByteArray& text, const QStringList& dataFiles = {})
    {
        QVERIFY(WriteTestFile(RecipeFile(), text));
        QVERIFY(QDir().mkpath(Workspace::GetDataFolder()));
        for (const QString& name : dataFiles)
            QVERIFY(WriteTestFile(Workspace::GetDataFolder() + name + QStringLiteral(".zeph"), "data"));
    }

private slots:
    void initTestCase()
    {
        m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("RecipeList"));
        QVERIFY2(m_sandbox.Start(), qPrintable(m_sandbox.Error()));
    }
    void init()
    {
        m_fixture->Init();
        m_sandbox.ClearOutputs();
        SetSetting(Settings::RecipeListShowPendingFiles, 0);
    }

    // The whole round on a hand-edited file: the lines outside the blocks are shown and wrapped,
    // rows move, one is switched off, one switched off and on again, a group is deleted, and
    // Apply writes every entry in the new order; procmail then delivers by the new order.
    void reorderSwitchDeleteAndApply()
    {
        WriteRecipes(WithOutsideLines);
        MainWindowWithEditor window;
        CRecipeListDlg dialog(window.Shell(), RecipeFile(), window.Shell().Window());
        QString viewerCaption;
        QString viewerText;
        WhenModal<CTextViewerDlg>([&](CTextViewerDlg* viewer) {
            viewerCaption = viewer->windowTitle();
            viewerText = viewer->TextBox()->toPlainText();
            viewer->accept();
        });
        QVERIFY(dialog.Load());
        dialog.show();

        const QList<CRecipeListEntry> loaded = dialog.Entries();
        QCOMPARE(loaded.size(), 5);
        const QByteArray group1 = loaded.at(0).name;
        const QByteArray group2 = loaded.at(2).name;
        QVERIFY(group1 != group2);
        QCOMPARE(RowNames(dialog).mid(1),
            (QStringList { QStringLiteral("First"), QString::fromUtf8(group2), QStringLiteral("Second"),
                QStringLiteral("Third") }));
        const QByteArray group1Text = Block(group1, "# my own note\n");
        const QByteArray group2Text = Block(group2, "# a line between\n");
        QCOMPARE(viewerCaption, QStringLiteral("Unparsed Data"));
        QCOMPARE(viewerText,
            QStringLiteral(
                "One or more lines in the file %1 were not contained within the 'begin' and 'end' recipe "
                "markers.  This typically means someone has edited the file manually and didn't add "
                "the ##_ZEPH_RECIPE_BEGIN_## begin recipe file marker and/or didn't add the "
                "##_ZEPH_RECIPE_END_## end recipe file marker.\n\nTo allow you to modify this file "
                "while keeping the recipes and comments in the order you wish, ZEPH has added "
                "'begin' and 'end' recipe markers around each group of lines it found outside of the "
                "markers.  To save the file with these new 'begin' and 'end' markers, hit the 'OK' "
                "or 'Apply' button on the next dialog.  Hit 'Cancel' on the next dialog to discard "
                "the new markers.  There were 2 groups of lines found outside the markers, they are "
                "listed below.  A recipe name has also been assigned to each:\n\n")
                    .arg(RecipeFile())
                + QString::fromUtf8(group1Text + "\n" + group2Text + "\n"));
        // The generated markers are not in the file yet: the list starts modified.
        QVERIFY(dialog.IsModified());
        QCOMPARE(Button(dialog, "Cancel")->text(), QStringLiteral("Cancel"));
        QVERIFY(Button(dialog, "Apply")->isEnabled());
        QCOMPARE(SelectedRow(dialog), 0);

        // View shows the recipe as it stands in the file.
        Select(dialog, 3);
        WhenModal<CTextViewerDlg>([&](CTextViewerDlg* viewer) {
            viewerCaption = viewer->windowTitle();
            viewerText = viewer->TextBox()->toPlainText();
            viewer->accept();
        });
        dialog.View();
        QCOMPARE(viewerCaption, QStringLiteral("Recipe: Second"));
        QCOMPARE(viewerText, QString::fromUtf8(Second));

        // Second goes to the top of the recipes, Third is switched off, First off and on again.
        dialog.MoveUp();
        dialog.MoveUp();
        QCOMPARE(SelectedRow(dialog), 1);
        Select(dialog, 4);
        QVERIFY(Button(dialog, "Disable")->isEnabled() && !Button(dialog, "Enable")->isEnabled());
        Button(dialog, "Disable")->click();
        QVERIFY(!Button(dialog, "Disable")->isEnabled() && Button(dialog, "Enable")->isEnabled());
        QVERIFY(Button(dialog, "ManuallyEdit")->isDefault());
        Select(dialog, 2);
        Button(dialog, "Disable")->click();
        Button(dialog, "Enable")->click();
        QCOMPARE(dialog.Entries().at(2).text, First);
        QVERIFY(!dialog.Entries().at(2).disabled);
        // The group between the recipes goes.
        Select(dialog, 3);
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        Button(dialog, "Delete")->click();
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().at(0).caption, QStringLiteral("Okay to delete?"));
        QCOMPARE(Prompt::History().at(0).text,
            QStringLiteral("Are you sure you want to delete the selected entry?"));
        QCOMPARE(Prompt::History().at(0).defaultButton, Prompt::No);

        QVERIFY(dialog.Apply());
        QVERIFY(!dialog.IsModified());
        QCOMPARE(Button(dialog, "Cancel")->text(), QStringLiteral("Close"));
        QVERIFY(!Button(dialog, "Apply")->isEnabled());
        const QByteArray written = group1Text + "\n" + Second + "\n" + First + "\n" + ThirdOff + "\n";
        QCOMPARE(ReadTestFile(RecipeFile()), written);
        QCOMPARE(PendingPairs(),
            (QList<QPair<QString, QString>> { { RecipeFile(), QStringLiteral(".procmail/zeph.recipes") } }));

        // procmail: before, First takes "hello" and Third takes "third"; after, Second takes
        // "hello" and "third" reaches the inbox.
        const QByteArray hello
            = ProcmailSandbox::Message("a@example.net", "me@example.org", "hello", "Hi.\n");
        const QByteArray third
            = ProcmailSandbox::Message("a@example.net", "me@example.org", "third", "Hi.\n");
        QVERIFY(m_sandbox.SetRecipes(WithOutsideLines));
        QCOMPARE(m_sandbox.Deliver(hello), 0);
        QCOMPARE(m_sandbox.Deliver(third), 0);
        QCOMPARE(m_sandbox.Folder(QStringLiteral("first")).size(), 1);
        QCOMPARE(m_sandbox.Folder(QStringLiteral("second")).size(), 0);
        QCOMPARE(m_sandbox.Folder(QStringLiteral("third")).size(), 1);
        m_sandbox.ClearOutputs();
        QVERIFY(m_sandbox.SetRecipes(written));
        QCOMPARE(m_sandbox.Deliver(hello), 0);
        QCOMPARE(m_sandbox.Deliver(third), 0);
        QCOMPARE(m_sandbox.Folder(QStringLiteral("first")).size(), 0);
        QCOMPARE(m_sandbox.Folder(QStringLiteral("second")).size(), 1);
        QCOMPARE(m_sandbox.Folder(QStringLiteral("third")).size(), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 1);
        QCOMPARE(ProcmailSandbox::Header(m_sandbox.Inbox().at(0), "Subject"), QByteArray("third"));
    }

    // Keys move the selected row; a drop puts the dragged row before the row under the point,
    // or last below the rows. At either end nothing moves and the list stays unmodified.
    void reorderByKeysAndDrops_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key"); // 0: a drop
        QTest::addColumn<int>("modifier");
        QTest::addColumn<int>("dropOn"); // row under the drop point; -1 below the last row
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("selected");
        QTest::newRow("Ctrl+Down") << 0 << int(Qt::Key_Down) << int(Qt::ControlModifier) << 0
                                   << QStringLiteral("BAC") << 1;
        QTest::newRow("Alt+Up") << 2 << int(Qt::Key_Up) << int(Qt::AltModifier) << 0 << QStringLiteral("ACB")
                                << 1;
        QTest::newRow("Ctrl+Up on the first row")
            << 0 << int(Qt::Key_Up) << int(Qt::ControlModifier) << 0 << QStringLiteral("ABC") << 0;
        QTest::newRow("Alt+Down on the last row")
            << 2 << int(Qt::Key_Down) << int(Qt::AltModifier) << 0 << QStringLiteral("ABC") << 2;
        QTest::newRow("drop down onto a row") << 0 << 0 << 0 << 2 << QStringLiteral("BAC") << 1;
        QTest::newRow("drop up onto a row") << 2 << 0 << 0 << 0 << QStringLiteral("CAB") << 0;
        QTest::newRow("drop below the rows") << 0 << 0 << 0 << -1 << QStringLiteral("BCA") << 2;
        QTest::newRow("drop onto itself") << 1 << 0 << 0 << 1 << QStringLiteral("ABC") << 1;
    }
    void reorderByKeysAndDrops()
    {
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(int, modifier);
        QFETCH(int, dropOn);
        QFETCH(QString, order);
        QFETCH(int, selected);
        WriteRecipes(Block("A", ":0\nA\n") + Block("B", ":0\nB\n") + Block("C", ":0\nC\n"));
        MainWindowWithEditor window;
        CRecipeListDlg dialog(window.Shell(), RecipeFile(), window.Shell().Window());
        QVERIFY(dialog.Load());
        QVERIFY(!dialog.IsModified());
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        Select(dialog, row);
        dialog.List()->setFocus();
        if (key != 0) {
            QTest::keyClick(dialog.List(), Qt::Key(key), Qt::KeyboardModifiers(modifier));
        } else {
            CRecipeListView* list = dialog.List();
            const QPoint point = dropOn >= 0 ? list->visualItemRect(list->topLevelItem(dropOn)).center()
                                             : QPoint(5, list->viewport()->height() - 2);
            dialog.MoveRow(row, list->DropRow(point));
        }
        QCOMPARE(RowNames(dialog).join(QString()), order);
        QCOMPARE(SelectedRow(dialog), selected);
        QCOMPARE(dialog.IsModified(), order != QStringLiteral("ABC"));
    }

    // Every command that needs a row says so when none is selected, and changes nothing.
    void nothingSelected_data()
    {
        QTest::addColumn<int>("command");
        for (int i = 0; i < int(std::size(SelectionCommands)); ++i)
            QTest::newRow(SelectionCommands[i].name) << i;
    }
    void nothingSelected()
    {
        QFETCH(int, command);
        const SelectionCommand& tried
            = SelectionCommands[qBound(0, command, int(std::size(SelectionCommands)) - 1)];
        WriteRecipes(Block("A", ":0\nA\n") + Block("B", "##_ZEPH_COMMENT_##:0\n##_ZEPH_COMMENT_##B\n"));
        MainWindowWithEditor window;
        bool edited = false;
        window.Shell().SetRecipeEditor([&edited](const QString&, bool) { return edited = true; });
        CRecipeListDlg dialog(window.Shell(), RecipeFile(), window.Shell().Window());
        QVERIFY(dialog.Load());
        dialog.List()->clearSelection();
        for (const char* name :
            { "MoveUp", "MoveDown", "Edit", "View", "Enable", "Disable", "ManuallyEdit", "Delete" })
            QVERIFY2(!Button(dialog, name)->isEnabled(), name);
        Prompt::ClearHistory();
        (dialog.*tried.run)();
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().at(0).caption, QStringLiteral("Nothing selected"));
        QCOMPARE(Prompt::History().at(0).text, QString::fromLatin1(tried.text));
        QCOMPARE(Prompt::History().at(0).icon, Prompt::Information);
        QVERIFY(!dialog.IsModified());
        QVERIFY(!edited);
        QCOMPARE(RowNames(dialog), (QStringList { QStringLiteral("A"), QStringLiteral("B") }));
    }

    // A save that cannot write the file shows why, keeps the dialog open and modified, and loses
    // nothing: the file and the data file of the deleted recipe stay. Once writing works, OK
    // writes the list and only then removes that data file.
    void failedSaveLosesNothing()
    {
        const QByteArray text = Block("Keep", ":0\nkeep\n") + Block("Gone", ":0\ngone\n");
        WriteRecipes(text, { QStringLiteral("Keep"), QStringLiteral("Gone") });
        MainWindowWithEditor window;
        CRecipeListDlg dialog(window.Shell(), RecipeFile(), window.Shell().Window());
        QVERIFY(dialog.Load());
        dialog.show();
        Select(dialog, 1);
        Prompt::QueueAnswer(Prompt::Yes);
        dialog.Delete();
        Prompt::ClearHistory();
        {
            // Like a full disk; unlike permissions, it holds for root too.
            FileSizeLimit limit(8);
            Button(dialog, "OK")->click();
        }
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.IsModified());
        QCOMPARE(Button(dialog, "Cancel")->text(), QStringLiteral("Cancel"));
        QCOMPARE(Prompt::History().size(), 1);
        QVERIFY2(Prompt::History().at(0).text.startsWith(
                     QStringLiteral("An error occurred while writing %1.\n\n").arg(RecipeFile())),
            qPrintable(Prompt::History().at(0).text));
        QCOMPARE(ReadTestFile(RecipeFile()), text);
        QVERIFY(QFileInfo::exists(Workspace::GetDataFolder() + QStringLiteral("Gone.zeph")));
        QVERIFY(!HasPending());
        QCOMPARE(
            QDir(m_fixture->Docs()).entryList(QDir::Files), QStringList { QStringLiteral("zeph.recipes") });

        Button(dialog, "OK")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(ReadTestFile(RecipeFile()), Block("Keep", ":0\nkeep\n") + "\n");
        QVERIFY(!QFileInfo::exists(Workspace::GetDataFolder() + QStringLiteral("Gone.zeph")));
        QVERIFY(QFileInfo::exists(Workspace::GetDataFolder() + QStringLiteral("Keep.zeph")));
        QVERIFY(HasPending());
    }

    // A deleted recipe and its data file stay until the list is saved, and only the data file of
    // that recipe goes: not one outside the data folder, not one that another entry still names.
    void deleteThenClose_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("dataFile"); // below the Document Folder
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QByteArray>("written"); // empty: the file is unchanged
        QTest::addColumn<bool>("dataFileKept");
        const QByteArray two = Block("Spam", ":0\n/dev/null\n") + Block("Other", ":0\nother\n");
        QTest::newRow("Cancel") << two << QStringLiteral("Data/Spam.zeph") << 0 << QStringLiteral("Cancel")
                                << QByteArray() << true;
        QTest::newRow("Apply") << two << QStringLiteral("Data/Spam.zeph") << 0 << QStringLiteral("Apply")
                               << Block("Other", ":0\nother\n") + "\n"
                               << false;
        QTest::newRow("OK") << two << QStringLiteral("Data/Spam.zeph") << 0 << QStringLiteral("OK")
                            << Block("Other", ":0\nother\n") + "\n"
                            << false;
        QTest::newRow("name leading out of the data folder")
            << Block("../Outside", ":0\nx\n") + Block("Other", ":0\nother\n")
            << QStringLiteral("Outside.zeph") << 0 << QStringLiteral("Apply")
            << Block("Other", ":0\nother\n") + "\n"
            << true;
        QTest::newRow("name that another entry still carries")
            << Block("Twin", ":0\none\n") + Block("Twin", ":0\ntwo\n") << QStringLiteral("Data/Twin.zeph")
            << 0 << QStringLiteral("Apply") << Block("Twin", ":0\ntwo\n") + "\n"
            << true;
    }
    void deleteThenClose()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, dataFile);
        QFETCH(int, row);
        QFETCH(QString, close);
        QFETCH(QByteArray, written);
        QFETCH(bool, dataFileKept);
        WriteRecipes(text);
        const QString dataPath = m_fixture->Docs() + dataFile;
        QVERIFY(WriteTestFile(dataPath, "data"));
        MainWindowWithEditor window;
        CRecipeListDlg dialog(window.Shell(), RecipeFile(), window.Shell().Window());
        QVERIFY(dialog.Load());
        dialog.show();
        Select(dialog, row);
        Prompt::QueueAnswer(Prompt::Yes);
        dialog.Delete();
        QCOMPARE(dialog.List()->topLevelItemCount(), 1);
        QVERIFY(QFileInfo::exists(dataPath));
        Button(dialog, qPrintable(close))->click();
        QCOMPARE(ReadTestFile(RecipeFile()), written.isEmpty() ? text : written);
        QCOMPARE(QFileInfo::exists(dataPath), dataFileKept);
        QCOMPARE(dialog.isVisible(), close == QStringLiteral("Apply"));
        QCOMPARE(HasPending(), !written.isEmpty());
    }

    // Edit goes to the Recipe Wizard through the shell, after the list was saved or its changes
    // dropped; when the wizard finished or the changes were dropped, the list shows the file
    // again with the same row selected.
    void editThroughTheWizard_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("moveUp");
        QTest::addColumn<int>("answer"); // to the save-or-discard question; 0: none asked
        QTest::addColumn<bool>("finish");
        QTest::addColumn<QStringList>("seen"); // the file's recipes as the wizard saw them
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("modified");
        const QStringList abc { QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma") };
        const QStringList acb { QStringLiteral("Alpha"), QStringLiteral("Gamma"), QStringLiteral("Beta") };
        QTest::newRow("finished") << 2 << false << 0 << true << abc
                                  << (abc + QStringList { QStringLiteral("Delta") }) << false;
        QTest::newRow("saved first, wizard cancelled")
            << 2 << true << int(Prompt::Yes) << false << acb << acb << false;
        QTest::newRow("changes dropped, wizard cancelled")
            << 2 << true << int(Prompt::No) << false << abc << abc << false;
        QTest::newRow("question cancelled")
            << 2 << true << int(Prompt::Cancel) << false << QStringList() << acb << true;
        QTest::newRow("commented-out recipe") << 1 << false << 0 << false << abc << abc << false;
    }
    void editThroughTheWizard()
    {
        QFETCH(int, row);
        QFETCH(bool, moveUp);
        QFETCH(int, answer);
        QFETCH(bool, finish);
        QFETCH(QStringList, seen);
        QFETCH(QStringList, rows);
        QFETCH(bool, modified);
        WriteRecipes(Block("Alpha", ":0\na\n") + Block("Beta", "##_ZEPH_COMMENT_##:0\n##_ZEPH_COMMENT_##b\n")
            + Block("Gamma", ":0\ng\n"));
        MainWindowWithEditor window;
        QStringList names;
        QStringList seenByWizard;
        bool offeredList = true;
        const QString path = RecipeFile();
        window.Shell().SetRecipeEditor([&](const QString& name, bool offerList) {
            names << name;
            offeredList = offerList;
            seenByWizard = FileNames(path);
            if (finish)
                WriteTestFile(path, ReadTestFile(path) + Block("Delta", ":0\nd\n"));
            return finish;
        });
        CRecipeListDlg dialog(window.Shell(), path, window.Shell().Window());
        QVERIFY(dialog.Load());
        dialog.show();
        Select(dialog, row);
        if (moveUp) {
            dialog.MoveUp();
            --row;
        }
        const QString name = RowNames(dialog).at(row);
        Prompt::ClearHistory();
        if (answer != 0)
            Prompt::QueueAnswer(Prompt::Button(answer));
        Button(dialog, "Edit")->click();

        QStringList captions;
        for (const Prompt::Record& record : Prompt::History())
            captions << record.caption;
        QStringList expectedCaptions;
        if (answer != 0)
            expectedCaptions << QStringLiteral("Save changes to recipe list?");
        if (name == QStringLiteral("Beta"))
            expectedCaptions << QStringLiteral("Editing commented out recipe");
        QCOMPARE(captions, expectedCaptions);
        QCOMPARE(names, seen.isEmpty() ? QStringList() : QStringList { name });
        QCOMPARE(seenByWizard, seen);
        QVERIFY(!offeredList || names.isEmpty());
        QCOMPARE(RowNames(dialog), rows);
        QCOMPARE(dialog.IsModified(), modified);
        QCOMPARE(SelectedRow(dialog), row);
        QVERIFY(dialog.isVisible());
    }

    // Manually Edit drops the changes when told so, closes the list and shows the recipe's begin
    // line in the editor.
    void manuallyEditOpensTheEditorAtTheRecipe()
    {
        const QByteArray text = Block("Alpha", ":0\na\n") + Block("Beta", ":0\nb\n");
        WriteRecipes(text);
        MainWindowWithEditor window;
        InstallRecipeList(window.Shell());
        WhenModal<CRecipeListDlg>([](CRecipeListDlg* dialog) {
            Select(*dialog, 1);
            dialog->MoveUp();
            Prompt::QueueAnswer(Prompt::No);
            Button(*dialog, "ManuallyEdit")->click();
        });
        QVERIFY(window.Shell().RunCommand(Cmd::PositionEdit));
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().at(0).caption, QStringLiteral("Save changes to recipe list?"));
        QCOMPARE(ReadTestFile(RecipeFile()), text);
        auto* editor = qobject_cast<CZEPHView*>(window.Documents().ActiveDocument());
        QVERIFY(editor);
        QCOMPARE(QFileInfo(editor->Path()).canonicalFilePath(), QFileInfo(RecipeFile()).canonicalFilePath());
        QCOMPARE(
            editor->Editor()->textCursor().block().text(), QStringLiteral("##_ZEPH_RECIPE_BEGIN_##Beta"));
        QCOMPARE(
            editor->Editor()->textCursor().selectedText(), QStringLiteral("##_ZEPH_RECIPE_BEGIN_##Beta"));
    }

    // The roads on which no list opens: a file without recipes (offered as text) and an editor
    // window of the recipe file whose save question was cancelled.
    void noListOpens_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("openInEditorFirst");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("textDocument"); // a text window of the recipe file is open afterwards
        QTest::newRow("no recipes, open as text")
            << QByteArray("\n\n") << false << int(Prompt::Yes) << QStringLiteral("No recipes found") << true;
        QTest::newRow("no recipes, not opened")
            << QByteArray() << false << int(Prompt::No) << QStringLiteral("No recipes found") << false;
        QTest::newRow("editor window kept") << Block("A", ":0\na\n") << true << int(Prompt::Cancel)
                                            << QStringLiteral("Save changes?") << true;
    }
    void noListOpens()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, openInEditorFirst);
        QFETCH(int, answer);
        QFETCH(QString, caption);
        QFETCH(bool, textDocument);
        WriteRecipes(text);
        MainWindowWithEditor window;
        InstallRecipeList(window.Shell());
        if (openInEditorFirst) {
            auto* editor
                = qobject_cast<CZEPHView*>(window.Shell().OpenDocument(RecipeFile(), DocumentKind::Text));
            QVERIFY(editor);
            editor->Editor()->insertPlainText(QStringLiteral("# typed\n"));
        }
        ListDialogGuard guard;
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Button(answer));
        QVERIFY(window.Shell().RunCommand(Cmd::PositionEdit));
        QCOMPARE(guard.Shown(), 0);
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().at(0).caption, caption);
        if (caption == QStringLiteral("No recipes found")) {
            QCOMPARE(Prompt::History().at(0).text,
                QStringLiteral(
                    "No recipes were found in the file %1.  Would you like to open it as a text file?")
                    .arg(RecipeFile()));
            QCOMPARE(Prompt::History().at(0).defaultButton, Prompt::No);
        }
        QCOMPARE(window.Documents().FindDocument(RecipeFile()) != nullptr, textDocument);
        QCOMPARE(ReadTestFile(RecipeFile()), text);
    }

    // The Help button opens the dialog's own page, which exists (an unknown one shows the contents).
    void helpButtonShowsItsPage()
    {
        WriteRecipes(Block("A", ":0\na\n"));
        MainWindowWithEditor window;
        CRecipeListDlg dialog(window.Shell(), RecipeFile(), window.Shell().Window());
        QVERIFY(dialog.Load());
        Button(dialog, "Help")->click();
        QVERIFY(HelpBrowser::Instance()->isVisible());
        QCOMPARE(HelpBrowser::Instance()->CurrentTopic(), QStringLiteral("rEditViewDlg.html"));
        HelpBrowser::Instance()->close();
    }

    // On closing, the check box is stored, and when it is set and files wait for upload the
    // Pending Files command runs.
    void pendingFilesOnClose_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("offered");
        QTest::newRow("checked, files waiting") << true << true << true;
        QTest::newRow("checked, nothing waiting") << true << false << false;
        QTest::newRow("unchecked, files waiting") << false << true << false;
    }
    void pendingFilesOnClose()
    {
        QFETCH(bool, checked);
        QFETCH(bool, pending);
        QFETCH(bool, offered);
        WriteRecipes(Block("A", ":0\na\n"));
        SetSetting(Settings::RecipeListShowPendingFiles, checked ? 0 : 1);
        if (pending)
            QVERIFY(AddPending(RecipeFile(), QStringLiteral(".procmail/zeph.recipes")));
        MainWindowWithEditor window;
        InstallRecipeList(window.Shell());
        int shown = 0;
        window.Shell().SetCommandHandler(Cmd::PendingFiles, [&shown] { ++shown; });
        bool initiallyChecked = checked;
        WhenModal<CRecipeListDlg>([&](CRecipeListDlg* dialog) {
            auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("ShowPendingFiles"));
            initiallyChecked = box->isChecked();
            box->setChecked(checked);
            Button(*dialog, "Cancel")->click();
        });
        QVERIFY(window.Shell().RunCommand(Cmd::PositionEdit));
        QCOMPARE(initiallyChecked, !checked);
        QCOMPARE(GetSetting(Settings::RecipeListShowPendingFiles), checked ? 1 : 0);
        QTest::qWait(100);
        QCOMPARE(shown, offered ? 1 : 0);
    }
};

QTEST_MAIN(TestRecipeList)
#include "tst_recipelist.moc"
