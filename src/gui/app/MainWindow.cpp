#include "gui/app/MainWindow.h"

#include "core/common/Clock.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"
#include "gui/app/CCustomToolBar.h"
#include "gui/app/CMdiArea.h"
#include "gui/app/CTipDlg.h"
#include "gui/app/CViewManager.h"
#include "gui/app/CWindowsDlg.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/CustomMenuCommands.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/FrameCommands.h"
#include "gui/app/MainMenus.h"
#include "gui/app/MainWindowShell.h"
#include "gui/app/RecentFileList.h"
#include "gui/app/WindowPlacement.h"
#include "gui/common/Help.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QWidgetAction>

namespace {

QList<int> defaultButtonToolbar()
{
    return { Cmd::New, Cmd::Open, Cmd::Save, 0, Cmd::Cut, Cmd::Copy, Cmd::Paste, 0, Cmd::NewRecipe,
        Cmd::PositionEdit, 0, Cmd::LogDownload, Cmd::PendingFiles, 0, Cmd::HelpContents };
}

QList<int> defaultTextToolbar()
{
    return { Cmd::RecipeList, 0, Cmd::FirstDownload, 0, Cmd::FirstUpload };
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_shell(std::make_unique<MainWindowShell>(*this))
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("ZEPH - %1").arg(CAppState::Instance().IdentityName()));
    SetHelpTopic(this, QStringLiteral("intro.html"));

    m_mdiArea = new CMdiArea(this);
    setCentralWidget(m_mdiArea);
    m_commands
        = new CommandRegistry(this, [this] { return m_documents ? m_documents->ActiveDocument() : nullptr; });
    m_customMenus = new CustomMenuCommands(*m_commands, this);
    m_recentFiles = new RecentFileList([this](const QString& path) { m_documents->OpenFile(path); }, this);
    createBars();
    m_documents = new DocumentRegistry(m_mdiArea, m_viewManager, *m_recentFiles, *m_shell, this);
    m_menus = new MainMenus(
        menuBar(), *m_commands, *m_recentFiles, *m_customMenus, m_viewManager, m_mdiArea, this);
    InstallFrameCommands(*this);
    createStatusBar();
    WindowPlacement::RestoreMainWindow(this);
    m_menus->Build(MenuKind::NoDocument);

    connect(m_commands, &CommandRegistry::Changed, this, &MainWindow::UpdateCommandStates);
    connect(m_documents, &DocumentRegistry::Changed, this, &MainWindow::UpdateCommandStates);
    connect(m_menus, &MainMenus::AboutToShow, this, &MainWindow::UpdateCommandStates);
    m_ready = true;
    UpdateCommandStates();
    SetHelpCommandTest([this](int id) { return m_commands->IsPerformed(id); });
}

MainWindow::~MainWindow()
{
    // The parts outlive this class by a little (they are children of the widget): they must not
    // call back into it.
    m_closing = true;
    SetHelpCommandTest({});
    m_commands->disconnect(this);
    m_documents->disconnect(this);
    m_menus->disconnect(this);
    m_documents->DeleteAll();
}

void MainWindow::UpdateCommandStates()
{
    if (!m_ready || m_updating || m_closing)
        return;
    m_updating = true;
    m_commands->UpdateStates();
    m_documents->RefreshTitles();
    m_viewManager->Refresh(m_mdiArea->currentSubWindow());
    const MenuKind kind = kindForActive();
    if (kind != m_menus->Kind())
        m_menus->Build(kind);
    m_menus->RefreshSubmenus();
    updateRecipeListState();
    m_updating = false;
}

MenuKind MainWindow::kindForActive() const
{
    CDocumentWindow* document = m_documents->ActiveDocument();
    if (!document)
        return MenuKind::NoDocument;
    switch (document->Kind()) {
    case DocumentKind::Text:
        return MenuKind::Text;
    case DocumentKind::Log:
        return MenuKind::Log;
    case DocumentKind::ButtonPage:
        return MenuKind::ButtonPage;
    }
    return MenuKind::NoDocument;
}

MenuKind MainWindow::CurrentMenuKind() const
{
    return m_menus->Kind();
}

void MainWindow::RebuildCustomMenus()
{
    m_customMenus->Reload();
    m_menus->Rebuild();
    m_textToolbar->Rebuild();
}

// --- Bars ----------------------------------------------------------------------------------------

