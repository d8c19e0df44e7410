#include "gui/app/MainWindow.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CustomMenus.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CAboutDlg.h"
#include "gui/app/CCustomToolBar.h"
#include "gui/app/CMdiArea.h"
#include "gui/app/COpeningFormView.h"
#include "gui/app/CTipDlg.h"
#include "gui/app/CToolbarCustomizeDlg.h"
#include "gui/app/CViewManager.h"
#include "gui/app/CWindowsDlg.h"
#include "gui/app/CommandIcons.h"
#include "gui/app/Help.h"
#include "gui/common/FileDialogs.h"
#include "gui/editor/CZEPHView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>
#include <QWidgetAction>

namespace {

MainWindow* s_instance = nullptr;

const char DynamicProperty[] = "zephDynamicItem";
const QString HomePage = QStringLiteral("https://zeph.example.org/");
const QString FeedbackAddress = QStringLiteral("mailto:feedback@zeph.example.org?subject=ZEPH%20Feedback");

// Paths name the same document when they name the same file.
QString normalPath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

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

MainWindow* MainWindow::Instance()
{
    return s_instance;
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    s_instance = this;
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("ZEPH - %1").arg(CAppState::Instance().IdentityName()));
    SetHelpTopic(this, QStringLiteral("intro.html"));

    m_mdiArea = new CMdiArea(this);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::subWindowActivated);

    createActions();
    installFrameCommands();
    createBars();
    createStatusBar();
    restorePlacement();
    rebuildMenus(MenuKind::NoDocument);
    UpdateCommandStates();
}

MainWindow::~MainWindow()
{
    // Views may call back while they are destroyed: they must find no main window by then.
    if (s_instance == this)
        s_instance = nullptr;
    const QList<CDocumentWindow*> documents = findChildren<CDocumentWindow*>();
    for (CDocumentWindow* document : documents)
        document->disconnect(this);
    const QList<QMdiSubWindow*> windows = findChildren<QMdiSubWindow*>();
    for (QMdiSubWindow* window : windows) {
        window->disconnect(this);
        window->removeEventFilter(this);
    }
    for (QMdiSubWindow* window : windows)
        delete window;
}

// --- Commands ------------------------------------------------------------------------------------

void MainWindow::createActions()
{
    for (const CommandInfo& info : CommandTable()) {
        auto* action = new QAction(QString::fromLatin1(info.text), this);
        action->setData(info.id);
        if (info.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
        action->setStatusTip(QString::fromLatin1(info.prompt));
        action->setToolTip(QString::fromLatin1(info.tooltip));
        action->setIconText(QString::fromLatin1(info.tooltip).left(8));
        action->setCheckable(info.checkable);
        action->setIcon(CommandIcon(info.id));
        action->setEnabled(false);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { runAction(id); });
        m_actions.insert(id, action);
        addAction(action);
    }
    // The recipe list of the Text Toolbar is a widget in place of a button.
    m_recipeList = new QComboBox;
    m_recipeList->setObjectName(QStringLiteral("RecipeList"));
    m_recipeList->setToolTip(QStringLiteral("Go to a recipe of the recipe file"));
    m_recipeList->setStatusTip(QStringLiteral("Go to a recipe of the recipe file"));
    auto* listAction = new QWidgetAction(this);
    listAction->setDefaultWidget(m_recipeList);
    listAction->setData(int(Cmd::RecipeList));
    listAction->setText(QStringLiteral("Recipes"));
    delete m_actions.take(Cmd::RecipeList);
    m_actions.insert(Cmd::RecipeList, listAction);

    for (int upload = 0; upload < 2; ++upload) {
        for (int i = 0; i < Cmd::MaxCustomEntries; ++i) {
            const int id = (upload ? Cmd::FirstUpload : Cmd::FirstDownload) + i;
            auto* action = new QAction(this);
            action->setData(id);
            action->setEnabled(false);
            connect(
                action, &QAction::triggered, this, [this, upload, i] { runCustomCommand(upload != 0, i); });
            m_actions.insert(id, action);
            m_customActions.append(action);
        }
    }
    for (int i = 0; i < 8; ++i) {
        auto* action = new QAction(this);
        action->setProperty("recentIndex", i);
        action->setStatusTip(QStringLiteral("Open this document"));
        connect(action, &QAction::triggered, this, [this, i] { chooseRecentFile(i); });
        m_recentActions.append(action);
    }
    RebuildCustomMenus();
}

