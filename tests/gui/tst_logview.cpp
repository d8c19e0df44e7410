#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/log/CLogColourRules.h"
#include "core/settings/CAppState.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"
#include "core/workspace/Workspace.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/common/CFindReplaceDlg.h"
#include "gui/common/COptPropSheet.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/common/IShell.h"
#include "gui/editor/CZEPHView.h"
#include "gui/log/CLogDisplayView.h"
#include "gui/log/CLogTableModel.h"
#include "gui/log/COptColorPropPg.h"
#include "gui/log/COptLogPropPg.h"
#include "gui/log/LogViewerRegistration.h"
#include "support/gui/MainWindowWithEditor.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>

#include <sys/stat.h>

namespace {

// Six entries; the envelope senders end in the letters a to f so an order reads as a word.
const QByteArray kLog = "RECIPE: spam\nTO: zed\nFROM: Zoe\nFrom s-a  Mon Jan  1 00:00:00 1990\n"
                        " Subject: Re: beta\n  Folder: Inbox 100\n"
                        "RECIPE: Work\nTO: Yan\nFROM: yves\nFrom s-b  Mon Mar  1 00:00:00 2007\n"
                        " Subject: RE:   Delta\n  Folder: inbox 9\n"
                        "From s-c  Mon Dec 31 23:59:00 2089\n Subject: alpha\n  Folder: \n"
                        "From s-d  Mon Jan  1 00:00:00 1999\n Subject: re:charlie\n  Folder: INBOX 10\n"
                        "RECIPE: WORK\nTO: zz\nFROM: X\nFrom s-e  Mon Jan  2 00:00:00 1999\n"
                        " Subject: Re: Re: echo\n  Folder: work 100\n"
                        "From s-f  Fri Feb 30\n  Folder: Inbox 0\n";

QByteArray order(const CLogDisplayView& view)
{
    QByteArray letters;
    const QAbstractItemModel* model = view.List()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        letters.append(model->index(row, 5).data().toString().back().toLatin1());
    return letters;
}

void clickHeader(CLogDisplayView& view, int column)
{
    QHeaderView* header = view.List()->horizontalHeader();
    const QPoint at(
        header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

QList<Prompt::Record> promptsSince(qsizetype first)
{
    return Prompt::History().mid(first);
}

QPushButton* dialogButton(QWidget* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

} // namespace

class TestLogView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sortEveryColumnBothWays_data();
    void sortEveryColumnBothWays();
    void find_data();
    void find();
    void findWrapsAndRestarts();
    void findDialogRemembersTheSearch();
    void longSearch_data();
    void longSearch();
    void colourRulesAppliedAndReapplied();
    void editRecipe_data();
    void editRecipe();
    void viewRecipe_data();
    void viewRecipe();
    void detailsAndTooltip();
    void tipWrapping_data();
    void tipWrapping();
    void rowTipFollowsTheMouse();
    void keyboardContextMenu_data();
    void keyboardContextMenu();
    void logWithoutEntries();
    void oddFilesAndLargeLogs();
    void unparsedLinesOpenNumberedDocuments();
    void saveAs();
    void columnLayoutPerIdentity();
    void sortArrowPointsUpWhenAscending();
    void logFilesPage();
    void inTheMainWindow();

private:
    QString WriteLog(const QByteArray& content, const QString& name = QStringLiteral("zeph.log"));

    TestEnvironment m_env;
    QTemporaryDir m_dir;
};

void TestLogView::init()
{
    CAppState::Instance().Reset();
    Prompt::ClearHistory();
}

QString TestLogView::WriteLog(const QByteArray& content, const QString& name)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
    return path;
}

void TestLogView::sortEveryColumnBothWays_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("ascending");
    QTest::addColumn<QByteArray>("descending");
    QTest::newRow("Recipe Name") << 0 << QByteArray("cdfabe") << QByteArray("beacdf");
    QTest::newRow("From") << 1 << QByteArray("cdfeba") << QByteArray("abecdf");
    QTest::newRow("Subject") << 2 << QByteArray("fcadbe") << QByteArray("ebdacf");
    QTest::newRow("To") << 3 << QByteArray("cdfbae") << QByteArray("eabcdf");
    QTest::newRow("Date") << 4 << QByteArray("adebcf") << QByteArray("fcbeda");
    QTest::newRow("Envelope From") << 5 << QByteArray("abcdef") << QByteArray("fedcba");
    QTest::newRow("Folder") << 6 << QByteArray("cabdfe") << QByteArray("eabdfc");
    QTest::newRow("Size") << 7 << QByteArray("cfbdae") << QByteArray("aedbcf");
}

