// The main window against its command table: menus, enable states, custom menus, toolbars
// across a restart, document windows and closing.

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"
#include "gui/app/CCustomToolBar.h"
#include "gui/app/COpeningFormView.h"
#include "gui/app/CTipDlg.h"
#include "gui/app/CToolbarCustomizeDlg.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/CommandTable.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/RecentFileList.h"
#include "gui/app/WindowPlacement.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CFindReplaceDlg.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/editor/CZEPHView.h"
#include "gui/net/CMenuEntryDlg.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace {

// A stand-in log view, so that the log menu bar can be shown before the log viewer is hooked in.
class FakeLogView : public CDocumentWindow
{
public:
    explicit FakeLogView(const QString& path)
        : CDocumentWindow(DocumentKind::Log)
        , m_path(path)
    {
    }
    QString Path() const override { return m_path; }
    QString Title() const override { return QStringLiteral("fake.log"); }

private:
    QString m_path;
};

struct MenuItem
{
    QString popup;
    QAction* action;
};

void collect(QMenu* menu, const QString& popup, QList<MenuItem>* items)
{
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->menu())
            collect(action->menu(), popup, items);
        else if (!action->isSeparator())
            items->append({ popup, action });
    }
}

QList<MenuItem> menuItems(MainWindow& window)
{
    QList<MenuItem> items;
    const QList<QAction*> popups = window.menuBar()->actions();
    for (QAction* popup : popups)
        collect(popup->menu(), popup->text(), &items);
    return items;
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file");
    return path;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    QString docs() const { return m_fixture->Docs(); }

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Shell")); }

    void init() { m_fixture->Init(); }

    // Every menu item carries the text, prompt, tooltip and shortcut of its command table row;
    // every command of the table is on at least one menu bar.
    void menusFollowCommandTable()
    {
        MainWindowWithEditor window;
        window.Shell().RegisterDocumentKind(
            DocumentKind::Log, [](const QString& path, QString*) { return new FakeLogView(path); });
        QSet<int> seen;
        auto check = [&](MenuKind expected) {
            QCOMPARE(window.CurrentMenuKind(), expected);
            const QList<MenuPopup> layout = MenuLayout(expected);
            const QList<QAction*> popups = window.menuBar()->actions();
            QCOMPARE(popups.size(), layout.size());
            for (int i = 0; i < popups.size(); ++i)
                QCOMPARE(popups[i]->text(), layout[i].text);
            const QList<MenuItem> items = menuItems(window);
            for (const MenuItem& item : items) {
                const int id = item.action->data().toInt();
                const CommandInfo* info = FindCommand(id);
                if (!info)
                    continue; // window list entries
                seen.insert(id);
                QCOMPARE(item.action->text(), QString::fromLatin1(info->text));
                QCOMPARE(item.action->statusTip(), QString::fromLatin1(info->prompt));
                // A disabled command may say instead what to do first.
                if (item.action->isEnabled() || window.Commands().DisabledTip(id).isEmpty())
                    QCOMPARE(item.action->toolTip(), QString::fromLatin1(info->tooltip));
                else
                    QCOMPARE(item.action->toolTip(), window.Commands().DisabledTip(id));
                QCOMPARE(item.action->shortcut(),
                    info->shortcut ? QKeySequence(QString::fromLatin1(info->shortcut)) : QKeySequence());
                QCOMPARE(item.action->isCheckable(), info->checkable);
            }
            if (expected == MenuKind::Text || expected == MenuKind::Log) {
                QMenu* windowMenu = nullptr;
                for (QAction* popup : popups) {
                    if (popup->text() == QLatin1String("&Window"))
                        windowMenu = popup->menu();
                }
                QVERIFY(windowMenu);
                emit windowMenu->aboutToShow();
                QCOMPARE(windowMenu->actions().last()->text(), QStringLiteral("&Windows..."));
            }
        };
        check(MenuKind::NoDocument);
        window.Documents().NewTextDocument();
        check(MenuKind::Text);
        window.Documents().OpenDocument(
            writeFile(docs() + QStringLiteral("a.log"), "x\n"), DocumentKind::Log);
        check(MenuKind::Log);
        window.Documents().OpenButtonPage();
        check(MenuKind::ButtonPage);
        for (const CommandInfo& info : CommandTable()) {
            if (info.id != Cmd::RecipeList)
                QVERIFY2(seen.contains(info.id), info.text);
        }
        QCOMPARE(window.Commands().Action(Cmd::Windows)->statusTip(),
            QStringLiteral("Manages the currently open windows"));
        QCOMPARE(window.Commands().Action(Cmd::Windows)->toolTip(), QStringLiteral("Manage windows"));
    }

    void enableStates_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("withoutDocument");
        QTest::addColumn<bool>("withText");
        QTest::addColumn<bool>("visible");
        QTest::newRow("New") << int(Cmd::New) << true << true << true;
        QTest::newRow("Open") << int(Cmd::Open) << true << true << true;
        QTest::newRow("Save") << int(Cmd::Save) << false << true << true;
        QTest::newRow("Save All") << int(Cmd::SaveAll) << false << true << true;
        QTest::newRow("Close") << int(Cmd::Close) << false << true << true;
        QTest::newRow("Windows...") << int(Cmd::Windows) << false << true << true;
        QTest::newRow("Comment without selection") << int(Cmd::Comment) << false << false << true;
        QTest::newRow("Word Wrap") << int(Cmd::WordWrap) << false << true << true;
        QTest::newRow("Manually Edit") << int(Cmd::ManuallyEdit) << true << true << true;
        QTest::newRow("Help Contents") << int(Cmd::HelpContents) << true << true << true;
        QTest::newRow("Tip of the Day") << int(Cmd::TipOfTheDay) << true << true << true;
        // Commands that nothing performs in this window (no feature hooked in, no kind of document
        // declares them) are hidden; Disconnect is hooked in below only.
        QTest::newRow("Backup") << int(Cmd::Backup) << false << false << false;
        QTest::newRow("FTP Dialog") << int(Cmd::FtpDialog) << false << false << false;
        QTest::newRow("Log download") << int(Cmd::LogDownload) << false << false << false;
        QTest::newRow("Disconnect") << int(Cmd::Disconnect) << false << false << false;
        QTest::newRow("Print") << int(Cmd::Print) << false << true << true;
        QTest::newRow("Print Setup") << int(Cmd::PrintSetup) << true << true << true;
        QTest::newRow("View Entry Details") << int(Cmd::ViewEntryDetails) << false << false << false;
    }

    void enableStates()
    {
        QFETCH(int, id);
        QFETCH(bool, withoutDocument);
        QFETCH(bool, withText);
        QFETCH(bool, visible);
        MainWindowWithEditor window;
        window.UpdateCommandStates();
        QCOMPARE(window.Commands().Action(id)->isVisible(), visible);
        QCOMPARE(window.Commands().Action(id)->isEnabled(), withoutDocument);
        window.Documents().NewTextDocument();
        window.UpdateCommandStates();
        QCOMPARE(window.Commands().Action(id)->isEnabled(), withText);
    }

    // Another part hooks a command in: shown from then on, enabled following its predicate (and
    // saying why not while it is off), and run.
    void commandHandlerHooksIn()
    {
        MainWindowWithEditor window;
        int runs = 0;
        bool connected = false;
        QVERIFY(!window.Commands().Run(Cmd::Disconnect));
        QVERIFY(!window.Commands().Action(Cmd::Disconnect)->isVisible());
        window.Shell().SetCommandHandler(
            Cmd::Disconnect, [&] { ++runs; }, [&] { return connected; });
        window.Shell().SetCommandDisabledTip(Cmd::Disconnect, QStringLiteral("Connect first"));
        window.UpdateCommandStates();
        QVERIFY(window.Commands().Action(Cmd::Disconnect)->isVisible());
        QVERIFY(!window.Commands().Action(Cmd::Disconnect)->isEnabled());
        QCOMPARE(window.Commands().Action(Cmd::Disconnect)->toolTip(), QStringLiteral("Connect first"));
        QVERIFY(!window.Commands().Run(Cmd::Disconnect));
        connected = true;
        window.UpdateCommandStates();
        QVERIFY(window.Commands().Action(Cmd::Disconnect)->isEnabled());
        QCOMPARE(window.Commands().Action(Cmd::Disconnect)->toolTip(), QStringLiteral("Disconnect"));
        window.Commands().Action(Cmd::Disconnect)->trigger();
        QCOMPARE(runs, 1);
    }

    void customMenus_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("firstEmpty");
        QTest::addColumn<int>("shown");
        QTest::newRow("ten, fifth name empty") << 10 << 4 << 4;
        QTest::newRow("three") << 3 << -1 << 3;
        QTest::newRow("none") << 0 << -1 << 0;
        QTest::newRow("more than fifty") << 70 << -1 << 50;
        QTest::newRow("negative count") << -5 << -1 << 0;
    }

    void customMenus()
    {
        QFETCH(int, entries);
        QFETCH(int, firstEmpty);
        QFETCH(int, shown);
        const QString section = QStringLiteral("Menus\\Download");
        WriteProfileInt(section, QStringLiteral("Entries"), entries);
        for (int i = 0; i < qMax(0, entries); ++i)
            WriteProfileString(section, QStringLiteral("%1MenuName").arg(i),
                i == firstEmpty ? QString() : QStringLiteral("Entry %1").arg(i));
        MainWindowWithEditor window;
        QMenu* download = nullptr;
        for (QAction* popup : window.menuBar()->actions()) {
            if (popup->text() == QLatin1String("&Download"))
                download = popup->menu();
        }
        QVERIFY(download);
        const QList<QAction*> items = download->actions();
        QCOMPARE(items[0]->text(), QStringLiteral("&Customize Menu"));
        QCOMPARE(items[1]->text(), QStringLiteral("&Log"));
        QVERIFY(items[2]->isSeparator());
        QCOMPARE(items.size() - 3, shown);
        for (int i = 0; i < shown; ++i) {
            QCOMPARE(items[3 + i]->data().toInt(), Cmd::FirstDownload + i);
            QCOMPARE(items[3 + i]->statusTip(), QStringLiteral("Download Entry %1").arg(i));
            QCOMPARE(items[3 + i]->toolTip(), QStringLiteral("Get Entry %1").arg(i));
        }
    }

    // An entry without file names only informs; with names it goes to the transfer.
    void customCommandNeedsFiles()
    {
        const QString section = QStringLiteral("Menus\\Upload");
        WriteProfileInt(section, QStringLiteral("Entries"), 2);
        WriteProfileString(section, QStringLiteral("0MenuName"), QStringLiteral("Recipes"));
        WriteProfileString(section, QStringLiteral("1MenuName"), QStringLiteral("Rc"));
        WriteProfileString(section, QStringLiteral("1LocalFile"), QStringLiteral("/tmp/x"));
        WriteProfileString(section, QStringLiteral("1RemoteFile"), QStringLiteral(".procmailrc"));
        MainWindowWithEditor window;
        QVERIFY(!window.Commands().Action(Cmd::FirstUpload)->isEnabled()); // no transfer yet
        QStringList transfers;
        window.Shell().SetCustomTransferHandler(
            [&](bool upload, const QString& local, const QString& remote) {
                transfers << QStringLiteral("%1 %2 %3").arg(upload).arg(local, remote);
            });
        QVERIFY(window.Commands().Run(Cmd::FirstUpload));
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("No files specified"));
        QCOMPARE(Prompt::History().last().text,
            QStringLiteral(
                "You haven't associated any filenames with this button.  ZEPH doesn't know what file to "
                "Upload.  Please select 'Customize menu' from the 'Upload' menu to specify which file you "
                "would like uploaded when this button is selected."));
        QVERIFY(transfers.isEmpty());
        QVERIFY(window.Commands().Run(Cmd::FirstUpload + 1));
        QCOMPARE(transfers, QStringList { QStringLiteral("1 /tmp/x .procmailrc") });
    }

    // The upload checks: a line ending in a backslash and blanks stops it, a comment line does not.
    void uploadWhitespaceCheck_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("backslash blank on line 3") << QByteArray("a\nb\nx \\ \nd\n") << false;
        QTest::newRow("commented") << QByteArray("a\nb\n#x \\ \nd\n") << true;
        QTest::newRow("CR LF file") << QByteArray("a\r\nx \\\t\r\n") << false;
        QTest::newRow("backslash without blank") << QByteArray("x \\\n") << true;
    }

    void uploadWhitespaceCheck()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, goesOn);
        MainWindowWithEditor window;
        const QString path = writeFile(docs() + QStringLiteral("upload.txt"), content);
        QCOMPARE(window.Shell().PrepareUpload(path, true), goesOn);
        if (!goesOn) {
            QCOMPARE(Prompt::History().last().caption, QStringLiteral("Whitespace at end of line!"));
            QVERIFY(Prompt::History().last().text.startsWith(QStringLiteral("Line %1 in ")
                                                                 .arg(content.startsWith("a\n")      ? 3
                                                                         : content.startsWith("a\r") ? 2
                                                                                                     : 1)));
        }
        QVERIFY(window.Shell().PrepareUpload(path, false));
    }

    // The customised toolbar comes back at the next start; Reset returns to the saved layout.
    void toolbarCustomiseSurvivesRestart()
    {
        QList<int> customised;
        {
            MainWindowWithEditor window;
            CCustomToolBar* toolbar = window.ButtonToolbar();
            QCOMPARE(toolbar->Layout().first(), int(Cmd::New));
            QCOMPARE(GetSetting(Settings::ToolbarNeverSaved), 0);
            CToolbarCustomizeDlg dialog(toolbar, &window);
            dialog.CurrentList()->setCurrentRow(0);
            dialog.RemoveSelected(); // New
            dialog.CurrentList()->setCurrentRow(0);
            dialog.MoveSelected(1); // Open after Save
            dialog.AvailableList()->setCurrentRow(0);
            dialog.AvailableList()->item(0)->setSelected(true); // a separator
            dialog.CurrentList()->setCurrentRow(-1);
            dialog.AddSelected();
            customised = toolbar->Layout();
            QCOMPARE(customised.mid(0, 2), (QList<int> { Cmd::Save, Cmd::Open }));
            QCOMPARE(customised.last(), 0);
            // The toolbar shows the change at once.
            QCOMPARE(toolbar->actions().first()->data().toInt(), int(Cmd::Save));
            dialog.accept();
        }
        {
            MainWindowWithEditor window;
            QCOMPARE(window.ButtonToolbar()->Layout(), customised);
            CToolbarCustomizeDlg dialog(window.ButtonToolbar(), &window);
            dialog.CurrentList()->setCurrentRow(0);
            dialog.RemoveSelected();
            QVERIFY(window.ButtonToolbar()->Layout() != customised);
            dialog.Reset();
            QCOMPARE(window.ButtonToolbar()->Layout(), customised);
            dialog.reject();
        }
    }

    // A damaged or foreign layout keeps only what the program offers.
    void toolbarDamagedLayout_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("garbage") << QStringLiteral("abc,,")
                                 << (QList<int> { Cmd::New, Cmd::Open, Cmd::Save });
        QTest::newRow("unknown ids") << QStringLiteral("57600,99999,0,57603")
                                     << (QList<int> { Cmd::New, 0, Cmd::Save });
        QTest::newRow("empty") << QString() << QList<int> {};
    }

    void toolbarDamagedLayout()
    {
        QFETCH(QString, stored);
        QFETCH(QList<int>, expected);
        {
            MainWindowWithEditor first;
        }
        CRegistry::SetString(QStringLiteral("Settings"), QStringLiteral("Toolbar"), stored);
        MainWindowWithEditor window;
        if (expected.size() == 3 && stored.startsWith(QLatin1Char('a')))
            QCOMPARE(window.ButtonToolbar()->Layout().mid(0, 3), expected);
        else
            QCOMPARE(window.ButtonToolbar()->Layout(), expected);
    }

    void closeDocumentFor_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::newRow("Yes saves and closes") << int(Prompt::Yes) << true << false << QByteArray("edited\n");
        QTest::newRow("No closes without saving")
            << int(Prompt::No) << true << false << QByteArray("original\n");
        QTest::newRow("Cancel keeps it") << int(Prompt::Cancel) << false << true << QByteArray("original\n");
    }

    void closeDocumentFor()
    {
        QFETCH(int, answer);
        QFETCH(bool, result);
        QFETCH(bool, stillOpen);
        QFETCH(QByteArray, onDisk);
        MainWindowWithEditor window;
        const QString path = writeFile(docs() + QStringLiteral("doc.txt"), "original\n");
        auto* view = qobject_cast<CZEPHView*>(window.Documents().OpenFile(path));
        QVERIFY(view);
        view->Editor()->selectAll();
        view->Editor()->insertPlainText(QStringLiteral("edited\n"));
        Prompt::QueueAnswer(Prompt::Button(answer));
        QCOMPARE(window.Documents().CloseDocumentFor(path.toUpper() == path ? path : path), result);
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Save changes?"));
        QCOMPARE(Prompt::History().last().text,
            QStringLiteral("The file doc.txt should be closed for the next operation.  Do you want to save "
                           "the changes to doc.txt?"));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window.Documents().FindDocument(path) != nullptr, stillOpen);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), onDisk);
        // An unmodified document closes without a question.
        if (stillOpen) {
            window.Documents().FindDocument(path)->DiscardChanges();
            Prompt::ClearHistory();
            QVERIFY(window.Documents().CloseDocumentFor(path));
            QVERIFY(Prompt::History().isEmpty());
        }
    }

    // Opening a file twice activates its window; opening a file that is not there says so.
    void openFileTwiceAndMissing()
    {
        MainWindowWithEditor window;
        const QString path = writeFile(docs() + QStringLiteral("twice.txt"), "x\n");
        CDocumentWindow* first = window.Documents().OpenFile(path);
        window.Documents().NewTextDocument();
        QCOMPARE(window.Documents().OpenFile(path), first);
        QCOMPARE(window.Documents().List().size(), 2);
        QCOMPARE(window.Documents().ActiveDocument(), first);
        QVERIFY(!window.Documents().OpenFile(docs() + QStringLiteral("missing.txt")));
        QVERIFY(Prompt::History().last().text.contains(QStringLiteral("does not exist")));
        QCOMPARE(window.RecentFiles().Files().first(), QFileInfo(path).absoluteFilePath());
    }

    // Closing asks about edited documents first (Cancel stops everything), then runs the
    // pending-files upload, then stores the placement.
    void closingOrder()
    {
        QStringList order;
        auto window = std::make_unique<MainWindowWithEditor>();
        window->SetCloseHooks(
            [&] {
                order << QStringLiteral("upload");
                return true;
            },
            [&] { order << QStringLiteral("disconnect"); });
        const QString path = writeFile(docs() + QStringLiteral("close.txt"), "a\n");
        auto* view = qobject_cast<CZEPHView*>(window->Documents().OpenFile(path));
        view->Editor()->selectAll();
        view->Editor()->insertPlainText(QStringLiteral("b\n"));
        Prompt::QueueAnswer(Prompt::Cancel);
        QVERIFY(!window->close());
        QVERIFY(order.isEmpty());
        QVERIFY(window->Documents().FindDocument(path));
        Prompt::QueueAnswer(Prompt::Yes);
        window->resize(640, 480);
        QVERIFY(window->close());
        QCOMPARE(order, (QStringList { QStringLiteral("upload"), QStringLiteral("disconnect") }));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("b\n"));
        QCOMPARE(GetSetting(Settings::MainRight) - GetSetting(Settings::MainLeft), 640);
        QVERIFY(!CRegistry::GetString(QStringLiteral("BarState"), QStringLiteral("State")).isEmpty());
    }

    // The last document window tells the next first one how to show itself.
    void childPlacementRemembered()
    {
        MainWindowWithEditor window;
        window.resize(900, 700);
        SetSetting(Settings::ChildMinMaxState, WindowPlacement::Normal);
        CDocumentWindow* document = window.Documents().NewTextDocument();
        QMdiSubWindow* sub = window.Documents().SubWindowOf(document);
        QVERIFY(!sub->isMaximized());
        sub->setGeometry(10, 20, 300, 200);
        QVERIFY(window.Documents().CloseDocument(document));
        QCOMPARE(GetSetting(Settings::ChildMinMaxState), int(WindowPlacement::Normal));
        QCOMPARE(GetSetting(Settings::ChildLeft), 10);
        QCOMPARE(GetSetting(Settings::ChildRight), 310);
        SetSetting(Settings::ChildMinMaxState, WindowPlacement::Maximized);
        QVERIFY(window.Documents().SubWindowOf(window.Documents().NewTextDocument())->isMaximized());
    }

    // A ".zeph" file is never opened as text.
    void recipeDataFileGoesToOpener()
    {
        MainWindowWithEditor window;
        const QString path = writeFile(docs() + QStringLiteral("r.zeph"), QByteArray("\x01\x02", 2));
        QVERIFY(!window.Documents().OpenFile(path));
        QVERIFY(window.Documents().List().isEmpty());
        QString opened;
        window.Shell().SetRecipeFileOpener([&](const QString& p) { opened = p; });
        window.Documents().OpenFile(path);
        QCOMPARE(opened, path);
        // The letter case is part of the extension: "R.ZEPH" is a text file like any other.
        opened.clear();
        const QString upper = writeFile(docs() + QStringLiteral("R.ZEPH"), "notes\n");
        QVERIFY(window.Documents().OpenFile(upper));
        QVERIFY(opened.isEmpty());
    }

    // A label's mnemonic (Alt+letter) reaches its box, so no label shows a literal "&"; in
    // Replace, Tab goes from "Find what" to "Replace with".
    void mnemonicsAndTabOrder()
    {
        MainWindowWithEditor window;
        QString menuName, remote, local;
        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.push_back(std::make_unique<CToolbarCustomizeDlg>(window.ButtonToolbar(), &window));
        dialogs.push_back(
            std::make_unique<CMenuEntryDlg>(CMenuEntryDlg::AddUpload, &menuName, &remote, &local, &window));
        dialogs.push_back(std::make_unique<CFindReplaceDlg>(true, QString(), &window));
        dialogs.push_back(std::make_unique<CFindReplaceDlg>(false, QString(), &window));
        for (const auto& dialog : dialogs) {
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->text().contains(QRegularExpression(QStringLiteral("&[^&]"))))
                    QVERIFY2(label->buddy(),
                        qPrintable(dialog->windowTitle() + QStringLiteral(": ") + label->text()));
            }
        }

        auto* replace = static_cast<CFindReplaceDlg*>(dialogs[2].get());
        replace->show();
        QApplication::setActiveWindow(replace);
        QVERIFY(QTest::qWaitForWindowActive(replace));
        const QList<QLineEdit*> boxes = replace->findChildren<QLineEdit*>();
        QCOMPARE(boxes.size(), 2);
        boxes[0]->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), boxes[1]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(qobject_cast<QCheckBox*>(QApplication::focusWidget())->text(),
            QStringLiteral("Match &whole word only"));
    }

    // The program as it is wired: what no feature performs yet is hidden, what is only disabled
    // says what to do first, and the status-bar prompts stay those of the command table.
    void noDeadEnds_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("tip"); // the tooltip with no document open
        const QString table; // the command table's own tooltip
        QTest::newRow("Initial Setup") << int(Cmd::InitialSetup) << true << table;
        QTest::newRow("Backup") << int(Cmd::Backup) << true << table;
        QTest::newRow("Vacation") << int(Cmd::Vacation) << true << table;
        QTest::newRow("Disable Procmail") << int(Cmd::DisableProcmail) << true << table;
        QTest::newRow("man page") << int(Cmd::ManProcmail) << true << table;
        QTest::newRow("procmail version") << int(Cmd::VersionView) << true << table;
        QTest::newRow("Options") << int(Cmd::Options) << true << table;
        QTest::newRow("gated Pending Files") << int(Cmd::PendingFiles) << true << table;
        QTest::newRow("New Recipe") << int(Cmd::NewRecipe) << true << table;
        QTest::newRow("Cut") << int(Cmd::Cut) << true << QStringLiteral("Open a text file first");
        QTest::newRow("Find") << int(Cmd::Find) << true << QStringLiteral("Open a text file or a log first");
        QTest::newRow("View Entry Details")
            << int(Cmd::ViewEntryDetails) << true << QStringLiteral("Open a log first");
        QTest::newRow("Save All") << int(Cmd::SaveAll) << true << QStringLiteral("Open a document first");
        QTest::newRow("Disconnect") << int(Cmd::Disconnect) << true
                                    << QStringLiteral("ZEPH is not connected to the remote host");
    }

    void noDeadEnds()
    {
        QFETCH(int, id);
        QFETCH(bool, visible);
        QFETCH(QString, tip);
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        window.UpdateCommandStates();
        QAction* action = window.Commands().Action(id);
        const CommandInfo* info = FindCommand(id);
        QCOMPARE(action->isVisible(), visible);
        QCOMPARE(action->statusTip(), QString::fromLatin1(info->prompt));
        if (visible)
            QCOMPARE(action->toolTip(), tip.isEmpty() ? QString::fromLatin1(info->tooltip) : tip);
    }

    // Around the hidden commands: their submenus and buttons go too, the gated Pending Files runs
    // into the setup message, no tip and no help page sends the user to what is not there, and
    // the editor says why Cut is off.
    void noDeadEndsAround()
    {
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        window.UpdateCommandStates();
        const auto performed = [&window](int id) { return window.Commands().IsPerformed(id); };

        // The names a user could be sent to that are not there: commands and whole submenus.
        QStringList missing;
        for (const CommandInfo& info : CommandTable()) {
            if (!performed(info.id))
                missing << QString::fromLatin1(info.text)
                               .section(QLatin1Char('\t'), 0, 0)
                               .remove(QLatin1Char('&'));
        }
        for (const MenuPopup& popup : MenuLayout(MenuKind::NoDocument)) {
            for (const MenuEntry& entry : popup.entries) {
                if (!entry.submenu.isEmpty()
                    && std::none_of(entry.children.begin(), entry.children.end(), performed))
                    missing << QString(entry.submenu).remove(QLatin1Char('&'));
            }
        }
        // A name that is also one of a menu ("View") or of a command that is there says nothing.
        for (const CommandInfo& info : CommandTable()) {
            if (performed(info.id))
                missing.removeAll(
                    QString::fromLatin1(info.text).section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')));
        }
        for (const MenuPopup& popup : MenuLayout(MenuKind::Text))
            missing.removeAll(QString(popup.text).remove(QLatin1Char('&')));
        QVERIFY(!missing.contains(QStringLiteral("Man Pages")));
        QVERIFY(!missing.contains(QStringLiteral("Initial Setup")));

        QStringList shownSubmenus;
        for (QAction* popup : window.menuBar()->actions()) {
            for (QAction* entry : popup->menu()->actions()) {
                if (entry->menu() && entry->isVisible())
                    shownSubmenus << entry->text();
            }
        }
        QCOMPARE(shownSubmenus,
            QStringList({ QStringLiteral("&Button Toolbar"), QStringLiteral("&Text Toolbar"),
                QStringLiteral("&Man Pages"), QStringLiteral("Procmail &Version") }));

        auto* page = qobject_cast<COpeningFormView*>(window.Documents().OpenButtonPage());
        for (const COpeningFormView::ButtonInfo& info : COpeningFormView::Buttons())
            QCOMPARE(
                page->ButtonFor(info.control)->isHidden(), info.command != 0 && !performed(info.command));

        SetSetting(Settings::SetupWizRun, 0);
        QVERIFY(window.Commands().Run(Cmd::PendingFiles));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Setup not initialized"));

        QSet<int> shownTips;
        for (int start = 0; start < 16; ++start) {
            SetSetting(Settings::NextTipOfDay, start);
            CTipDlg dialog(&window, performed);
            const int shown = (GetSetting(Settings::NextTipOfDay) + 15) % 16;
            shownTips.insert(shown);
            for (const QString& name : std::as_const(missing))
                QVERIFY2(!CTipDlg::Tip(shown).contains(QLatin1Char('\'') + name + QLatin1Char('\'')),
                    qPrintable(CTipDlg::Tip(shown)));
        }
        QVERIFY(shownTips.contains(3));
        QVERIFY(shownTips.contains(2)); // the Backup tip

        const QStringList pages = QDir(QStringLiteral(":/help")).entryList({ QStringLiteral("*.html") });
        QVERIFY(pages.size() > 10);
        for (const QString& name : pages) {
            QFile file(QStringLiteral(":/help/") + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = FilterHelpPage(QString::fromUtf8(file.readAll()));
            for (const QString& command : std::as_const(missing)) {
                QVERIFY2(!html.contains(QStringLiteral("<b>") + command + QStringLiteral("</b>"))
                        && !html.contains(QStringLiteral("&gt; ") + command),
                    qPrintable(name + QStringLiteral(": ") + command));
            }
        }

        CDocumentWindow* text = window.Documents().NewTextDocument();
        QVERIFY(text);
        window.UpdateCommandStates();
        QCOMPARE(window.Commands().Action(Cmd::Cut)->toolTip(), QStringLiteral("Select some text first"));
    }

    // Every button the Button Toolbar offers, and every button of the button page, has an image:
    // the desktop theme's where the theme has that icon, the bundled copy where the theme lacks
    // it or where there is no theme at all.
    void iconsFromThemeOrBundled()
    {
        QTemporaryDir themes;
        QVERIFY(QDir(themes.path()).mkpath(QStringLiteral("Red/16x16/actions")));
        writeFile(themes.path() + QStringLiteral("/Red/index.theme"),
            "[Icon Theme]\nName=Red\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n");
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(themes.path() + QStringLiteral("/Red/16x16/actions/document-open.png")));

        const QStringList savedPaths = QIcon::themeSearchPaths();
        const QString savedTheme = QIcon::themeName();
        QIcon::setThemeSearchPaths({ themes.path() });
        auto centre = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage().pixelColor(8, 8); };
        for (const QString& theme : { QStringLiteral("Red"), QStringLiteral("NoSuchTheme") }) {
            QIcon::setThemeName(theme);
            MainWindowWithEditor window;
            for (int id : window.ButtonToolbar()->Available()) {
                if (id != 0)
                    QVERIFY2(!window.Commands().Action(id)->icon().pixmap(16, 16).isNull(),
                        qPrintable(theme + QLatin1Char(' ') + window.Commands().Action(id)->text()));
            }
            QCOMPARE(centre(window.Commands().Action(Cmd::Open)->icon()) == QColor(Qt::red),
                theme == QLatin1String("Red"));
            QVERIFY(centre(window.Commands().Action(Cmd::New)->icon()) != QColor(Qt::red));

            auto* page = qobject_cast<COpeningFormView*>(window.Documents().OpenButtonPage());
            QVERIFY(page);
            for (const COpeningFormView::ButtonInfo& info : COpeningFormView::Buttons())
                QVERIFY2(!page->ButtonFor(info.control)->icon().pixmap(32, 32).isNull(), info.text);
        }
        QIcon::setThemeSearchPaths(savedPaths);
        QIcon::setThemeName(savedTheme);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