QAction* MainWindow::CommandAction(int id) const
{
    return m_actions.value(id, nullptr);
}

void MainWindow::SetCommandHandler(int id, Handler handler, Predicate enabled, Predicate checked)
{
    m_hooks.insert(id, CommandHook { std::move(handler), std::move(enabled), std::move(checked) });
    UpdateCommandStates();
}

void MainWindow::RemoveCommandHandler(int id)
{
    m_hooks.remove(id);
    UpdateCommandStates();
}

bool MainWindow::IsCommandEnabled(int id)
{
    if (id >= Cmd::FirstUpload && id <= Cmd::LastDownload)
        return bool(m_customTransfer) && m_actions.value(id)
            && !m_actions.value(id)->property("customName").toString().isEmpty();
    CDocumentWindow* document = ActiveDocument();
    if (document && document->HasCommand(id))
        return document->IsCommandEnabled(id);
    const auto it = m_hooks.constFind(id);
    if (it == m_hooks.constEnd() || !it->handler)
        return false;
    return !it->enabled || it->enabled();
}

bool MainWindow::RunCommand(int id)
{
    if (!IsCommandEnabled(id))
        return false;
    runAction(id);
    return true;
}

void MainWindow::runAction(int id)
{
    if (!IsCommandEnabled(id)) {
        UpdateCommandStates();
        return;
    }
    if (id >= Cmd::FirstUpload && id <= Cmd::LastUpload) {
        runCustomCommand(true, id - Cmd::FirstUpload);
        return;
    }
    if (id >= Cmd::FirstDownload && id <= Cmd::LastDownload) {
        runCustomCommand(false, id - Cmd::FirstDownload);
        return;
    }
    CDocumentWindow* document = ActiveDocument();
    if (document && document->HasCommand(id))
        document->RunCommand(id);
    else if (const auto it = m_hooks.constFind(id); it != m_hooks.constEnd() && it->handler)
        it->handler();
    if (s_instance == this)
        UpdateCommandStates();
}

void MainWindow::UpdateCommandStates()
{
    if (m_updating || m_closing || !m_viewManager)
        return;
    m_updating = true;
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it) {
        QAction* action = it.value();
        const int id = it.key();
        if (id == Cmd::RecipeList)
            continue;
        const bool enabled = IsCommandEnabled(id);
        if (action->isEnabled() != enabled)
            action->setEnabled(enabled);
        if (action->isCheckable()) {
            bool checked = false;
            CDocumentWindow* document = ActiveDocument();
            if (document && document->HasCommand(id))
                checked = document->IsCommandChecked(id);
            else if (const auto hook = m_hooks.constFind(id); hook != m_hooks.constEnd() && hook->checked)
                checked = hook->checked();
            if (action->isChecked() != checked)
                action->setChecked(checked);
        }
    }
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (auto* document = qobject_cast<CDocumentWindow*>(window->widget())) {
            if (window->windowTitle() != document->Title())
                window->setWindowTitle(document->Title());
        }
    }
    m_viewManager->Refresh(m_mdiArea->currentSubWindow());
    const MenuKind kind = kindForActive();
    if (kind != m_menuKind)
        rebuildMenus(kind);
    m_updating = false;
}