void TestLogView::sortEveryColumnBothWays()
{
    QFETCH(int, column);
    QFETCH(QByteArray, ascending);
    QFETCH(QByteArray, descending);
    // Opened sorted by another column, so the first click sorts ascending.
    SetSetting(Settings::LogSortedCol, column == 5 ? 0 : 5);
    CLogDisplayView view;
    view.resize(900, 400);
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    clickHeader(view, column);
    QCOMPARE(view.SortColumn(), column);
    QCOMPARE(order(view), ascending);
    QCOMPARE(view.List()->horizontalHeader()->sortIndicatorSection(), column);
    QCOMPARE(view.List()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(view, column);
    QCOMPARE(order(view), descending);
    QCOMPARE(view.List()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    // Another header sorts ascending again.
    const int other = (column + 1) % CLogEntry::ColumnCount;
    clickHeader(view, other);
    QCOMPARE(view.SortColumn(), other);
    QVERIFY(view.SortAscending());
}

void TestLogView::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QByteArray>("hits"); // the senders' letters found one after the other
    QTest::newRow("any case") << QStringLiteral("work") << false << QByteArray("be");
    QTest::newRow("match case") << QStringLiteral("WORK") << true << QByteArray("e");
    QTest::newRow("match case, none") << QStringLiteral("wORK") << true << QByteArray();
    QTest::newRow("date text") << QStringLiteral("01/01/") << false << QByteArray("ad");
}

void TestLogView::find()
{
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(QByteArray, hits);
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    view.ShowFind();
    CFindReplaceDlg* dialog = view.FindDialog();
    QVERIFY(dialog);
    dialog->findChild<QLineEdit*>()->setText(text);
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
        if (box->text() == QStringLiteral("Match &case"))
            box->setChecked(matchCase);
    QPushButton* findNext = dialogButton(dialog, QStringLiteral("&Find Next"));
    QVERIFY(findNext);
    QByteArray got;
    const qsizetype before = Prompt::History().size();
    for (int i = 0; i <= hits.size(); ++i) {
        findNext->click();
        if (view.LastFoundIndex() < 0)
            break;
        const QModelIndexList selected = view.List()->selectionModel()->selectedRows(5);
        QCOMPARE(selected.size(), 1);
        got.append(selected.first().data().toString().back().toLatin1());
    }
    QCOMPARE(got, hits);
    const QList<Prompt::Record> prompts = promptsSince(before);
    QCOMPARE(prompts.size(), 1);
    QCOMPARE(prompts.first().text, QStringLiteral("Finished searching for \"%1\".").arg(text));
    QCOMPARE(prompts.first().caption, QStringLiteral("Finished searching"));
}

void TestLogView::findWrapsAndRestarts()
{
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    view.SetFind(QStringLiteral("inbox"), false);
    QVERIFY(view.Search());
    QCOMPARE(view.LastFoundIndex(), qsizetype(0));
    view.FindNext();
    QCOMPARE(view.LastFoundIndex(), qsizetype(1));
    // A new text starts again at the first entry.
    view.SetFind(QStringLiteral("s-"), false);
    view.FindNext();
    QCOMPARE(view.LastFoundIndex(), qsizetype(0));
    // After the last match the search is finished, and the next one starts at the top.
    for (int i = 0; i < 5; ++i)
        view.FindNext();
    QCOMPARE(view.LastFoundIndex(), qsizetype(5));
    view.FindNext();
    QCOMPARE(view.LastFoundIndex(), qsizetype(-1));
    view.FindNext();
    QCOMPARE(view.LastFoundIndex(), qsizetype(0));
}

// The shared find window, find-only: no whole word, no direction; one per list; opened again it
// holds the last text and match-case choice.
void TestLogView::findDialogRemembersTheSearch()
{
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    QVERIFY(!view.IsCommandEnabled(Cmd::FindNext));
    view.ShowFind();
    QPointer<CFindReplaceDlg> dialog = view.FindDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Find"));
    QVERIFY(dialog->FindText().isEmpty());
    QVERIFY(!dialogButton(dialog, QStringLiteral("&Find Next"))->isEnabled());
    QVERIFY(!dialogButton(dialog, QStringLiteral("&Replace")));
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
        QCOMPARE(box->isVisible(), box->text() == QStringLiteral("Match &case"));
    QVERIFY(!dialog->findChild<QGroupBox*>()->isVisible());
    QVERIFY(dialog->SearchDown());

    dialog->findChild<QLineEdit*>()->setText(QStringLiteral("WORK"));
    dialog->SetMatchCase(true);
    dialogButton(dialog, QStringLiteral("&Find Next"))->click();
    QCOMPARE(view.LastFoundIndex(), qsizetype(4));
    QVERIFY(view.IsCommandEnabled(Cmd::FindNext));
    // A second Find keeps the one window.
    view.ShowFind();
    QCOMPARE(view.FindDialog(), dialog.data());
    // Escape closes it and the view forgets it.
    QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Escape);
    QTRY_VERIFY(!dialog);
    QVERIFY(!view.FindDialog());
    view.ShowFind();
    QVERIFY(view.FindDialog());
    QCOMPARE(view.FindDialog()->FindText(), QStringLiteral("WORK"));
    QVERIFY(view.FindDialog()->MatchCase());
    // Cancel closes it as well; Find Next still searches with the stored text, and wraps.
    dialog = view.FindDialog();
    dialogButton(dialog, QStringLiteral("Cancel"))->click();
    QTRY_VERIFY(!dialog);
    const qsizetype before = Prompt::History().size();
    view.RunCommand(Cmd::FindNext);
    QCOMPARE(view.LastFoundIndex(), qsizetype(-1));
    QCOMPARE(promptsSince(before).size(), 1);
    view.RunCommand(Cmd::FindNext);
    QCOMPARE(view.LastFoundIndex(), qsizetype(4));
}

void TestLogView::longSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<qsizetype>("found"); // the last found index afterwards
    QTest::addColumn<int>("prompts");
    QTest::newRow("match near the end") << QStringLiteral("needle") << false << qsizetype(19000) << 0;
    QTest::newRow("no match") << QStringLiteral("nowhere") << false << qsizetype(-1) << 1;
    QTest::newRow("cancelled") << QStringLiteral("needle") << true << qsizetype(0) << 0;
}

