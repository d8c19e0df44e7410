#pragma once

#include "gui/app/CDocumentWindow.h"
#include "gui/app/CommandTable.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class CCustomToolBar;
class CMdiArea;
class CViewManager;

// The program's main window: the document area, the menus of the command table, the Button and
// Text toolbars, the status bar and the window tabs.
//
// How other parts of the program hook in (MainWindow::Instance() is the running window):
//
//   Commands. Every command of CommandTable() exists as a QAction from the start, disabled until
//   someone performs it. A feature connects its handler with
//       SetCommandHandler(Cmd::FtpDialog, [] { ... });              // enabled from now on
//       SetCommandHandler(Cmd::Disconnect, handler, [] { return connected; });
//   The predicates are asked whenever the command states are refreshed (UpdateCommandStates()).
//   Commands of a document window (Save, Copy, log commands...) are claimed by the active
//   CDocumentWindow through HasCommand/IsCommandEnabled/RunCommand; they take precedence.
//
//   Documents. A view of another kind registers how it is made:
//       RegisterDocumentKind(DocumentKind::Log, [](const QString& path, QString* error) {
//           return new CLogDisplayView(path); /* or nullptr with *error set */ });
//   OpenFile(path) then picks the kind by extension (".log" → Log when registered, else text,
//   ".zeph" → the recipe-file opener); OpenDocument(path, kind) opens one kind directly;
//   AddDocumentWindow(view) shows a view made elsewhere. Before rewriting a local file, call
//   CloseDocumentFor(path): it asks to save a modified document and returns false on Cancel.
//
//   Custom Upload/Download entries run SetCustomTransferHandler's function; closing the main
//   window runs the hooks of SetCloseHooks (pending-files upload, disconnect).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    static MainWindow* Instance();

    // --- Commands ---
    using Handler = std::function<void()>;
    using Predicate = std::function<bool()>;
    void SetCommandHandler(int id, Handler handler, Predicate enabled = {}, Predicate checked = {});
    void RemoveCommandHandler(int id);
    QAction* CommandAction(int id) const;
    bool IsCommandEnabled(int id);
    // Runs the command when it is enabled; false otherwise.
    bool RunCommand(int id);
    // Refreshes enabled and checked states, tab titles and the status panes.
    void UpdateCommandStates();

    // --- Documents ---
    using DocumentFactory = std::function<CDocumentWindow*(const QString& path, QString* error)>;
    void RegisterDocumentKind(DocumentKind kind, DocumentFactory factory);
    // Opens `path` as a document of `kind`, or activates its window when it is open already.
    CDocumentWindow* OpenDocument(const QString& path, DocumentKind kind);
    CDocumentWindow* OpenFile(const QString& path);
    CDocumentWindow* NewTextDocument();
    CDocumentWindow* OpenButtonPage();
    CDocumentWindow* AddDocumentWindow(CDocumentWindow* window);
    CDocumentWindow* ActiveDocument() const;
    QList<CDocumentWindow*> Documents() const;
    CDocumentWindow* FindDocument(const QString& path) const;
    QMdiSubWindow* SubWindowOf(const CDocumentWindow* document) const;
    void ActivateDocument(CDocumentWindow* document);
    // Asks the document (save question) and closes it; false when the user cancelled.
    bool CloseDocument(CDocumentWindow* document);
    bool CloseDocumentFor(const QString& path);
    void CloseDocumentWithoutAsking(const QString& path);
    // Asks about every modified document; false when one answer was Cancel or a save failed.
    bool SaveModifiedDocuments();
    // Opens a recipe data file (".zeph"); the Recipe Wizard registers itself here.
    void SetRecipeFileOpener(std::function<void(const QString& path)> opener);

    // --- Custom menus ---
    using CustomTransfer = std::function<void(bool upload, const QString& local, const QString& remote)>;
    void SetCustomTransferHandler(CustomTransfer transfer);
    // Rebuild after the entries changed (the customise dialogs call this).
    void RebuildCustomMenus();
    // The checks before an upload: save question for an open modified document, then the
    // whitespace check when asked; true when the upload may go on.
    bool PrepareUpload(const QString& localPath, bool whitespaceCheck);

    // --- Exit ---
    // pendingUpload: returns false to stop the close; disconnect: ends a remote connection.
    void SetCloseHooks(std::function<bool()> pendingUpload, std::function<void()> disconnect);

    // --- Status bar, bars, recent files ---
    void SetMessageText(const QString& text);
    void SetIdleText();
    // The pane that shows "Ln 1, Col 1" for text and the entry count for logs.
    void SetLineColumnText(const QString& text);
    QString LineColumnText() const;
    void AddRecentFile(const QString& path);
    QStringList RecentFiles() const;
    QComboBox* RecipeListBox() const;
    CViewManager* ViewManager() const { return m_viewManager; }
    QMdiArea* MdiArea() const;
    CCustomToolBar* ButtonToolbar() const { return m_buttonToolbar; }
    CCustomToolBar* TextToolbar() const { return m_textToolbar; }
    MenuKind CurrentMenuKind() const { return m_menuKind; }

    // The start-up steps after the window is shown: restore the bar layout.
    void RestoreBarState();
    // The Windows dialog, the tip of the day (modal).
    void ShowWindowsDialog();
    void ShowTipOfTheDay();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct CommandHook
    {
        Handler handler;
        Predicate enabled;
        Predicate checked;
    };

    void createActions();
    void createBars();
    void createStatusBar();
    void installFrameCommands();
    void rebuildMenus(MenuKind kind);
    void fillMenu(QMenu* menu, const QList<int>& ids);
    void fillRecentFiles(QMenu* menu, QAction* before);
    void fillWindowList(QMenu* menu);
    void appendCustomEntries(QMenu* menu, bool upload);
    void runAction(int id);
    void runCustomCommand(bool upload, int index);
    void subWindowActivated(QMdiSubWindow* window);
    void documentDestroyed(QMdiSubWindow* window);
    MenuKind kindForActive() const;
    void restorePlacement();
    void storePlacement();
    void openFileDialog();
    void closeAllFiles();
    void saveAll();
    void showAbout();
    void chooseRecentFile(int index);
    CDocumentWindow* openTextDocument(const QString& path);
    QString customName(bool upload, int index) const;

    QHash<int, QAction*> m_actions;
    QHash<int, CommandHook> m_hooks;
    QHash<int, DocumentFactory> m_factories;
    QList<QAction*> m_customActions;
    QList<QAction*> m_recentActions;
    CMdiArea* m_mdiArea = nullptr;
    CViewManager* m_viewManager = nullptr;
    CCustomToolBar* m_buttonToolbar = nullptr;
    CCustomToolBar* m_textToolbar = nullptr;
    QLabel* m_identityPane = nullptr;
    QLabel* m_lineColumnPane = nullptr;
    QComboBox* m_recipeList = nullptr;
    QPointer<CDocumentWindow> m_activeDocument;
    MenuKind m_menuKind = MenuKind::NoDocument;
    std::function<void(const QString&)> m_recipeFileOpener;
    CustomTransfer m_customTransfer;
    std::function<bool()> m_pendingUploadHook;
    std::function<void()> m_disconnectHook;
    int m_untitledCounter = 0;
    bool m_closing = false;
    bool m_updating = false;
};