void MainWindow::installFrameCommands()
{
    using namespace Cmd;
    auto always = [] { return true; };
    auto hasDocuments = [this] { return !m_mdiArea->subWindowList().isEmpty(); };
    SetCommandHandler(New, [this] { NewTextDocument(); });
    SetCommandHandler(Open, [this] { openFileDialog(); });
    SetCommandHandler(Cmd::OpenButtonPage, [this] { OpenButtonPage(); });
    SetCommandHandler(
        Close,
        [this] {
            if (CDocumentWindow* d = ActiveDocument())
                CloseDocument(d);
        },
        [this] { return ActiveDocument() != nullptr; });
    SetCommandHandler(
        CloseAllFiles, [this] { closeAllFiles(); }, hasDocuments);
    SetCommandHandler(
        SaveAll, [this] { saveAll(); }, hasDocuments);
    SetCommandHandler(Exit, [this] { close(); });
    SetCommandHandler(
        ShowButtonToolbar, [this] { m_buttonToolbar->setVisible(!m_buttonToolbar->isVisible()); }, always,
        [this] { return m_buttonToolbar->isVisibleTo(this); });
    SetCommandHandler(
        AddTextLabels,
        [this] {
            SetSetting(Settings::SmallToolbarButtons, GetSetting(Settings::SmallToolbarButtons) != 0 ? 0 : 1);
            m_buttonToolbar->setToolButtonStyle(GetSetting(Settings::SmallToolbarButtons) != 0
                    ? Qt::ToolButtonIconOnly
                    : Qt::ToolButtonTextUnderIcon);
        },
        always, [] { return GetSetting(Settings::SmallToolbarButtons) == 0; });
    SetCommandHandler(CustomizeButtonToolbar, [this] {
        RebuildCustomMenus();
        CToolbarCustomizeDlg dialog(m_buttonToolbar, this);
        dialog.exec();
    });
    SetCommandHandler(
        ShowTextToolbar, [this] { m_textToolbar->setVisible(!m_textToolbar->isVisible()); }, always,
        [this] { return m_textToolbar->isVisibleTo(this); });
    SetCommandHandler(CustomizeTextToolbar, [this] {
        RebuildCustomMenus();
        CToolbarCustomizeDlg dialog(m_textToolbar, this);
        dialog.exec();
    });
    SetCommandHandler(
        StatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); }, always,
        [this] { return statusBar()->isVisibleTo(this); });
    SetCommandHandler(
        WindowTabs,
        [this] {
            m_viewManager->SetUserVisible(!m_viewManager->UserVisible());
            CRegistry::SetString(QStringLiteral("Settings"), QStringLiteral("Window Tabs"),
                m_viewManager->UserVisible() ? QStringLiteral("1") : QStringLiteral("0"));
        },
        always, [this] { return m_viewManager->UserVisible(); });
    SetCommandHandler(
        Windows, [this] { ShowWindowsDialog(); }, hasDocuments);
    SetCommandHandler(
        Cascade, [this] { m_mdiArea->cascadeSubWindows(); }, hasDocuments);
    SetCommandHandler(
        Tile, [this] { m_mdiArea->tileSubWindows(); }, hasDocuments);
    SetCommandHandler(
        ArrangeIcons,
        [this] {
            // Minimised windows line up along the bottom edge.
            int x = 0;
            const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
            for (QMdiSubWindow* window : windows) {
                if (window->isMinimized()) {
                    window->move(x, m_mdiArea->viewport()->height() - window->height());
                    x += window->width();
                }
            }
        },
        hasDocuments);
    SetCommandHandler(ManuallyEdit, [this] {
        const QString path = Workspace::GetRecipeFilePath();
        if (!path.isEmpty())
            OpenDocument(path, DocumentKind::Text);
    });
    SetCommandHandler(HelpContents, [this] { ShowHelpTopic(this, QStringLiteral("intro.html")); });
    SetCommandHandler(TipOfTheDay, [this] { ShowTipOfTheDay(); });
    SetCommandHandler(VisitWebSite, [] { QDesktopServices::openUrl(QUrl(HomePage)); });
    SetCommandHandler(SendFeedback, [] { QDesktopServices::openUrl(QUrl(FeedbackAddress)); });
    SetCommandHandler(About, [this] { showAbout(); });
    SetCommandHandler(
        RecentFile, [] {}, [] { return false; });
}

// --- Menus ---------------------------------------------------------------------------------------

MenuKind MainWindow::kindForActive() const
{
    CDocumentWindow* document = ActiveDocument();
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

void MainWindow::fillMenu(QMenu* menu, const QList<int>& ids)
{
    for (int id : ids) {
        if (id == 0)
            menu->addSeparator();
        else if (QAction* action = m_actions.value(id))
            menu->addAction(action);
    }
}

void MainWindow::rebuildMenus(MenuKind kind)
{
    m_menuKind = kind;
    QMenuBar* bar = menuBar();
    // Menus are rebuilt from the layout; the actions themselves live on.
    const QList<QAction*> old = bar->actions();
    bar->clear();
    for (QAction* action : old) {
        if (QMenu* menu = action->menu())
            menu->deleteLater();
    }
    const QList<MenuPopup> popups = MenuLayout(kind);
    for (const MenuPopup& popup : popups) {
        QMenu* menu = bar->addMenu(popup.text);
        menu->setToolTipsVisible(false);
        for (const MenuEntry& entry : popup.entries) {
            if (!entry.submenu.isEmpty()) {
                QMenu* sub = menu->addMenu(entry.submenu);
                fillMenu(sub, entry.children);
            } else {
                fillMenu(menu, { entry.id });
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateCommandStates);
        const QList<QAction*> items = menu->actions();
        if (items.contains(m_actions.value(Cmd::RecentFile))) {
            connect(menu, &QMenu::aboutToShow, this,
                [this, menu] { fillRecentFiles(menu, m_actions.value(Cmd::RecentFile)); });
            fillRecentFiles(menu, m_actions.value(Cmd::RecentFile));
        }
        if (items.contains(m_actions.value(Cmd::Windows))) {
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowList(menu); });
            fillWindowList(menu);
        }
        if (!items.isEmpty() && items.first() == m_actions.value(Cmd::CustomizeDownloadMenu))
            appendCustomEntries(menu, false);
        if (!items.isEmpty() && items.first() == m_actions.value(Cmd::CustomizeUploadMenu))
            appendCustomEntries(menu, true);
    }
}