// A search through many entries shows the working dialog; Cancel there stops it without a
// message and leaves the last match where it was.
void TestLogView::longSearch()
{
    QFETCH(QString, text);
    QFETCH(bool, cancel);
    QFETCH(qsizetype, found);
    QFETCH(int, prompts);
    QByteArray log;
    for (int i = 0; i < 20000; ++i)
        log += "From s" + QByteArray::number(100000 + i) + "  Mon Jan  1 00:00:00 2007\n Subject: "
            + (i == 0 || i == 19000 ? "a needle" : "hay") + "\n  Folder: in 1\n";
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.show();
    QVERIFY(view.OpenLog(WriteLog(log, QStringLiteral("long.log"))));
    view.SetFind(text, false);
    if (text == QStringLiteral("needle")) {
        QVERIFY(view.Search());
        QCOMPARE(view.LastFoundIndex(), qsizetype(0));
    }
    // The dialog shows at the first progress step.
    CLogDisplayView::SetWorkingDialogTiming(0, 0);
    bool shown = false;
    QTimer::singleShot(0, &view, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* working = qobject_cast<CWorkingDlg*>(w); working && working->isVisible()) {
                shown = true;
                QCOMPARE(working->windowTitle(), QStringLiteral("Searching"));
                QVERIFY(working->isModal());
                if (cancel)
                    working->reject();
            }
        }
    });
    const qsizetype before = Prompt::History().size();
    view.Search();
    CLogDisplayView::SetWorkingDialogTiming(300, 50);
    QVERIFY(shown);
    QCOMPARE(view.SearchCancelled(), cancel);
    QCOMPARE(view.LastFoundIndex(), found);
    QCOMPARE(promptsSince(before).size(), prompts);
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<CWorkingDlg*>(w) || !w->isVisible());
}

