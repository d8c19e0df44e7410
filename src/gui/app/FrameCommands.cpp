#include "gui/app/FrameCommands.h"

#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CAboutDlg.h"
#include "gui/app/CCustomToolBar.h"
#include "gui/app/CToolbarCustomizeDlg.h"
#include "gui/app/CViewManager.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/Help.h"
#include "gui/common/Printing.h"

#include <QDesktopServices>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QUrl>

namespace {

const QString HomePage = QStringLiteral("https://zeph.example.org/");
const QString FeedbackAddress = QStringLiteral("mailto:feedback@zeph.example.org?subject=ZEPH%20Feedback");

void openFileDialog(MainWindow& window)
{
    const QString path
        = FileDialogs::GetOpenFileName(&window, QStringLiteral("Open"), Workspace::GetDocumentFolder(),
            QStringLiteral(
                "All files (*);;ZEPH log files (*.log);;ZEPH recipe files (*.zeph);;Text files (*.txt)"));
    if (!path.isEmpty())
        window.Documents().OpenFile(path);
}

void customizeToolbar(MainWindow& window, CCustomToolBar* toolbar)
{
    window.RebuildCustomMenus();
    CToolbarCustomizeDlg dialog(toolbar, &window);
    dialog.exec();
}

// Minimised windows line up along the bottom edge.
void arrangeIcons(QMdiArea* area)
{
    int x = 0;
    const QList<QMdiSubWindow*> windows = area->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (window->isMinimized()) {
            window->move(x, area->viewport()->height() - window->height());
            x += window->width();
        }
    }
}

} // namespace

void InstallFrameCommands(MainWindow& window)
{
    using namespace Cmd;
    MainWindow* w = &window;
    CommandRegistry& commands = window.Commands();
    DocumentRegistry* documents = &window.Documents();
    CCustomToolBar* buttons = window.ButtonToolbar();
    CCustomToolBar* text = window.TextToolbar();
    QStatusBar* status = window.statusBar();
    CViewManager* tabs = window.ViewManager();
    QMdiArea* area = window.MdiArea();
    auto always = [] { return true; };
    auto hasDocuments = [area] { return !area->subWindowList().isEmpty(); };

    commands.SetHandler(New, [documents] { documents->NewTextDocument(); });
    commands.SetHandler(Open, [w] { openFileDialog(*w); });
    commands.SetHandler(Cmd::OpenButtonPage, [documents] { documents->OpenButtonPage(); });
    commands.SetHandler(
        Close,
        [documents] {
            if (CDocumentWindow* d = documents->ActiveDocument())
                documents->CloseDocument(d);
        },
        [documents] { return documents->ActiveDocument() != nullptr; });
    commands.SetHandler(
        CloseAllFiles,
        [documents] {
            if (documents->SaveModifiedDocuments())
                documents->CloseAllAnswered();
        },
        hasDocuments);
    commands.SetHandler(
        SaveAll, [documents] { documents->SaveAll(); }, hasDocuments);
    commands.SetHandler(Exit, [w] { w->close(); });
    commands.SetHandler(PrintSetup, [w] { Printing::Setup(w); });
    commands.SetHandler(
        ShowButtonToolbar, [buttons] { buttons->setVisible(!buttons->isVisible()); }, always,
        [w, buttons] { return buttons->isVisibleTo(w); });
    commands.SetHandler(
        AddTextLabels,
        [buttons] {
            SetSetting(Settings::SmallToolbarButtons, GetSetting(Settings::SmallToolbarButtons) != 0 ? 0 : 1);
            buttons->setToolButtonStyle(GetSetting(Settings::SmallToolbarButtons) != 0
                    ? Qt::ToolButtonIconOnly
                    : Qt::ToolButtonTextUnderIcon);
        },
        always, [] { return GetSetting(Settings::SmallToolbarButtons) == 0; });
    commands.SetHandler(CustomizeButtonToolbar, [w, buttons] { customizeToolbar(*w, buttons); });
    commands.SetHandler(
        ShowTextToolbar, [text] { text->setVisible(!text->isVisible()); }, always,
        [w, text] { return text->isVisibleTo(w); });
    commands.SetHandler(CustomizeTextToolbar, [w, text] { customizeToolbar(*w, text); });
    commands.SetHandler(
        StatusBar, [status] { status->setVisible(!status->isVisible()); }, always,
        [w, status] { return status->isVisibleTo(w); });
    commands.SetHandler(
        WindowTabs,
        [tabs] {
            tabs->SetUserVisible(!tabs->UserVisible());
            CRegistry::SetString(QStringLiteral("Settings"), QStringLiteral("Window Tabs"),
                tabs->UserVisible() ? QStringLiteral("1") : QStringLiteral("0"));
        },
        always, [tabs] { return tabs->UserVisible(); });
    commands.SetHandler(
        Windows, [w] { w->ShowWindowsDialog(); }, hasDocuments);
    commands.SetHandler(
        Cascade, [area] { area->cascadeSubWindows(); }, hasDocuments);
    commands.SetHandler(
        Tile, [area] { area->tileSubWindows(); }, hasDocuments);
    commands.SetHandler(
        ArrangeIcons, [area] { arrangeIcons(area); }, hasDocuments);
    commands.SetHandler(ManuallyEdit, [documents] {
        const QString path = Workspace::GetRecipeFilePath();
        if (!path.isEmpty())
            documents->OpenDocument(path, DocumentKind::Text);
    });
    commands.SetHandler(HelpContents, [w] { ShowHelpTopic(w, QStringLiteral("intro.html")); });
    commands.SetHandler(TipOfTheDay, [w] { w->ShowTipOfTheDay(); });
    commands.SetHandler(VisitWebSite, [] { QDesktopServices::openUrl(QUrl(HomePage)); });
    commands.SetHandler(SendFeedback, [] { QDesktopServices::openUrl(QUrl(FeedbackAddress)); });
    commands.SetHandler(About, [w] {
        CAboutDlg dialog(HomePage, w);
        dialog.exec();
    });
    // The placeholder of the recent files in the File menu.
    commands.SetHandler(
        RecentFile, [] {}, [] { return false; });
    // The commands that act on the open windows say so while there are none.
    for (int id : { Close, CloseAllFiles, SaveAll, Windows, Cascade, Tile, ArrangeIcons })
        commands.SetDisabledTip(id, QStringLiteral("Open a document first"));
}