void MainWindow::fillRecentFiles(QMenu* menu, QAction* placeholder)
{
    for (QAction* action : m_recentActions)
        menu->removeAction(action);
    const QStringList files = RecentFiles();
    placeholder->setVisible(files.isEmpty());
    QAction* before = nullptr;
    const QList<QAction*> items = menu->actions();
    const int at = int(items.indexOf(placeholder));
    if (at >= 0 && at + 1 < items.size())
        before = items[at + 1];
    for (int i = 0; i < files.size() && i < m_recentActions.size(); ++i) {
        QString shown = files[i];
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        m_recentActions[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        menu->insertAction(before, m_recentActions[i]);
    }
}

void MainWindow::fillWindowList(QMenu* menu)
{
    const QList<QAction*> items = menu->actions();
    for (QAction* action : items) {
        if (action->property(DynamicProperty).toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    QAction* windowsItem = m_actions.value(Cmd::Windows);
    // The system's list of windows stops at nine; "&Windows..." always closes the menu.
    const QList<QMdiSubWindow*> windows = m_viewManager->Windows();
    for (int i = 0; i < windows.size() && i < 9; ++i) {
        QMdiSubWindow* window = windows[i];
        if (!window)
            continue;
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title), menu);
        action->setProperty(DynamicProperty, true);
        action->setCheckable(true);
        action->setChecked(window == m_mdiArea->currentSubWindow());
        QPointer<QMdiSubWindow> target = window;
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
        menu->insertAction(windowsItem, action);
    }
    if (!windows.isEmpty()) {
        auto* separator = new QAction(menu);
        separator->setSeparator(true);
        separator->setProperty(DynamicProperty, true);
        menu->insertAction(windowsItem, separator);
    }
}

QString MainWindow::customName(bool upload, int index) const
{
    return CustomMenus::StoredEntry(upload, index).menuName;
}

void MainWindow::RebuildCustomMenus()
{
    for (int upload = 0; upload < 2; ++upload) {
        const int entries = std::min(CustomMenus::StoredEntryCount(upload), int(Cmd::MaxCustomEntries));
        bool ended = false;
        for (int i = 0; i < Cmd::MaxCustomEntries; ++i) {
            QAction* action = m_actions.value((upload ? Cmd::FirstUpload : Cmd::FirstDownload) + i);
            const QString name = (i < entries && !ended) ? customName(upload, i) : QString();
            if (name.isEmpty())
                ended = true;
            QString shown = name;
            action->setProperty("customName", name);
            action->setText(shown.replace(QLatin1Char('&'), QLatin1String("&&")));
            action->setIconText(name.isEmpty() ? QString::fromLatin1(upload ? "Send" : "Get") : name);
            action->setStatusTip(QString::fromLatin1(upload ? "Upload " : "Download ") + name);
            action->setToolTip(QString::fromLatin1(upload ? "Send " : "Get ") + name);
        }
    }
    if (menuBar()->actions().size() > 0)
        rebuildMenus(m_menuKind);
    if (m_textToolbar)
        m_textToolbar->Rebuild();
}

void MainWindow::appendCustomEntries(QMenu* menu, bool upload)
{
    for (int i = 0; i < Cmd::MaxCustomEntries; ++i) {
        QAction* action = m_actions.value((upload ? Cmd::FirstUpload : Cmd::FirstDownload) + i);
        if (action->property("customName").toString().isEmpty())
            break;
        menu->addAction(action);
    }
}

void MainWindow::SetCustomTransferHandler(CustomTransfer transfer)
{
    m_customTransfer = std::move(transfer);
    UpdateCommandStates();
}

void MainWindow::runCustomCommand(bool upload, int index)
{
    const CMenuEntry entry = CustomMenus::StoredEntry(upload, index);
    const QString& local = entry.localFile;
    const QString& remote = entry.remoteFile;
    if (local.isEmpty() || remote.isEmpty()) {
        const QString verb = QString::fromLatin1(upload ? "Upload" : "Download");
        Prompt::Tell(
            QStringLiteral(
                "You haven't associated any filenames with this button.  ZEPH doesn't know what file "
                "to %1.  Please select 'Customize menu' from the '%2' menu to specify which file you "
                "would like %3 when this button is selected.")
                .arg(verb, verb, QString::fromLatin1(upload ? "uploaded" : "downloaded")),
            QStringLiteral("No files specified"), Prompt::Information);
        return;
    }
    if (m_customTransfer)
        m_customTransfer(upload, local, remote);
}

bool MainWindow::PrepareUpload(const QString& localPath, bool whitespaceCheck)
{
    CDocumentWindow* document = FindDocument(localPath);
    if (document && document->IsModified()) {
        const Prompt::Button answer = Prompt::Ask(
            QStringLiteral("Do you want to save the changes to %1 before uploading?").arg(localPath),
            QStringLiteral("Save changes?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::Yes);
        if (answer == Prompt::Cancel)
            return false;
        if (answer == Prompt::Yes && !document->Save())
            return false;
    }
    if (!whitespaceCheck)
        return true;
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompt::Tell(QStringLiteral("The file %1 could not be read: %2").arg(localPath, file.errorString()),
            QStringLiteral("Upload"), Prompt::Stop);
        return false;
    }
    long lineNumber = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        ++lineNumber;
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() < 2 || line.startsWith('#') || !(line.endsWith(' ') || line.endsWith('\t')))
            continue;
        while (line.endsWith(' ') || line.endsWith('\t'))
            line.chop(1);
        if (line.endsWith('\\')) {
            Prompt::Tell(
                QStringLiteral(
                    "Line %1 in %2 ends with a '\\' character followed by one or more space or tab "
                    "characters.  Please check it and remove the whitespace character(s), that can "
                    "create unexpected problems.\n\nIf you don't want to see this warning anymore and "
                    "have the files uploaded as they are, select 'Options' from the 'Tools' menu, then "
                    "the 'Misc.' tab.  Uncheck 'Warn about lines ending with a backslash and "
                    "whitespace'.")
                    .arg(lineNumber)
                    .arg(localPath),
                QStringLiteral("Whitespace at end of line!"), Prompt::Warning);
            return false;
        }
    }
    return true;
}