void TestLogView::colourRulesAppliedAndReapplied()
{
    const QString section = QStringLiteral("Log Settings");
    WriteProfileInt(section, QStringLiteral("Color1 combo"), CLogColourRules::Subject);
    WriteProfileString(section, QStringLiteral("Color1 string"), QStringLiteral("echo"));
    WriteProfileInt(section, QStringLiteral("Color1"), 0xFF0000); // red as 0x00RRGGBB
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    QCOMPARE(
        view.List()->model()->index(4, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    QVERIFY(!view.List()->model()->index(0, 2).data(Qt::ForegroundRole).isValid());

    // The options sheet changes the rule: every open log list follows at once.
    CLogDisplayView second;
    QVERIFY(second.OpenLog(WriteLog(kLog, QStringLiteral("second.log"))));
    RegisterLogOptionPages();
    COptPropSheet sheet(QStringLiteral("Options"), &view, COptPropSheet::LogFilesPage, true);
    COptColorPropPg* colours = sheet.FindPage<COptColorPropPg>();
    QVERIFY(colours);
    colours->TextBox(0)->setText(QStringLiteral("beta"));
    colours->SetRowColour(1, 0x00FF00); // green
    colours->FieldBox(1)->setCurrentIndex(CLogColourRules::Folder);
    colours->TextBox(1)->setText(QStringLiteral("work"));
    QSignalSpy changed(view.List()->model(), &QAbstractItemModel::dataChanged);
    sheet.accept();
    QVERIFY(changed.count() > 0);
    for (CLogDisplayView* v : { &view, &second }) {
        QAbstractItemModel* model = v->List()->model();
        QCOMPARE(model->index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
        QVERIFY(!model->index(1, 0).data(Qt::ForegroundRole).isValid());
        QCOMPARE(model->index(4, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::green));
    }
    QCOMPARE(GetProfileString(section, QStringLiteral("Color2 string"), QString()), QStringLiteral("work"));
    QCOMPARE(GetProfileInt(section, QStringLiteral("Color2 combo"), -1), int(CLogColourRules::Folder));
    // Sorting keeps each row's colour with its entry.
    clickHeader(view, 5);
    QCOMPARE(
        view.List()->model()->index(5, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
}

void TestLogView::editRecipe_data()
{
    QTest::addColumn<int>("row"); // -1: nothing selected
    QTest::addColumn<QString>("recipe");
    QTest::addColumn<QString>("caption");
    QTest::newRow("entry with a recipe") << 1 << QStringLiteral("Work") << QString();
    QTest::newRow("another recipe") << 4 << QStringLiteral("WORK") << QString();
    QTest::newRow("procmail's own entry") << 2 << QString() << QStringLiteral("No associated recipe name");
    QTest::newRow("nothing selected") << -1 << QString() << QStringLiteral("No entry selected");
}

void TestLogView::editRecipe()
{
    QFETCH(int, row);
    QFETCH(QString, recipe);
    QFETCH(QString, caption);
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    if (row >= 0)
        view.List()->selectRow(row);
    QSignalSpy edit(&view, &CLogDisplayView::editRecipeRequested);
    QSignalSpy manual(&view, &CLogDisplayView::manualEditRequested);
    const qsizetype before = Prompt::History().size();
    view.EditRecipe();
    view.ManuallyEditRecipe();
    if (recipe.isEmpty()) {
        QCOMPARE(edit.count(), 0);
        QCOMPARE(promptsSince(before).size(), 1);
        QCOMPARE(promptsSince(before).first().caption, caption);
    } else {
        QCOMPARE(edit.count(), 1);
        QCOMPARE(edit.first().first().toString(), recipe);
        QVERIFY(promptsSince(before).isEmpty());
    }
    // Manual editing opens the recipe file in every case, at the recipe when there is one.
    QCOMPARE(manual.count(), 1);
    QCOMPARE(manual.first().first().toString(), recipe);
}

void TestLogView::viewRecipe_data()
{
    QTest::addColumn<QByteArray>("recipes");
    QTest::addColumn<QString>("shown"); // the viewer's text, or the message
    QTest::newRow("both markers, CR LF lines")
        << QByteArray(
               "##_ZEPH_RECIPE_BEGIN_##Other\r\n:0\r\n##_ZEPH_RECIPE_END_##Other\r\n"
               "##_ZEPH_RECIPE_BEGIN_##Work\r\n:0:\r\n* ^From:.*x\r\nwork\r\n##_ZEPH_RECIPE_END_##Work\r\n")
        << QStringLiteral("##_ZEPH_RECIPE_BEGIN_##Work\n:0:\n* ^From:.*x\nwork\n##_ZEPH_RECIPE_END_##Work\n");
    QTest::newRow("end marker missing")
        << QByteArray("##_ZEPH_RECIPE_BEGIN_##Work\n:0:\nwork\n")
        << QStringLiteral("ZEPH was unable to find the end marker for the recipe "
                          "\"Work\" in %1.");
    QTest::newRow("no markers") << QByteArray("##_ZEPH_RECIPE_BEGIN_##Workshop\n")
                                << QStringLiteral(
                                       "ZEPH was unable to find the beginning and end markers for the "
                                       "recipe \"Work\" in %1.");
}

void TestLogView::viewRecipe()
{
    QFETCH(QByteArray, recipes);
    QFETCH(QString, shown);
    const QString recipeFile = WriteLog(recipes, QStringLiteral("zeph.recipes"));
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    view.SetRecipeFilePath(recipeFile);
    view.List()->selectRow(1);
    const qsizetype before = Prompt::History().size();
    view.ViewRecipe();
    const QList<CTextViewerDlg*> viewers = view.findChildren<CTextViewerDlg*>();
    if (shown.contains(QLatin1String("unable"))) {
        QVERIFY(viewers.isEmpty());
        QCOMPARE(promptsSince(before).size(), 1);
        QCOMPARE(promptsSince(before).first().text, shown.arg(recipeFile));
        QCOMPARE(promptsSince(before).first().caption, QStringLiteral("Recipe not found"));
    } else {
        QCOMPARE(viewers.size(), 1);
        QCOMPARE(viewers.first()->windowTitle(), QStringLiteral("Recipe: Work"));
        QCOMPARE(viewers.first()->TextBox()->toPlainText(), shown);
    }
}

void TestLogView::detailsAndTooltip()
{
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    // Subject first: the labels follow the display order.
    view.List()->horizontalHeader()->moveSection(2, 0);
    view.List()->selectRow(5);
    view.List()->selectionModel()->select(
        view.List()->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(view.DetailsText(),
        QStringLiteral("SUBJECT: RE:   Delta\nRECIPE NAME: Work\nFROM: yves\nTO: Yan\nDATE: 03/01/07 00:00\n"
                       "ENVELOPE FROM: s-b\nFOLDER: inbox\nSIZE: 9\n\n"
                       "SUBJECT: \nDATE: unknown\nENVELOPE FROM: s-f\nFOLDER: Inbox\nSIZE: 0\n\n"));
    QCOMPARE(view.RowToolTip(5), QStringLiteral("DATE: unknown\nENVELOPE FROM: s-f\nFOLDER: Inbox\nSIZE: 0"));
    view.ViewEntryDetails();
    QCOMPARE(view.findChildren<CTextViewerDlg*>().size(), 1);
    QCOMPARE(view.findChildren<CTextViewerDlg*>().first()->windowTitle(), QStringLiteral("Log Entries"));
    view.List()->clearSelection();
    const qsizetype before = Prompt::History().size();
    view.ViewEntryDetails();
    QCOMPARE(promptsSince(before).size(), 1);
    QCOMPARE(
        promptsSince(before).first().text, QStringLiteral("Please highlight the entry you wish to view."));
}

void TestLogView::tipWrapping_data()
{
    // The tip is as wide as `widest` in the tip font.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("widest");
    QTest::addColumn<QString>("wrapped");
    QTest::newRow("fits") << QStringLiteral("SIZE: 10\nTO: x") << QStringLiteral("SIZE: 10")
                          << QStringLiteral("SIZE: 10\nTO: x");
    QTest::newRow("at the last blank") << QStringLiteral("TO: aa bb cc dd") << QStringLiteral("TO: aa bb c")
                                       << QStringLiteral("TO: aa bb\ncc dd");
    QTest::newRow("long word breaks inside") << QStringLiteral("FROM: abcdefghijklmnop")
                                             << QStringLiteral("FROM: abcdefg") << QString(); // checked below
    QTest::newRow("blank right after the width")
        << QStringLiteral("FOLDER: inbox x") << QStringLiteral("FOLDER: inbox")
        << QStringLiteral("FOLDER: inbox\nx");
    QTest::newRow("each line on its own")
        << QStringLiteral("a\nSIZE: 100 200\nb") << QStringLiteral("SIZE: 100")
        << QStringLiteral("a\nSIZE: 100\n200\nb");
}

void TestLogView::tipWrapping()
{
    QFETCH(QString, text);
    QFETCH(QString, widest);
    QFETCH(QString, wrapped);
    const QFontMetrics metrics(QToolTip::font());
    const QString result = CLogDisplayView::WrapTipText(text, metrics, metrics.horizontalAdvance(widest));
    if (QTest::currentDataTag() == QByteArrayLiteral("long word breaks inside")) {
        // Where a word breaks depends on the font: every piece fits, and nothing is lost.
        const QStringList lines = result.split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("FROM:"));
        QVERIFY(lines.size() >= 3);
        for (const QString& line : lines)
            QVERIFY(metrics.horizontalAdvance(line) <= metrics.horizontalAdvance(widest));
        QCOMPARE(lines.mid(1).join(QString()), QStringLiteral("abcdefghijklmnop"));
        return;
    }
    QCOMPARE(result, wrapped);
}

// The list rests half a second before a tip; an open tip moves to the row under the mouse.
void TestLogView::rowTipFollowsTheMouse()
{
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.resize(700, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    QWidget* viewport = view.List()->viewport();
    QCOMPARE(viewport->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, viewport), 500);
    auto rowPoint = [&](int row) {
        return QPoint(20, view.List()->rowViewportPosition(row) + view.List()->rowHeight(row) / 2);
    };
    auto askTip = [&](int row) {
        QHelpEvent help(QEvent::ToolTip, rowPoint(row), viewport->mapToGlobal(rowPoint(row)));
        QApplication::sendEvent(viewport, &help);
    };
    askTip(5);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), view.RowToolTip(5));
    QCOMPARE(view.TipRow(), 5);
    // Over another row the tip waits, then shows the row the mouse is on by then.
    QCursor::setPos(viewport->mapToGlobal(rowPoint(1)));
    askTip(1);
    QCOMPARE(view.TipRow(), 5);
    QTRY_COMPARE(view.TipRow(), 1);
    QCOMPARE(QToolTip::text(), view.RowToolTip(1));
    // Switched off by the setting when the view becomes active.
    SetSetting(Settings::LogShowTooltips, 0);
    view.Activate();
    QTRY_VERIFY(!QToolTip::isVisible());
    askTip(2);
    QVERIFY(!QToolTip::isVisible());
    QCOMPARE(view.TipRow(), 1);
    SetSetting(Settings::LogShowTooltips, 1);
}

void TestLogView::keyboardContextMenu_data()
{
    QTest::addColumn<int>("row"); // -1: nothing selected
    QTest::newRow("selected row") << 2;
    QTest::newRow("first of several selected") << 1;
    QTest::newRow("nothing selected") << -1;
}

// From the keyboard the menu opens 5 pixels right of the first selected row's left edge at its
// lower edge, or 5 pixels inside the lower-left corner of the list.
void TestLogView::keyboardContextMenu()
{
    QFETCH(int, row);
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    view.setGeometry(0, 0, 500, 160);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    QTableView* list = view.List();
    if (row >= 0) {
        list->selectRow(row);
        list->selectionModel()->select(
            list->model()->index(row + 2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    const QPoint expected = list->viewport()->mapToGlobal(row >= 0
            ? QPoint(5, list->rowViewportPosition(row) + list->rowHeight(row))
            : QPoint(5, list->viewport()->height() - 5));
    list->setFocus();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(40, 40), list->mapToGlobal(QPoint(40, 40)));
    QApplication::sendEvent(list, &event);
    QTRY_VERIFY(view.PopupMenu()->isVisible());
    QCOMPARE(view.PopupMenu()->pos(), expected);
    view.PopupMenu()->close();
    // With the mouse it opens where the mouse is.
    const QPoint at = list->viewport()->mapToGlobal(QPoint(60, 30));
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(60, 30), at);
    QApplication::sendEvent(list->viewport(), &mouse);
    QTRY_VERIFY(view.PopupMenu()->isVisible());
    QCOMPARE(view.PopupMenu()->pos(), at);
    view.PopupMenu()->close();
}

void TestLogView::logWithoutEntries()
{
    SetSetting(Settings::LogSortedCol, 3);
    for (Prompt::Button answer : { Prompt::Yes, Prompt::No, Prompt::Cancel }) {
        const QString path = WriteLog("procmail: nothing to see\n", QStringLiteral("empty.log"));
        CLogDisplayView view;
        QSignalSpy asText(&view, &CLogDisplayView::openAsTextRequested);
        QSignalSpy close(&view, &CLogDisplayView::closeRequested);
        Prompt::QueueAnswer(answer);
        const qsizetype before = Prompt::History().size();
        QVERIFY(!view.OpenLog(path));
        QCOMPARE(promptsSince(before).first().caption, QStringLiteral("Open as text file?"));
        QCOMPARE(promptsSince(before).first().text,
            QStringLiteral(
                "No standard log entries were found in the file %1.  Would you like to open it as a "
                "plain text file?")
                .arg(path));
        QCOMPARE(asText.count(), answer == Prompt::Yes ? 1 : 0);
        QVERIFY(close.wait(1000));
        view.SaveViewSettings();
        QList<qint32> order;
        QVERIFY(!CurrentUserData().GetIntArray(QStringLiteral("Log Display Col Order"), &order));
        QCOMPARE(GetSetting(Settings::LogSortedCol), 3);
    }
}

// A FIFO is refused before anything opens it (opening it would block before Cancel is shown), and
// a log above the set size is read only after a Yes. The large logs are sparse files.
void TestLogView::oddFilesAndLargeLogs()
{
    const QString fifo = m_dir.filePath(QStringLiteral("pipe.log"));
    QFile::remove(fifo);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    {
        CLogDisplayView view;
        QSignalSpy close(&view, &CLogDisplayView::closeRequested);
        const qsizetype before = Prompt::History().size();
        QVERIFY(!view.OpenLog(fifo));
        const QList<Prompt::Record> prompts = promptsSince(before);
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts[0].caption, QStringLiteral("ZEPH"));
        QCOMPARE(prompts[0].icon, Prompt::Warning);
        QCOMPARE(prompts[0].text,
            QStringLiteral(
                "%1 is a named pipe (FIFO), not a regular file.  Only a regular file can be opened as "
                "a log.")
                .arg(fifo));
        QVERIFY(close.wait(1000));
    }

    auto sparse = [this](const QString& name, qint64 size) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !file.resize(size))
            return QString();
        return path;
    };
    const QString huge = sparse(QStringLiteral("huge.log"), 600LL * 1024 * 1024 + 1);
    QVERIFY(!huge.isEmpty());
    {
        // No: nothing is read.
        CLogDisplayView view;
        QSignalSpy close(&view, &CLogDisplayView::closeRequested);
        const qsizetype before = Prompt::History().size();
        Prompt::QueueAnswer(Prompt::No);
        QVERIFY(!view.OpenLog(huge));
        const QList<Prompt::Record> prompts = promptsSince(before);
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts[0].caption, QStringLiteral("Large log file"));
        QCOMPARE(prompts[0].icon, Prompt::Question);
        QCOMPARE(prompts[0].buttons, Prompt::Buttons(Prompt::Yes | Prompt::No));
        QCOMPARE(prompts[0].defaultButton, Prompt::No);
        QCOMPARE(prompts[0].text,
            QStringLiteral(
                "The log file %1 is 601 MB, larger than 512 MB.  ZEPH reads the whole log into "
                "memory, which for a file this size can take long or fail.  Do you want to open it "
                "anyway?")
                .arg(huge));
        QVERIFY(view.Document().Path().isEmpty());
        QVERIFY(close.wait(1000));
    }
    {
        // Yes reads it: the file of zeros has no entries, which is the next question.
        SetSetting(Settings::LogAskAboveMegabytes, 1);
        const QString large = sparse(QStringLiteral("large.log"), 2 * 1024 * 1024);
        CLogDisplayView view;
        const qsizetype before = Prompt::History().size();
        Prompt::QueueAnswer(Prompt::Yes);
        Prompt::QueueAnswer(Prompt::No);
        QVERIFY(!view.OpenLog(large));
        const QList<Prompt::Record> prompts = promptsSince(before);
        QCOMPARE(prompts.size(), 2);
        QVERIFY(prompts[0].text.startsWith(
            QStringLiteral("The log file %1 is 2 MB, larger than 1 MB.  ").arg(large)));
        QCOMPARE(prompts[1].caption, QStringLiteral("Open as text file?"));
        QCOMPARE(view.Document().Path(), large);
        // Not above the size: no question.
        SetSetting(Settings::LogAskAboveMegabytes, 2);
        CLogDisplayView again;
        Prompt::QueueAnswer(Prompt::No);
        QVERIFY(!again.OpenLog(large));
        QCOMPARE(promptsSince(before + 2).size(), 1);
        QCOMPARE(promptsSince(before + 2)[0].caption, QStringLiteral("Open as text file?"));
    }
}

