// Start-up warnings, exit, button page, window tabs and the Windows dialog.
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"
#include "gui/app/COpeningFormView.h"
#include "gui/app/CViewManager.h"
#include "gui/app/CWindowsDlg.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/CommandTable.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CCheckQuestionDlg.h"
#include "gui/common/IShell.h"
#include "gui/editor/CZEPHView.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file");
    return path;
}

class FakeLogView : public CDocumentWindow
{
public:
    explicit FakeLogView(const QString& path)
        : CDocumentWindow(DocumentKind::Log)
        , m_path(path)
    {
    }
    QString Path() const override { return m_path; }
    QString Title() const override { return QFileInfo(m_path).fileName(); }

private:
    QString m_path;
};

void modify(CDocumentWindow* document, const QString& text)
{
    auto* view = qobject_cast<CZEPHView*>(document);
    view->Editor()->selectAll();
    view->Editor()->insertPlainText(text);
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    QString docs() const { return m_fixture->Docs(); }

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Shell")); }

    void init()
    {
        m_fixture->Init();
        SetSetting(Settings::ToolbarNeverSaved, 0);
        SetSetting(Settings::ShowTipOfDay, 0);
    }

    void logWarning_data()
    {
        QTest::addColumn<int>("warnDays");
        QTest::addColumn<qint64>("secondsAgo");
        QTest::addColumn<int>("setupRun");
        QTest::addColumn<int>("warnSetting");
        QTest::addColumn<bool>("warned");
        QTest::newRow("6 days 23 hours") << 7 << qint64(7 * 86400 - 3600) << 1 << 1 << false;
        QTest::newRow("exactly 7 days") << 7 << qint64(7 * 86400) << 1 << 1 << true;
        QTest::newRow("30 days") << 7 << qint64(30 * 86400 + 5) << 1 << 1 << true;
        QTest::newRow("setup not run") << 7 << qint64(30 * 86400) << 0 << 1 << false;
        QTest::newRow("warning switched off") << 7 << qint64(30 * 86400) << 1 << 0 << false;
        QTest::newRow("download in the future") << 7 << qint64(-86400) << 1 << 1 << false;
    }

    void logWarning()
    {
        QFETCH(int, warnDays);
        QFETCH(qint64, secondsAgo);
        QFETCH(int, setupRun);
        QFETCH(int, warnSetting);
        QFETCH(bool, warned);
        const QDateTime now(QDate(2026, 3, 5), QTime(9, 4, 3));
        Clock::SetNow(now);
        SetSetting(Settings::WarnDays, warnDays);
        SetSetting(Settings::SetupWizRun, setupRun);
        SetSetting(Settings::WarnDownloadLog, warnSetting);
        SetSettingTime(Settings::LogDownloadTime, now.addSecs(-secondsAgo));
        MainWindowWithEditor window;
        int downloads = 0;
        window.Shell().SetCommandHandler(Cmd::LogDownload, [&] { ++downloads; });
        Prompt::QueueAnswer(Prompt::Yes);
        CCheckQuestionDlg::QueueCheckState(false);
        ZephApplication::LogWarning(window);
        if (!warned) {
            QVERIFY(Prompt::History().isEmpty());
            Prompt::ClearHistory();
            return;
        }
        QCOMPARE(Prompt::History().size(), 1);
        const Prompt::Record record = Prompt::History().first();
        QCOMPARE(record.caption, QStringLiteral("Download log file?"));
        QCOMPARE(record.text,
            QStringLiteral("The zeph.log file hasn't been downloaded and deleted in at least the past %1 "
                           "days.  You should periodically delete this file so it doesn't grow too "
                           "large.  Click on the 'Help' button for more information.\n\nWould you like "
                           "to download the zeph.log file now?")
                .arg(secondsAgo / 86400));
        QCOMPARE(record.checkBoxText, QStringLiteral("Warn me when the log hasn't been downloaded."));
        QVERIFY(record.checkBoxValue);
        QCOMPARE(record.helpTopic, QStringLiteral("log.html"));
        QCOMPARE(record.buttons, Prompt::Yes | Prompt::No | Prompt::Cancel);
        QCOMPARE(downloads, 1);
        QCOMPARE(GetSetting(Settings::WarnDownloadLog), 0);
    }

    // Cancel keeps the setting; No stores the box and downloads nothing.
    void logWarningAnswers()
    {
        Clock::SetNow(QDateTime(QDate(2026, 3, 5), QTime(9, 0)));
        SetSetting(Settings::SetupWizRun, 1);
        SetSettingTime(Settings::LogDownloadTime, QDateTime(QDate(2026, 1, 1), QTime(9, 0)));
        MainWindowWithEditor window;
        int downloads = 0;
        window.Shell().SetCommandHandler(Cmd::LogDownload, [&] { ++downloads; });
        Prompt::QueueAnswer(Prompt::Cancel);
        CCheckQuestionDlg::QueueCheckState(false);
        ZephApplication::LogWarning(window);
        QCOMPARE(GetSetting(Settings::WarnDownloadLog), 1);
        Prompt::QueueAnswer(Prompt::No);
        CCheckQuestionDlg::QueueCheckState(true);
        ZephApplication::LogWarning(window);
        QCOMPARE(GetSetting(Settings::WarnDownloadLog), 1);
        QCOMPARE(downloads, 0);
    }

    void setupFilesWarning_data()
    {
        QTest::addColumn<int>("attempted");
        QTest::addColumn<int>("setupRun");
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("warned");
        QTest::newRow("failed setup left files") << 1 << 0 << 2 << true;
        QTest::newRow("setup succeeded") << 1 << 1 << 2 << false;
        QTest::newRow("never attempted") << 0 << 0 << 2 << false;
        QTest::newRow("nothing uploaded") << 1 << 0 << 0 << false;
    }

    void setupFilesWarning()
    {
        QFETCH(int, attempted);
        QFETCH(int, setupRun);
        QFETCH(int, files);
        QFETCH(bool, warned);
        SetSetting(Settings::SetupWizAttempted, attempted);
        SetSetting(Settings::SetupWizRun, setupRun);
        for (int i = 0; i < files; ++i) {
            CRemoteFileEntry entry;
            entry.remoteName = QStringLiteral("file%1").arg(i);
            CAppState::Instance().RemoteFiles().files.append(entry);
        }
        MainWindowWithEditor window;
        int disables = 0;
        window.Shell().SetCommandHandler(Cmd::DisableProcmail, [&] { ++disables; });
        Prompt::QueueAnswer(Prompt::Yes);
        CCheckQuestionDlg::QueueCheckState(true);
        ZephApplication::SetupFilesWarning(window);
        if (!warned) {
            QVERIFY(Prompt::History().isEmpty());
            Prompt::ClearHistory();
            return;
        }
        const Prompt::Record record = Prompt::History().first();
        QCOMPARE(record.caption, QStringLiteral("Display Disable Procmail dialog?"));
        QVERIFY(record.text.startsWith(
            QStringLiteral("There are 2 files listed as uploaded to the remote host but")));
        QCOMPARE(record.checkBoxText, QStringLiteral("Don't warn me about this again."));
        QVERIFY(!record.checkBoxValue);
        QCOMPARE(record.helpTopic, QStringLiteral("iSetupWizWarning.html"));
        QCOMPARE(GetSetting(Settings::NoSetupFilesWarning), 1);
        // The Disable Procmail dialog comes after start-up, not inside it.
        QCOMPARE(disables, 0);
        QTRY_COMPARE(disables, 1);
    }

    // The start-up steps open the button page and the start files in order and clear first run.
    void startupDocuments()
    {
        const QString a = writeFile(docs() + QStringLiteral("a.txt"), "a\n");
        const QString b = writeFile(docs() + QStringLiteral("b.txt"), "b\n");
        CurrentUserData().SetStringArray(
            QStringLiteral("StartFiles"), { a, docs() + QStringLiteral("gone.txt"), b });
        MainWindowWithEditor window;
        ZephApplication::RunStartupSteps(window, false);
        QCOMPARE(window.ViewManager()->Titles(),
            (QStringList {
                QStringLiteral("Button Page"), QStringLiteral("a.txt"), QStringLiteral("b.txt") }));
        QCOMPARE(window.Documents().ActiveDocument()->Kind(), DocumentKind::ButtonPage);
        QCOMPARE(GetSetting(Settings::FirstRun), 0);
        QVERIFY(Prompt::History().isEmpty());
    }

    // Clearing "Show this page at startup" keeps the page closed at the next start.
    void buttonPageShowAtStartup()
    {
        {
            MainWindowWithEditor window;
            ZephApplication::RunStartupSteps(window, false);
            auto* page = qobject_cast<COpeningFormView*>(window.Documents().ActiveDocument());
            QVERIFY(page);
            page->ShowAtStartup()->setChecked(false);
            QVERIFY(window.Documents().CloseDocument(page));
        }
        QCOMPARE(GetSetting(Settings::ShowButtonPage), 0);
        MainWindowWithEditor window;
        ZephApplication::RunStartupSteps(window, false);
        QVERIFY(window.Documents().List().isEmpty());
    }

    void buttonPage()
    {
        MainWindowWithEditor window;
        auto* page = qobject_cast<COpeningFormView*>(window.Documents().OpenButtonPage());
        QVERIFY(page);
        QCOMPARE(COpeningFormView::Buttons().size(), 12);
        QCOMPARE(page->ButtonFor(COpeningFormView::RemoteFilesFoldersButton)->text(),
            QStringLiteral("Remote Files && Folders"));
        QCOMPARE(page->ButtonFor(COpeningFormView::GetLogButton)->toolTip(),
            QStringLiteral("Download zeph.log from the remote host"));
        // Buttons follow their commands: one that nothing performs is left out; a command hooked
        // in shows and enables its button and is run by it.
        QVERIFY(page->ButtonFor(COpeningFormView::GetLogButton)->isHidden());
        int downloads = 0;
        window.Shell().SetCommandHandler(Cmd::LogDownload, [&] { ++downloads; });
        window.UpdateCommandStates();
        QVERIFY(!page->ButtonFor(COpeningFormView::GetLogButton)->isHidden());
        QVERIFY(page->ButtonFor(COpeningFormView::GetLogButton)->isEnabled());
        page->ButtonFor(COpeningFormView::GetLogButton)->click();
        QCOMPARE(downloads, 1);
        // Save is off while the page is active; opening it again on itself only tells.
        window.UpdateCommandStates();
        QVERIFY(!window.Commands().Action(Cmd::Save)->isEnabled());
        QCOMPARE(window.Documents().OpenButtonPage(), page);
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Button Page already open"));
        window.Documents().NewTextDocument();
        QCOMPARE(window.Documents().OpenButtonPage(), page);
        QCOMPARE(window.Documents().ActiveDocument(), page);
        QCOMPARE(window.Documents().List().size(), 2);
        // The Help button shows the welcome page once, then the page's own topic.
        page->PressHelp();
        QCOMPARE(GetSetting(Settings::HelpButtonOnButtonPageUsed), 1);
    }

    // On a narrow window and on a wide one the buttons keep one width that shows their texts, and
    // sit as a block centred at the top of the page, the check box under them.
    void buttonPageLayout()
    {
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        window.UpdateCommandStates();
        COpeningFormView page(window.Shell());
        int buttonWidth = 0;
        for (const QSize size : { QSize(760, 560), QSize(1900, 1150) }) {
            page.resize(size);
            page.show();
            QVERIFY(QTest::qWaitForWindowExposed(&page));
            page.layout()->activate();
            QRect block;
            for (const COpeningFormView::ButtonInfo& info : COpeningFormView::Buttons()) {
                QToolButton* button = page.ButtonFor(info.control);
                if (button->isHidden())
                    continue;
                QVERIFY2(button->width() >= button->sizeHint().width(), info.text);
                if (buttonWidth == 0)
                    buttonWidth = button->width();
                QCOMPARE(button->width(), buttonWidth);
                block |= button->geometry();
            }
            QVERIFY(buttonWidth < 400);
            QVERIFY(block.left() >= 0);
            QVERIFY(qAbs(block.left() - (page.width() - 1 - block.right())) <= 1);
            QVERIFY2(block.top() <= 40, qPrintable(QString::number(block.top())));
            QVERIFY(page.ShowAtStartup()->y() > block.bottom());
            QVERIFY(qAbs(page.ShowAtStartup()->geometry().center().x() - block.center().x()) <= 1);
        }
    }

    // Two text files and a log give three tabs in opening order; closing the middle one leaves
    // two; a modified text shows " *" on its tab; the bar hides without windows.
    void windowTabs()
    {
        MainWindowWithEditor window;
        window.show();
        window.Shell().RegisterDocumentKind(
            DocumentKind::Log, [](const QString& path, QString*) { return new FakeLogView(path); });
        CDocumentWindow* a
            = window.Documents().OpenFile(writeFile(docs() + QStringLiteral("one.txt"), "1\n"));
        CDocumentWindow* b
            = window.Documents().OpenFile(writeFile(docs() + QStringLiteral("two.txt"), "2\n"));
        window.Documents().OpenFile(writeFile(docs() + QStringLiteral("three.log"), "3\n"));
        CViewManager* tabs = window.ViewManager();
        QVERIFY(tabs->isVisible());
        QCOMPARE(tabs->Titles(),
            (QStringList {
                QStringLiteral("one.txt"), QStringLiteral("two.txt"), QStringLiteral("three.log") }));
        QCOMPARE(tabs->TabBar()->currentIndex(), 2);
        QCOMPARE(
            tabs->TabBar()->tabToolTip(0), QFileInfo(docs() + QStringLiteral("one.txt")).absoluteFilePath());
        QVERIFY(window.Documents().CloseDocument(b));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(tabs->Titles(), (QStringList { QStringLiteral("one.txt"), QStringLiteral("three.log") }));
        window.Documents().ActivateDocument(a);
        modify(a, QStringLiteral("changed"));
        window.UpdateCommandStates();
        QCOMPARE(tabs->Titles().first(), QStringLiteral("one.txt *"));
        QCOMPARE(tabs->TabBar()->currentIndex(), 0);
        // Clicking a tab activates its window.
        emit tabs->TabBar()->tabBarClicked(1);
        QCOMPARE(window.Documents().ActiveDocument()->Kind(), DocumentKind::Log);
        // Hidden by the user, the bar stays hidden; with no windows it hides itself.
        window.Commands().Run(Cmd::WindowTabs);
        QVERIFY(!tabs->isVisible());
        window.Commands().Run(Cmd::WindowTabs);
        QVERIFY(tabs->isVisible());
        a->DiscardChanges();
        window.Commands().Run(Cmd::CloseAllFiles);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.Documents().List().isEmpty());
        QVERIFY(!tabs->isVisible());
    }

    // With twelve windows the Window menu ends with "&Windows..." and lists at most nine windows.
    void windowMenuWithTwelveWindows()
    {
        MainWindowWithEditor window;
        for (int i = 0; i < 12; ++i)
            window.Documents().NewTextDocument();
        QMenu* menu = nullptr;
        for (QAction* popup : window.menuBar()->actions()) {
            if (popup->text() == QLatin1String("&Window"))
                menu = popup->menu();
        }
        QVERIFY(menu);
        emit menu->aboutToShow();
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.last()->text(), QStringLiteral("&Windows..."));
        QVERIFY(items.last()->isEnabled());
        int listed = 0;
        for (QAction* item : items)
            listed += item->text().startsWith(QLatin1Char('&')) && item->text().at(1).isDigit() ? 1 : 0;
        QCOMPARE(listed, 9);
        QCOMPARE(items.count(items.last()), 1);
    }

    // The list sorts without regard to letter case.
    void windowsDialogSortsWithoutCase()
    {
        MainWindowWithEditor window;
        for (const char* name : { "sample.txt", "Unparsed Data1", "Button Page", "apple" })
            window.Documents().NewTextDocument(QString::fromLatin1(name));
        CWindowsDlg dialog(&window);
        QStringList titles;
        for (int row = 0; row < dialog.List()->count(); ++row)
            titles << dialog.List()->item(row)->text();
        QCOMPARE(titles,
            (QStringList { QStringLiteral("apple"), QStringLiteral("Button Page"),
                QStringLiteral("sample.txt"), QStringLiteral("Unparsed Data1") }));
    }

    void windowsDialogButtons()
    {
        MainWindowWithEditor window;
        window.Documents().NewTextDocument();
        window.Documents().NewTextDocument();
        CDocumentWindow* active = window.Documents().NewTextDocument();
        CWindowsDlg dialog(&window);
        QCOMPARE(dialog.List()->count(), 3);
        QCOMPARE(dialog.List()->selectedItems().size(), 1);
        QCOMPARE(dialog.WindowOfRow(dialog.List()->currentRow()), window.Documents().SubWindowOf(active));
        struct Expect
        {
            int selected;
            bool activate, save, cascade;
        };
        for (const Expect& e : { Expect { 0, false, false, false }, Expect { 1, true, true, false },
                 Expect { 2, false, true, true }, Expect { 3, false, true, true } }) {
            QList<QMdiSubWindow*> chosen = window.MdiArea()->subWindowList().mid(0, e.selected);
            dialog.SelectWindows(chosen);
            QCOMPARE(dialog.Button(CWindowsDlg::ActivateButton)->isEnabled(), e.activate);
            QCOMPARE(dialog.Button(CWindowsDlg::SaveButton)->isEnabled(), e.save);
            QCOMPARE(dialog.Button(CWindowsDlg::CloseButton)->isEnabled(), e.save);
            QCOMPARE(dialog.Button(CWindowsDlg::MinimizeButton)->isEnabled(), e.save);
            QCOMPARE(dialog.Button(CWindowsDlg::CascadeButton)->isEnabled(), e.cascade);
            QCOMPARE(dialog.Button(CWindowsDlg::TileHorizontallyButton)->isEnabled(), e.cascade);
            QCOMPARE(dialog.Button(CWindowsDlg::TileVerticallyButton)->isEnabled(), e.cascade);
            QVERIFY(dialog.Button(CWindowsDlg::OkButton)->isEnabled());
        }
    }

    // Two of three selected and "Tile Verticaly": the third is minimised, the two stand side by side.
    void windowsDialogTileVertically()
    {
        MainWindowWithEditor window;
        window.resize(1000, 700);
        window.show();
        QList<CDocumentWindow*> documents;
        for (int i = 0; i < 3; ++i)
            documents << window.Documents().NewTextDocument();
        CWindowsDlg dialog(&window);
        QMdiSubWindow* first = window.Documents().SubWindowOf(documents[0]);
        QMdiSubWindow* second = window.Documents().SubWindowOf(documents[1]);
        QMdiSubWindow* third = window.Documents().SubWindowOf(documents[2]);
        dialog.SelectWindows({ first, second });
        dialog.Arrange(CWindowsDlg::Arrangement::TileVertically);
        QVERIFY(third->isMinimized());
        QVERIFY(!first->isMinimized() && !second->isMinimized());
        QCOMPARE(first->y(), second->y());
        QCOMPARE(first->width(), second->width());
        QVERIFY(qAbs(first->x() - second->x()) >= first->width());
        QCOMPARE(dialog.List()->count(), 3);
    }

    // Three selected, the second has unsaved changes and its question is cancelled: only the
    // third closes.
    void windowsDialogCloseStopsAtCancel()
    {
        MainWindowWithEditor window;
        QList<CDocumentWindow*> documents;
        for (const char* name : { "a.txt", "b.txt", "c.txt" })
            documents << window.Documents().OpenFile(writeFile(docs() + QLatin1String(name), "x\n"));
        modify(documents[1], QStringLiteral("unsaved"));
        window.UpdateCommandStates();
        CWindowsDlg dialog(&window);
        dialog.SelectWindows(window.MdiArea()->subWindowList());
        Prompt::QueueAnswer(Prompt::Cancel);
        dialog.CloseSelected();
        QCOMPARE(Prompt::History().last().text, QStringLiteral("Save changes to b.txt?"));
        QCOMPARE(window.ViewManager()->Titles(),
            (QStringList { QStringLiteral("a.txt"), QStringLiteral("b.txt *") }));
        QCOMPARE(dialog.List()->count(), 2);
    }

    // Exit writes the settings back into the data file, and they are there at the next start.
    void exitWritesSettings()
    {
        CAppState::Instance().LoadIdentityData();
        {
            MainWindowWithEditor window;
            window.resize(777, 555);
            QVERIFY(window.close());
        }
        SetSetting(Settings::WarnDays, 12);
        QVERIFY(CAppState::Instance().SaveAtExit());
        CAppState::Instance().Reset();
        CAppState::Instance().SetIdentity(QStringLiteral("Shell"));
        CAppState::Instance().LoadIdentityData();
        QCOMPARE(GetSetting(Settings::WarnDays), 12);
        QCOMPARE(GetSetting(Settings::MainRight) - GetSetting(Settings::MainLeft), 777);
        QCOMPARE(GetSetting(Settings::MainBottom) - GetSetting(Settings::MainTop), 555);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