// --- Bars ----------------------------------------------------------------------------------------

void MainWindow::createBars()
{
    auto lookup = [this](int id) { return m_actions.value(id, nullptr); };
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
    connect(m_viewManager, &CViewManager::ActivateRequested, this, [this](QMdiSubWindow* window) {
        if (window->isMinimized())
            window->showNormal();
        m_mdiArea->setActiveSubWindow(window);
    });
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
    const int widthPercent = GetSetting(Settings::ToolbarComboWidth);
    m_recipeList->setFixedWidth(150 * (widthPercent < 10 || widthPercent > 400 ? 100 : widthPercent) / 100);
}

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

QComboBox* MainWindow::RecipeListBox() const
{
    return m_recipeList;
}

QMdiArea* MainWindow::MdiArea() const
{
    return m_mdiArea;
}

void MainWindow::RestoreBarState()
{
    const QByteArray state = QByteArray::fromBase64(
        CRegistry::GetString(QStringLiteral("BarState"), QStringLiteral("State")).toLatin1());
    if (!state.isEmpty())
        restoreState(state);
    m_viewManager->SetUserVisible(m_viewManager->UserVisible());
    UpdateCommandStates();
}

void MainWindow::restorePlacement()
{
    const int left = GetSetting(Settings::MainLeft);
    const int top = GetSetting(Settings::MainTop);
    const int width = qMax(200, GetSetting(Settings::MainRight) - left);
    const int height = qMax(150, GetSetting(Settings::MainBottom) - top);
    QRect available(0, 0, 1024, 768);
    if (QScreen* screen = QApplication::primaryScreen())
        available = screen->availableGeometry();
    const int x = qBound(available.left(), available.left() + left, available.right() - 32);
    const int y = qBound(available.top(), available.top() + top, available.bottom() - 32);
    setGeometry(x, y, width, height);
}