void TestLogView::unparsedLinesOpenNumberedDocuments()
{
    const QString path = WriteLog(kLog + "garbage one\ngarbage two\n", QStringLiteral("noisy.log"));
    CLogDisplayView first;
    QSignalSpy firstSpy(&first, &CLogDisplayView::unparsedDataReady);
    const qsizetype before = Prompt::History().size();
    QVERIFY(first.OpenLog(path));
    QCOMPARE(firstSpy.count(), 1);
    const QString title = firstSpy.first().at(0).toString();
    QVERIFY(title.startsWith(QLatin1String("Unparsed Data")));
    const int number = title.mid(13).toInt();
    QCOMPARE(firstSpy.first().at(1).toByteArray(),
        QByteArray("Line 27:  garbage one\r\nLine 28:  garbage two\r\n"));
    QCOMPARE(promptsSince(before).first().caption, QStringLiteral("Unparsed data"));
    QCOMPARE(promptsSince(before).first().text,
        QStringLiteral(
            "There were 2 lines in the file %1 that ZEPH was unable to parse.  Those lines will be "
            "displayed using the file name \"%2\".  Click on that tab to view the data.")
            .arg(path, title));
    CLogDisplayView second;
    QSignalSpy secondSpy(&second, &CLogDisplayView::unparsedDataReady);
    QVERIFY(second.OpenLog(path));
    QCOMPARE(secondSpy.first().at(0).toString(), QStringLiteral("Unparsed Data%1").arg(number + 1));
    QCOMPARE(second.EntriesText(), QStringLiteral("6 Entries"));
}