void MainWindow::createBars()
{
    // The recipe list of the Text Toolbar is a widget in place of a button.
    m_recipeList = new QComboBox;
    m_recipeList->setObjectName(QStringLiteral("RecipeList"));
    m_recipeList->setToolTip(QStringLiteral("Go to a recipe of the recipe file"));
    m_recipeList->setStatusTip(QStringLiteral("Go to a recipe of the recipe file"));
    // The editor fills and clears the list as recipe files come and go.
    const auto listChanged = [this] {
        if (m_ready && !m_closing)
            updateRecipeListState();
    };
    connect(m_recipeList->model(), &QAbstractItemModel::rowsInserted, this, listChanged);
    connect(m_recipeList->model(), &QAbstractItemModel::rowsRemoved, this, listChanged);
    connect(m_recipeList->model(), &QAbstractItemModel::modelReset, this, listChanged);
    auto* listAction = new QWidgetAction(this);
    listAction->setDefaultWidget(m_recipeList);
    listAction->setData(int(Cmd::RecipeList));
    listAction->setText(QStringLiteral("Recipes"));
    m_commands->SetAction(Cmd::RecipeList, listAction);

    auto lookup = [this](int id) { return m_commands->Action(id); };
    m_buttonToolbar
        = new CCustomToolBar(QStringLiteral("Toolbar"), QStringLiteral("Button Toolbar"), lookup, this);
    m_textToolbar
        = new CCustomToolBar(QStringLiteral("Text Toolbar"), QStringLiteral("Text Toolbar"), lookup, this);
    m_buttonToolbar->setIconSize(QSize(16, 15));
    m_textToolbar->setIconSize(QSize(16, 15));
    m_textToolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_buttonToolbar->setToolButtonStyle(GetSetting(Settings::SmallToolbarButtons) != 0
            ? Qt::ToolButtonIconOnly
            : Qt::ToolButtonTextUnderIcon);
    m_buttonToolbar->SetAvailable(defaultButtonToolbar());
    QList<int> textAvailable { Cmd::RecipeList };
    for (int i = 0; i < Cmd::MaxCustomEntries; ++i)
        textAvailable << Cmd::FirstDownload + i;
    for (int i = 0; i < Cmd::MaxCustomEntries; ++i)
        textAvailable << Cmd::FirstUpload + i;
    m_textToolbar->SetAvailable(textAvailable);
    addToolBar(Qt::TopToolBarArea, m_buttonToolbar);
    addToolBar(Qt::TopToolBarArea, m_textToolbar);
    addToolBarBreak(Qt::TopToolBarArea);
    m_viewManager = new CViewManager(this);
    addToolBar(Qt::TopToolBarArea, m_viewManager);
    m_viewManager->SetUserVisible(
        CRegistry::GetString(QStringLiteral("Settings"), QStringLiteral("Window Tabs"), QStringLiteral("1"))
        != QStringLiteral("0"));

    m_buttonToolbar->SetLayout(defaultButtonToolbar());
    m_textToolbar->SetLayout(defaultTextToolbar());
    if (GetSetting(Settings::ToolbarNeverSaved) != 0) {
        m_buttonToolbar->SaveLayout();
        m_textToolbar->SaveLayout();
        SetSetting(Settings::ToolbarNeverSaved, 0);
        // A new identity gets no log warning at once.
        SetSettingTime(Settings::LogDownloadTime, Clock::Now());
    } else {
        m_buttonToolbar->RestoreLayout();
        m_textToolbar->RestoreLayout();
    }
}

void MainWindow::RestoreBarState()
{
    WindowPlacement::RestoreBarState(this);
    m_viewManager->SetUserVisible(m_viewManager->UserVisible());
    UpdateCommandStates();
}

void MainWindow::updateRecipeListState()
{
    // The list shows the recipes of the recipe file in the active editor; empty, it says why.
    const bool filled = m_recipeList->count() > 0;
    m_recipeList->setEnabled(filled);
    CDocumentWindow* document = m_documents->ActiveDocument();
    const bool recipeFile = document && document->Path().endsWith(QLatin1String(".recipes"));
    m_recipeList->setToolTip(filled ? QStringLiteral("Go to a recipe of the recipe file")
            : recipeFile            ? QStringLiteral("The recipe file has no recipes yet")
                                    : QStringLiteral("Open a recipe file first"));
}

// --- Status bar ----------------------------------------------------------------------------------

void MainWindow::createStatusBar()
{
    QStatusBar* bar = statusBar();
    m_identityPane = new QLabel(CAppState::Instance().IdentityName().left(25), bar);
    m_identityPane->setObjectName(QStringLiteral("IdentityPane"));
    m_lineColumnPane = new QLabel(bar);
    m_lineColumnPane->setObjectName(QStringLiteral("LineColumnPane"));
    m_lineColumnPane->setMinimumWidth(
        m_lineColumnPane->fontMetrics().horizontalAdvance(QStringLiteral("Ln 9999, Col 999")) + 8);
    bar->addPermanentWidget(m_identityPane);
    bar->addPermanentWidget(m_lineColumnPane);
    SetIdleText();
}

void MainWindow::SetMessageText(const QString& text)
{
    statusBar()->showMessage(text);
}

void MainWindow::SetIdleText()
{
    statusBar()->showMessage(QStringLiteral("Ready"));
}

void MainWindow::SetLineColumnText(const QString& text)
{
    m_lineColumnPane->setText(text);
}

QString MainWindow::LineColumnText() const
{
    return m_lineColumnPane->text();
}

QMdiArea* MainWindow::MdiArea() const
{
    return m_mdiArea;
}

// --- Dialogs -------------------------------------------------------------------------------------

void MainWindow::ShowWindowsDialog()
{
    CWindowsDlg dialog(this);
    dialog.exec();
}

void MainWindow::ShowTipOfTheDay()
{
    CTipDlg dialog(this, [this](int id) { return m_commands->IsPerformed(id); });
    dialog.exec();
}

// --- Exit ----------------------------------------------------------------------------------------

void MainWindow::SetCloseHooks(std::function<bool()> pendingUpload, std::function<void()> disconnect)
{
    m_pendingUploadHook = std::move(pendingUpload);
    m_disconnectHook = std::move(disconnect);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Edited documents are saved first, so that the upload sends what the user sees.
    if (!m_documents->SaveModifiedDocuments()) {
        event->ignore();
        return;
    }
    if (m_pendingUploadHook && !m_pendingUploadHook()) {
        event->ignore();
        return;
    }
    WindowPlacement::StoreMainWindow(this);
    m_buttonToolbar->SaveLayout();
    m_textToolbar->SaveLayout();
    if (m_disconnectHook)
        m_disconnectHook();
    m_closing = true;
    m_documents->CloseAllAnswered();
    event->accept();
}