void MainWindow::storePlacement()
{
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    SetSetting(Settings::MainLeft, normal.left());
    SetSetting(Settings::MainTop, normal.top());
    SetSetting(Settings::MainRight, normal.right() + 1);
    SetSetting(Settings::MainBottom, normal.bottom() + 1);
    SetSetting(Settings::MainMinMaxState, isMaximized() ? 3 : isMinimized() ? 2 : 1);
    CRegistry::SetString(
        QStringLiteral("BarState"), QStringLiteral("State"), QString::fromLatin1(saveState().toBase64()));
}

// --- Documents -----------------------------------------------------------------------------------

void MainWindow::RegisterDocumentKind(DocumentKind kind, DocumentFactory factory)
{
    m_factories.insert(int(kind), std::move(factory));
}

CDocumentWindow* MainWindow::ActiveDocument() const
{
    QMdiSubWindow* window = m_mdiArea->currentSubWindow();
    return window ? qobject_cast<CDocumentWindow*>(window->widget()) : nullptr;
}

QList<CDocumentWindow*> MainWindow::Documents() const
{
    QList<CDocumentWindow*> documents;
    const QList<QMdiSubWindow*> windows = m_viewManager->Windows();
    for (QMdiSubWindow* window : windows) {
        if (auto* document = window ? qobject_cast<CDocumentWindow*>(window->widget()) : nullptr)
            documents.append(document);
    }
    return documents;
}

CDocumentWindow* MainWindow::FindDocument(const QString& path) const
{
    if (path.isEmpty())
        return nullptr;
    const QString wanted = normalPath(path);
    const QList<CDocumentWindow*> documents = Documents();
    for (CDocumentWindow* document : documents) {
        if (!document->Path().isEmpty() && normalPath(document->Path()) == wanted)
            return document;
    }
    return nullptr;
}

QMdiSubWindow* MainWindow::SubWindowOf(const CDocumentWindow* document) const
{
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (window->widget() == document)
            return window;
    }
    return nullptr;
}

void MainWindow::ActivateDocument(CDocumentWindow* document)
{
    if (QMdiSubWindow* window = SubWindowOf(document)) {
        if (window->isMinimized())
            window->showNormal();
        m_mdiArea->setActiveSubWindow(window);
    }
}

CDocumentWindow* MainWindow::AddDocumentWindow(CDocumentWindow* document)
{
    const bool first = m_mdiArea->subWindowList().isEmpty();
    QMdiSubWindow* window = m_mdiArea->addSubWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(document->Title());
    window->setWindowIcon(document->Icon());
    window->installEventFilter(this);
    const int left = GetSetting(Settings::ChildLeft);
    const int top = GetSetting(Settings::ChildTop);
    window->setGeometry(left, top, qMax(120, GetSetting(Settings::ChildRight) - left),
        qMax(80, GetSetting(Settings::ChildBottom) - top));
    connect(document, &CDocumentWindow::StateChanged, this, &MainWindow::UpdateCommandStates);
    connect(window, &QObject::destroyed, this, [this, window] {
        if (s_instance == this)
            documentDestroyed(window);
    });
    m_viewManager->AddWindow(window, document);
    QMdiSubWindow* current = m_mdiArea->currentSubWindow();
    const bool maximized = first ? GetSetting(Settings::ChildMinMaxState) == 3
                                 : (current && current != window && current->isMaximized());
    if (maximized)
        window->showMaximized();
    else
        window->show();
    m_mdiArea->setActiveSubWindow(window);
    if (m_mdiArea->currentSubWindow() == window && m_activeDocument != document)
        subWindowActivated(window);
    UpdateCommandStates();
    return document;
}

CDocumentWindow* MainWindow::openTextDocument(const QString& path)
{
    QString error;
    CZEPHView* view = CZEPHView::OpenFile(path, &error);
    if (!view) {
        Prompt::Tell(error, QStringLiteral("ZEPH"), Prompt::Warning);
        return nullptr;
    }
    AddRecentFile(path);
    return AddDocumentWindow(view);
}