void TestLogView::saveAs()
{
    const QString path = WriteLog(kLog + "tail\n", QStringLiteral("save.log"));
    CLogDisplayView view;
    QVERIFY(view.OpenLog(path));
    Prompt::ClearHistory();
    // A copy, byte for byte.
    const QString copy = m_dir.filePath(QStringLiteral("copy.log"));
    WriteLog("old content", QStringLiteral("copy.log"));
    QVERIFY(view.SaveAsPath(copy));
    QFile copied(copy);
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), kLog + "tail\n");
    QCOMPARE(Prompt::History().last().text, QStringLiteral("The file was saved as %1").arg(copy));
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("File Saved"));
    // Onto the log itself, under another spelling or through a link: nothing, no message.
    Prompt::ClearHistory();
    QVERIFY(!view.SaveAsPath(m_dir.path() + QStringLiteral("/./save.log")));
    const QString link = m_dir.filePath(QStringLiteral("link.log"));
    QVERIFY(QFile::link(path, link));
    QVERIFY(!view.SaveAsPath(link));
    QVERIFY(Prompt::History().isEmpty());
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), kLog + "tail\n");
    // A folder that does not exist: the error, and nothing written.
    const QString nowhere = m_dir.filePath(QStringLiteral("no/such/folder/x.log"));
    QVERIFY(!view.SaveAsPath(nowhere));
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("Error!"));
    QVERIFY(Prompt::History().last().text.startsWith(
        QStringLiteral("Error trying to save file %1.  The error was:\r\n\r\n").arg(nowhere)));
    QVERIFY(!QFile::exists(nowhere));
}

