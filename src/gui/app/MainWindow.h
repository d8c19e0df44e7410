#pragma once

#include "gui/app/CommandTable.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class CCustomToolBar;
class CMdiArea;
class CViewManager;
class CommandRegistry;
class CustomMenuCommands;
class DocumentRegistry;
class IShell;
class MainMenus;
class QComboBox;
class QLabel;
class QMdiArea;
class RecentFileList;

// The program's main window: the document area, the menu bar, the Button and Text toolbars, the
// window tabs and the status bar. It puts together the parts that do the work (the commands, the
// documents, the custom entries, the recent files, the menus) and keeps their states current.
// Features never see it: they get Shell() (see gui/common/IShell.h).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    IShell& Shell() const { return *m_shell; }
    CommandRegistry& Commands() const { return *m_commands; }
    DocumentRegistry& Documents() const { return *m_documents; }
    CustomMenuCommands& CustomMenus() const { return *m_customMenus; }
    RecentFileList& RecentFiles() const { return *m_recentFiles; }

    // Refreshes enabled and checked states, window titles, tabs and the menu bar of the active
    // document's kind.
    void UpdateCommandStates();
    // After the custom entries changed: their names, the menus and the Text Toolbar.
    void RebuildCustomMenus();
    // pendingUpload: returns false to stop the close; disconnect: ends a remote connection.
    void SetCloseHooks(std::function<bool()> pendingUpload, std::function<void()> disconnect);

    void SetMessageText(const QString& text);
    void SetIdleText();
    void SetLineColumnText(const QString& text);
    QString LineColumnText() const;
    QComboBox* RecipeListBox() const { return m_recipeList; }
    CViewManager* ViewManager() const { return m_viewManager; }
    QMdiArea* MdiArea() const;
    CCustomToolBar* ButtonToolbar() const { return m_buttonToolbar; }
    CCustomToolBar* TextToolbar() const { return m_textToolbar; }
    MenuKind CurrentMenuKind() const;

    // The start-up step after the window is shown: restore the bar layout.
    void RestoreBarState();
    // The Windows dialog, the tip of the day (modal).
    void ShowWindowsDialog();
    void ShowTipOfTheDay();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createBars();
    void createStatusBar();
    MenuKind kindForActive() const;
    void updateRecipeListState();

    std::unique_ptr<IShell> m_shell;
    CMdiArea* m_mdiArea = nullptr;
    CommandRegistry* m_commands = nullptr;
    CustomMenuCommands* m_customMenus = nullptr;
    RecentFileList* m_recentFiles = nullptr;
    DocumentRegistry* m_documents = nullptr;
    MainMenus* m_menus = nullptr;
    CViewManager* m_viewManager = nullptr;
    CCustomToolBar* m_buttonToolbar = nullptr;
    CCustomToolBar* m_textToolbar = nullptr;
    QLabel* m_identityPane = nullptr;
    QLabel* m_lineColumnPane = nullptr;
    QComboBox* m_recipeList = nullptr;
    std::function<bool()> m_pendingUploadHook;
    std::function<void()> m_disconnectHook;
    bool m_ready = false;
    bool m_closing = false;
    bool m_updating = false;
};