CDocumentWindow* MainWindow::OpenDocument(const QString& path, DocumentKind kind)
{
    if (CDocumentWindow* open = FindDocument(path); open && open->Kind() == kind) {
        ActivateDocument(open);
        return open;
    }
    if (kind == DocumentKind::Text)
        return openTextDocument(path);
    const DocumentFactory factory = m_factories.value(int(kind));
    if (!factory)
        return openTextDocument(path);
    QString error;
    CDocumentWindow* document = factory(path, &error);
    if (!document) {
        if (!error.isEmpty())
            Prompt::Tell(error, QStringLiteral("ZEPH"), Prompt::Warning);
        return nullptr;
    }
    AddRecentFile(path);
    return AddDocumentWindow(document);
}

CDocumentWindow* MainWindow::OpenFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("zeph")) {
        if (m_recipeFileOpener) {
            m_recipeFileOpener(path);
        } else {
            Prompt::Tell(
                QStringLiteral(
                    "The file %1 is a recipe data file.  Recipe data files open in the Recipe Wizard, "
                    "which this version of ZEPH does not have yet.")
                    .arg(path),
                QStringLiteral("Recipe data file"), Prompt::Information);
        }
        return nullptr;
    }
    if (suffix == QLatin1String("log") && m_factories.contains(int(DocumentKind::Log)))
        return OpenDocument(path, DocumentKind::Log);
    return OpenDocument(path, DocumentKind::Text);
}

CDocumentWindow* MainWindow::NewTextDocument()
{
    return AddDocumentWindow(CZEPHView::NewDocument(++m_untitledCounter));
}

CDocumentWindow* MainWindow::OpenButtonPage()
{
    CDocumentWindow* active = ActiveDocument();
    if (active && active->Kind() == DocumentKind::ButtonPage) {
        Prompt::Tell(
            QStringLiteral(
                "The button page is already open, it is the page you are currently viewing.  For more "
                "information hit the 'Help' button."),
            QStringLiteral("Button Page already open"), Prompt::Information);
        return active;
    }
    const QList<CDocumentWindow*> documents = Documents();
    for (CDocumentWindow* document : documents) {
        if (document->Kind() == DocumentKind::ButtonPage) {
            ActivateDocument(document);
            return document;
        }
    }
    return AddDocumentWindow(new COpeningFormView);
}

void MainWindow::SetRecipeFileOpener(std::function<void(const QString&)> opener)
{
    m_recipeFileOpener = std::move(opener);
}

bool MainWindow::CloseDocument(CDocumentWindow* document)
{
    QMdiSubWindow* window = SubWindowOf(document);
    if (!window)
        return true;
    QPointer<QMdiSubWindow> guard = window;
    return window->close() || !guard;
}