namespace {

// Of the dark pixels in a header section's right part (where the arrow is drawn), how many lie in
// the lower half of their bounding box minus how many lie in the upper half: an up arrow is wide
// at its foot, so the result is positive; a down arrow gives a negative one.
int arrowFootBias(QHeaderView* header, int column)
{
    const QImage image = header->grab().toImage();
    const int right = header->sectionViewportPosition(column) + header->sectionSize(column);
    const QRect area(right - 24, 0, 24, image.height());
    QList<QPoint> dark;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 110)
                dark << QPoint(x, y);
    if (dark.isEmpty())
        return 0;
    int top = image.height();
    int bottom = 0;
    for (const QPoint& p : std::as_const(dark)) {
        top = qMin(top, p.y());
        bottom = qMax(bottom, p.y());
    }
    const double middle = (top + bottom) / 2.0;
    int bias = 0;
    for (const QPoint& p : std::as_const(dark))
        bias += p.y() > middle ? 1 : (p.y() < middle ? -1 : 0);
    return bias;
}

} // namespace

// Up is ascending, as users read the arrow.
void TestLogView::sortArrowPointsUpWhenAscending()
{
    // Offscreen, the application style is Fusion, which draws "sort up" as an up arrow.
    QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
    CLogDisplayView view;
    view.resize(900, 300);
    view.show();
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    QHeaderView* header = view.List()->horizontalHeader();
    view.List()->setColumnWidth(4, 200);
    clickHeader(view, 4);
    QVERIFY(header->isSortIndicatorShown());
    const int ascending = arrowFootBias(header, 4);
    clickHeader(view, 4);
    const int descending = arrowFootBias(header, 4);
    QVERIFY2(ascending > 0, qPrintable(QString::number(ascending)));
    QVERIFY2(descending < 0, qPrintable(QString::number(descending)));
}

void TestLogView::columnLayoutPerIdentity()
{
    const QString path = WriteLog(kLog);
    SetSetting(Settings::LogUseSavedColSizes, 1);
    {
        // No widths stored: equal widths of at least 50 pixels, wider only where the header text
        // needs it.
        CLogDisplayView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(view.OpenLog(path));
        QHeaderView* header = view.List()->horizontalHeader();
        int share = view.List()->columnWidth(0);
        for (int column = 1; column < 8; ++column)
            share = qMin(share, view.List()->columnWidth(column));
        QVERIFY(share >= 50);
        const QFontMetrics metrics(header->font());
        for (int column = 0; column < 8; ++column) {
            const QString text = header->model()->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(view.List()->columnWidth(column) > metrics.horizontalAdvance(text), qPrintable(text));
            if (metrics.horizontalAdvance(text) + 20 < share)
                QCOMPARE(view.List()->columnWidth(column), share);
        }
        view.List()->horizontalHeader()->moveSection(6, 0);
        view.List()->setColumnWidth(2, 222);
        clickHeader(view, 4);
        clickHeader(view, 4);
        view.SaveViewSettings();
    }
    QCOMPARE(GetSetting(Settings::LogSortedCol), 4);
    QCOMPARE(GetSetting(Settings::LogSortAscending), 0);
    CLogDisplayView again;
    again.show();
    QVERIFY(again.OpenLog(path));
    QCOMPARE(again.List()->horizontalHeader()->logicalIndex(0), 6);
    QCOMPARE(again.List()->columnWidth(2), 222);
    QCOMPARE(again.SortColumn(), 4);
    QVERIFY(!again.SortAscending());
    QCOMPARE(order(again), QByteArray("fcbeda"));
    // A stored order that is not a permutation of the columns is ignored.
    CurrentUserData().SetIntArray(QStringLiteral("Log Display Col Order"), { 0, 0, 1, 2, 3, 4, 5, 99 });
    CLogDisplayView damaged;
    QVERIFY(damaged.OpenLog(path));
    for (int i = 0; i < 8; ++i)
        QCOMPARE(damaged.List()->horizontalHeader()->logicalIndex(i), i);
}

