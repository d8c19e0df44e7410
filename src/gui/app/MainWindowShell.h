#pragma once

#include "gui/common/IShell.h"

#include <QHash>

class MainWindow;

// The shell as features see it: each request goes to the part of the main window that does it.
class MainWindowShell : public IShell
{
public:
    explicit MainWindowShell(MainWindow& window);

    void SetCommandHandler(int id, Handler handler, Predicate enabled = {}, Predicate checked = {}) override;
    void SetCommandDisabledTip(int id, const QString& tip) override;
    void DeclareDocumentCommands(DocumentKind kind, const QList<int>& ids) override;
    QAction* CommandAction(int id) const override;
    bool RunCommand(int id) override;
    void UpdateCommandStates() override;

    void RegisterDocumentKind(DocumentKind kind, DocumentFactory factory) override;
    CDocumentWindow* OpenDocument(const QString& path, DocumentKind kind) override;
    CDocumentWindow* OpenFile(const QString& path) override;
    CDocumentWindow* AddDocumentWindow(CDocumentWindow* document) override;
    CDocumentWindow* ActiveDocument() const override;
    CDocumentWindow* FindDocument(const QString& path) const override;
    bool CloseDocument(CDocumentWindow* document) override;
    bool CloseDocumentFor(const QString& path) override;
    void SetRecipeFileOpener(std::function<void(const QString& path)> opener) override;

    void SetRecipeEditor(RecipeEditor editor) override;
    bool CanEditRecipes() const override;
    bool EditRecipe(const QString& name, bool offerList) override;
    void SetReservedRecipeDialog(const QString& name, ReservedRecipeDialog dialog) override;

    void SetMessageTrial(MessageTrial trial) override;
    bool CanTryMessages() const override;
    void TryMessage(const QByteArray& recipeText, QWidget* parent) override;
    void SetLandingExplainer(LandingExplainer explainer) override;
    void ExplainLanding(const LoggedMail& mail, QWidget* parent) override;

    void SetSettingsSheet(SettingsSheet sheet) override;
    int ShowSettingsSheet(const QString& caption, SettingsPage first, bool apply) override;

    void SetTextEditor(TextEditor editor) override;
    CDocumentWindow* NewTextDocument(
        const QString& name = QString(), const QString& text = QString()) override;
    bool GoToRecipe(CDocumentWindow* document, const QString& name) override;

    void SetCustomTransferHandler(CustomTransfer transfer) override;
    void RebuildCustomMenus() override;
    bool PrepareUpload(const QString& localPath, bool whitespaceCheck) override;

    void SetCloseHooks(std::function<bool()> pendingUpload, std::function<void()> disconnect) override;

    QWidget* Window() const override;
    void SetMessageText(const QString& text) override;
    void SetIdleText() override;
    void SetLineColumnText(const QString& text) override;
    QComboBox* RecipeListBox() const override;
    void AddRecentFile(const QString& path) override;

private:
    MainWindow& m_window;
    RecipeEditor m_recipeEditor;
    // Keyed by the name in lower case: recipe names are matched without regard to case here.
    QHash<QString, ReservedRecipeDialog> m_reservedDialogs;
    SettingsSheet m_settingsSheet;
    MessageTrial m_messageTrial;
    LandingExplainer m_landingExplainer;
};