bool MainWindow::CloseDocumentFor(const QString& path)
{
    CDocumentWindow* document = FindDocument(path);
    if (!document)
        return true;
    if (document->IsModified()) {
        const QString name = QFileInfo(path).fileName();
        const Prompt::Button answer
            = Prompt::Ask(QStringLiteral("The file %1 should be closed for the next operation.  Do you want "
                                         "to save the changes to %2?")
                              .arg(name, name),
                QStringLiteral("Save changes?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
                Prompt::Yes);
        if (answer == Prompt::Cancel)
            return false;
        if (answer == Prompt::Yes && !document->Save())
            return false;
    }
    CloseDocumentWithoutAsking(path);
    return true;
}

void MainWindow::CloseDocumentWithoutAsking(const QString& path)
{
    CDocumentWindow* document = FindDocument(path);
    if (!document)
        return;
    document->DiscardChanges();
    if (QMdiSubWindow* window = SubWindowOf(document)) {
        window->setProperty("zephConfirmedClose", true);
        window->close();
    }
}

bool MainWindow::SaveModifiedDocuments()
{
    const QList<CDocumentWindow*> documents = Documents();
    for (CDocumentWindow* document : documents) {
        if (!document->QueryClose())
            return false;
        if (QMdiSubWindow* window = SubWindowOf(document))
            window->setProperty("zephConfirmedClose", true);
    }
    return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = qobject_cast<QMdiSubWindow*>(watched);
    if (window && event->type() == QEvent::Close) {
        auto* document = qobject_cast<CDocumentWindow*>(window->widget());
        if (document && !window->property("zephConfirmedClose").toBool() && !document->QueryClose()) {
            event->ignore();
            return true;
        }
        window->setProperty("zephConfirmedClose", true);
        if (m_mdiArea->subWindowList().size() == 1) {
            // The last window tells the next first window how to show itself.
            SetSetting(Settings::ChildMinMaxState, window->isMaximized() ? 3 : window->isMinimized() ? 2 : 1);
            if (!window->isMaximized() && !window->isMinimized()) {
                const QRect r = window->geometry();
                SetSetting(Settings::ChildLeft, r.left());
                SetSetting(Settings::ChildTop, r.top());
                SetSetting(Settings::ChildRight, r.right() + 1);
                SetSetting(Settings::ChildBottom, r.bottom() + 1);
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::documentDestroyed(QMdiSubWindow* window)
{
    if (!s_instance)
        return;
    m_viewManager->RemoveWindow(window);
    if (m_mdiArea->subWindowList().isEmpty()) {
        m_activeDocument = nullptr;
        SetLineColumnText(QString());
    }
    UpdateCommandStates();
}

void MainWindow::subWindowActivated(QMdiSubWindow* window)
{
    if (!window)
        return; // the main window lost the focus; the current document stays current
    auto* document = qobject_cast<CDocumentWindow*>(window->widget());
    if (m_activeDocument && m_activeDocument != document)
        m_activeDocument->Deactivated();
    m_activeDocument = document;
    UpdateCommandStates();
    if (document)
        document->Activated();
    if (s_instance == this)
        UpdateCommandStates();
}

void MainWindow::openFileDialog()
{
    const QString path
        = FileDialogs::GetOpenFileName(this, QStringLiteral("Open"), Workspace::GetDocumentFolder(),
            QStringLiteral(
                "All files (*);;ZEPH log files (*.log);;ZEPH recipe files (*.zeph);;Text files (*.txt)"));
    if (!path.isEmpty())
        OpenFile(path);
}

void MainWindow::closeAllFiles()
{
    if (!SaveModifiedDocuments())
        return;
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        window->setProperty("zephConfirmedClose", true);
        window->close();
    }
}

void MainWindow::saveAll()
{
    const QList<CDocumentWindow*> documents = Documents();
    for (CDocumentWindow* document : documents) {
        if (document->IsModified() && !document->Save())
            return;
    }
}

void MainWindow::AddRecentFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > 8)
        files.removeLast();
    CRegistry::SetList(QStringLiteral("Recent File List"), QStringLiteral("Files"), files);
}

QStringList MainWindow::RecentFiles() const
{
    return CRegistry::GetList(QStringLiteral("Recent File List"), QStringLiteral("Files"));
}

void MainWindow::chooseRecentFile(int index)
{
    const QStringList files = RecentFiles();
    if (index < 0 || index >= files.size())
        return;
    if (!QFileInfo::exists(files[index])) {
        Prompt::Tell(QStringLiteral(
                         "The file %1 no longer exists.  It has been removed from the list of recent files.")
                         .arg(files[index]),
            QStringLiteral("ZEPH"), Prompt::Warning);
        QStringList rest = files;
        rest.removeAt(index);
        CRegistry::SetList(QStringLiteral("Recent File List"), QStringLiteral("Files"), rest);
        return;
    }
    OpenFile(files[index]);
}

void MainWindow::showAbout()
{
    CAboutDlg dialog(HomePage, this);
    dialog.exec();
}

void MainWindow::ShowWindowsDialog()
{
    CWindowsDlg dialog(this);
    dialog.exec();
}

void MainWindow::ShowTipOfTheDay()
{
    CTipDlg dialog(this);
    dialog.exec();
}

void MainWindow::SetCloseHooks(std::function<bool()> pendingUpload, std::function<void()> disconnect)
{
    m_pendingUploadHook = std::move(pendingUpload);
    m_disconnectHook = std::move(disconnect);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Edited documents are saved first, so that the upload sends what the user sees.
    if (!SaveModifiedDocuments()) {
        event->ignore();
        return;
    }
    if (m_pendingUploadHook && !m_pendingUploadHook()) {
        event->ignore();
        return;
    }
    storePlacement();
    m_buttonToolbar->SaveLayout();
    m_textToolbar->SaveLayout();
    if (m_disconnectHook)
        m_disconnectHook();
    m_closing = true;
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        window->setProperty("zephConfirmedClose", true);
        window->close();
    }
    event->accept();
}