void TestLogView::logFilesPage()
{
    SetSetting(Settings::LogDateSeparator, QStringLiteral("."));
    SetSetting(Settings::LogDateFormat, 2);
    SetSetting(Settings::LogSortedCol, 5);
    CLogDisplayView view;
    QVERIFY(view.OpenLog(WriteLog(kLog)));
    QVERIFY(!view.List()->showGrid());
    RegisterLogOptionPages();
    COptPropSheet sheet(QStringLiteral("Options"), &view, COptPropSheet::LogFilesPage, true);
    QCOMPARE(sheet.windowTitle(), QStringLiteral("Options"));
    QCOMPARE(sheet.Tabs()->tabText(0), QStringLiteral("Log files"));
    QCOMPARE(sheet.Tabs()->tabText(1), QStringLiteral("Log colors"));
    COptLogPropPg* page = sheet.FindPage<COptLogPropPg>();
    QVERIFY(page);
    QCOMPARE(page->findChildren<QComboBox*>().first()->currentIndex(), 2);
    QCOMPARE(COptLogPropPg::ExampleText(0, QStringLiteral("-")), QStringLiteral("12-01-07"));
    QCOMPARE(COptLogPropPg::ExampleText(1, QStringLiteral("/")), QStringLiteral("01/12/07"));
    QCOMPARE(COptLogPropPg::ExampleText(2, QStringLiteral(".")), QStringLiteral("07.12.01"));
    QCOMPARE(COptLogPropPg::ExampleText(3, QStringLiteral(".")), QStringLiteral("Unexpected error!"));
    QCheckBox* grid = nullptr;
    for (QCheckBox* box : page->findChildren<QCheckBox*>()) {
        if (box->text() == QLatin1String("Show gridlines"))
            grid = box;
    }
    QVERIFY(grid);
    grid->click();
    sheet.accept();
    QCOMPARE(GetSetting(Settings::LogShowGridlines), 1);
    QVERIFY(view.List()->showGrid());
    // The date format applies to logs opened afterwards.
    QCOMPARE(view.List()->model()->index(1, 4).data().toString(), QStringLiteral("07.03.01 00:00"));
}

// The log list as the program shows it: opened by the main window, its unparsed lines in a text
// document, its entry count in the status bar, its commands through the command table.
void TestLogView::inTheMainWindow()
{
    const QString docs = m_dir.path() + QStringLiteral("/docs/");
    QVERIFY(Workspace::SetDocumentFolder(docs));
    QDir().mkpath(docs);
    WriteLog("##_ZEPH_RECIPE_BEGIN_##Other\n:0\n##_ZEPH_RECIPE_END_##Other\n"
             "##_ZEPH_RECIPE_BEGIN_##Work\n:0:\nwork\n##_ZEPH_RECIPE_END_##Work\n",
        QStringLiteral("docs/zeph.recipes"));
    SetSetting(Settings::LogSortedCol, 5);
    MainWindowWithEditor window;
    RegisterLogViewer(window.Shell());
    window.show();
    const QString path = WriteLog(kLog + "stray line\n", QStringLiteral("main.log"));
    auto* view = qobject_cast<CLogDisplayView*>(window.Documents().OpenFile(path));
    QVERIFY(view);
    QCOMPARE(window.Documents().ActiveDocument(), view);
    QCOMPARE(view->Title(), QStringLiteral("main.log"));
    QCOMPARE(window.Documents().List().size(), 2);
    CDocumentWindow* unparsed = nullptr;
    for (CDocumentWindow* document : window.Documents().List()) {
        if (document != view)
            unparsed = document;
    }
    QVERIFY(unparsed && unparsed->Title().startsWith(QLatin1String("Unparsed Data")));
    QCOMPARE(qobject_cast<CZEPHView*>(unparsed)->Editor()->toPlainText(),
        QStringLiteral("Line 27:  stray line\n"));
    window.Documents().ActivateDocument(view);
    QCOMPARE(window.LineColumnText(), QStringLiteral("6 Entries"));
    QVERIFY(view->HasCommand(Cmd::Save));
    QVERIFY(!view->IsCommandEnabled(Cmd::Save));
    QVERIFY(!view->IsCommandEnabled(Cmd::FindNext));
    // Manually Edit Recipe opens the recipe file at the recipe of the selected entry.
    view->List()->selectRow(1);
    view->RunCommand(Cmd::ManuallyEditRecipe);
    auto* recipes = qobject_cast<CZEPHView*>(window.Documents().ActiveDocument());
    QVERIFY(recipes);
    QCOMPARE(QFileInfo(recipes->Path()).fileName(), QStringLiteral("zeph.recipes"));
    QCOMPARE(recipes->Editor()->textCursor().block().text(), QStringLiteral("##_ZEPH_RECIPE_BEGIN_##Work"));
    // With "Always open as text" a log opens in the editor.
    SetSetting(Settings::LogAlwaysOpenAsText, 1);
    const QString other = WriteLog(kLog, QStringLiteral("other.log"));
    window.Documents().OpenFile(other);
    QVERIFY(qobject_cast<CZEPHView*>(window.Documents().FindDocument(other)));
}

QTEST_MAIN(TestLogView)
#include "tst_logview.moc"
