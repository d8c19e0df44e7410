#pragma once

#include "gui/common/CDocumentWindow.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QComboBox;
class QWidget;

// What a feature may ask of the main window (the shell). Features know the shell only through
// this interface, so that they never include gui/app and the main window never needs to know them.
//
// How a feature plugs in (the text editor, the log viewer and the remote commands do; the Recipe
// Wizard, the procmail tasks and mail are meant to do the same):
//
//   1. The feature's folder has one install function that takes the shell, e.g.
//          void InstallRecipeWizard(IShell& shell);
//      and the application calls it once at start-up (ZephApplication::InstallFeatures, the only
//      place that includes the feature folders). The feature includes gui/common and core only.
//   2. Commands. Every command of gui/common/CommandIds.h exists from the start as a menu item or
//      button, disabled until a feature performs it:
//          shell.SetCommandHandler(Cmd::NewRecipe, [&shell] { ... });     // enabled from now on
//          shell.SetCommandHandler(Cmd::Disconnect, handler, [] { return connected; });
//      Predicates are asked whenever the states are refreshed (UpdateCommandStates()). Commands
//      of a document window (Save, Copy, log commands...) are claimed by the active
//      CDocumentWindow through HasCommand/IsCommandEnabled/RunCommand; they take precedence. A
//      kind of document declares them once (DeclareDocumentCommands). A command that nothing
//      performs is hidden until its feature hooks in; one whose predicate turns it off shows
//      the tip of SetCommandDisabledTip ("Connect first") in place of its tooltip.
//   3. Documents. A view of a new kind registers how it is made from a file:
//          shell.RegisterDocumentKind(DocumentKind::Log, [](const QString& path, QString* error) {
//              return makeLogView(path, error); /* nullptr with *error set when it cannot */ });
//      OpenFile(path) picks the kind by extension; OpenDocument(path, kind) opens one kind;
//      AddDocumentWindow(view) shows a view made elsewhere. A window the shell shows finds the
//      shell in CDocumentWindow::Shell(). Before a local file is rewritten (a download), call
//      CloseDocumentFor(path): it asks to save a modified document and returns false on Cancel.
//      Text goes to the editor through NewTextDocument, OpenDocument(path, DocumentKind::Text)
//      and GoToRecipe; the Recipe Wizard takes ".zeph" files with SetRecipeFileOpener.
//   4a. Recipes by name. The Recipe Wizard registers SetRecipeEditor; the recipe list and the log
//      view call EditRecipe(name, offerList) and learn whether it ended with Finish.
//   4b. Trying a message. The dry-run feature registers SetMessageTrial; Position/Edit and the
//      wizard's last page call TryMessage with the recipe file as they would write it. The log
//      view asks ExplainLanding for a logged mail, which the same feature answers.
//   4. Uploads. PrepareUpload is the save question and whitespace check before any upload; the
//      custom Upload and Download entries run the function of SetCustomTransferHandler.
//   5. Exit. SetCloseHooks: the pending-files upload (may stop the close) and the disconnect, run
//      after the save questions and in that order.
//   6. Dialogs take Window() as their parent; help topics are shown with gui/common/Help.h.
class IShell
{
public:
    virtual ~IShell() = default;

    // --- Commands ---
    using Handler = std::function<void()>;
    using Predicate = std::function<bool()>;
    virtual void SetCommandHandler(int id, Handler handler, Predicate enabled = {}, Predicate checked = {})
        = 0;
    virtual void SetCommandDisabledTip(int id, const QString& tip) = 0;
    virtual void DeclareDocumentCommands(DocumentKind kind, const QList<int>& ids) = 0;
    virtual QAction* CommandAction(int id) const = 0;
    // Runs the command when it is enabled; false otherwise.
    virtual bool RunCommand(int id) = 0;
    // Refreshes enabled and checked states, window titles, tabs and the menu bar.
    virtual void UpdateCommandStates() = 0;

    // --- Documents ---
    using DocumentFactory = std::function<CDocumentWindow*(const QString& path, QString* error)>;
    virtual void RegisterDocumentKind(DocumentKind kind, DocumentFactory factory) = 0;
    // Opens `path` as a document of `kind`, or activates its window when it is open already.
    virtual CDocumentWindow* OpenDocument(const QString& path, DocumentKind kind) = 0;
    virtual CDocumentWindow* OpenFile(const QString& path) = 0;
    virtual CDocumentWindow* AddDocumentWindow(CDocumentWindow* document) = 0;
    virtual CDocumentWindow* ActiveDocument() const = 0;
    virtual CDocumentWindow* FindDocument(const QString& path) const = 0;
    // Asks the document (save question) and closes it; false when the user cancelled.
    virtual bool CloseDocument(CDocumentWindow* document) = 0;
    virtual bool CloseDocumentFor(const QString& path) = 0;
    // Opens a recipe data file (".zeph"); the Recipe Wizard registers itself here.
    virtual void SetRecipeFileOpener(std::function<void(const QString& path)> opener) = 0;

    // --- Recipes by name (the Recipe Wizard hooks in with SetRecipeEditor) ---
    // Opens the wizard, or the dialog of a reserved recipe, on the recipe `name`; offerList: the
    // last page offers to open the recipe list. Returns true when it ended with Finish (or OK).
    using RecipeEditor = std::function<bool(const QString& name, bool offerList)>;
    virtual void SetRecipeEditor(RecipeEditor editor) = 0;
    virtual bool CanEditRecipes() const = 0;
    // False without an editor, and when the user cancelled.
    virtual bool EditRecipe(const QString& name, bool offerList) = 0;
    // The backup and vacation recipes are written by dialogs of their own: EditRecipe on `name`
    // (in any letter case) runs `dialog` instead of the editor. It returns true on OK.
    using ReservedRecipeDialog = std::function<bool()>;
    virtual void SetReservedRecipeDialog(const QString& name, ReservedRecipeDialog dialog) = 0;

    // --- Trying a message (the dry-run feature hooks in with SetMessageTrial) ---
    // Shows "Try a Message" over `parent` for `recipeText`, the recipe file as it would be written.
    using MessageTrial = std::function<void(const QByteArray& recipeText, QWidget* parent)>;
    virtual void SetMessageTrial(MessageTrial trial) = 0;
    // False without the feature: the buttons that offer it are then hidden.
    virtual bool CanTryMessages() const = 0;
    virtual void TryMessage(const QByteArray& recipeText, QWidget* parent) = 0;

    // What the log holds of one mail; "Why did this land here?" starts from it.
    struct LoggedMail
    {
        QString recipe, from, subject, to, date, sender, folder, size;
    };
    using LandingExplainer = std::function<void(const LoggedMail& mail, QWidget* parent)>;
    virtual void SetLandingExplainer(LandingExplainer explainer) = 0;
    virtual void ExplainLanding(const LoggedMail& mail, QWidget* parent) = 0;

    // --- The Settings sheet (the settings feature hooks in with SetSettingsSheet) ---
    enum class SettingsPage { Ftp = 0, Forward = 1, Misc = 2, Procmailrc = 3 };
    // Shows the sheet modally with `caption` on page `first`, with an Apply button when asked;
    // returns the dialog's result (QDialog::Accepted or Rejected).
    using SettingsSheet = std::function<int(const QString& caption, SettingsPage first, bool apply)>;
    virtual void SetSettingsSheet(SettingsSheet sheet) = 0;
    // -1 when no sheet is installed.
    virtual int ShowSettingsSheet(const QString& caption, SettingsPage first, bool apply) = 0;

    // --- Text documents (the editor hooks in with SetTextEditor) ---
    struct TextEditor
    {
        // A document of the file; nullptr with *error set when it cannot be shown.
        std::function<CDocumentWindow*(const QString& path, QString* error)> open;
        // A new document named `name` ("ZEPH<n>" when empty) that holds `text`.
        std::function<CDocumentWindow*(const QString& name, const QString& text)> create;
        // Selects the first line of the recipe `name`; false when the document has none.
        std::function<bool(CDocumentWindow* document, const QString& name)> goToRecipe;
    };
    virtual void SetTextEditor(TextEditor editor) = 0;
    virtual CDocumentWindow* NewTextDocument(const QString& name = QString(), const QString& text = QString())
        = 0;
    // False when `document` is no text document or has no recipe of that name.
    virtual bool GoToRecipe(CDocumentWindow* document, const QString& name) = 0;

    // --- Uploads ---
    using CustomTransfer = std::function<void(bool upload, const QString& local, const QString& remote)>;
    virtual void SetCustomTransferHandler(CustomTransfer transfer) = 0;
    // Rebuild after the custom entries changed (the customise dialogs call this).
    virtual void RebuildCustomMenus() = 0;
    // The checks before an upload: save question for an open modified document, then the
    // whitespace check when asked; true when the upload may go on.
    virtual bool PrepareUpload(const QString& localPath, bool whitespaceCheck) = 0;

    // --- Exit ---
    // pendingUpload: returns false to stop the close; disconnect: ends a remote connection.
    virtual void SetCloseHooks(std::function<bool()> pendingUpload, std::function<void()> disconnect) = 0;

    // --- The window, its status bar and bars ---
    // The parent for dialogs; it is destroyed when the shell goes.
    virtual QWidget* Window() const = 0;
    virtual void SetMessageText(const QString& text) = 0;
    virtual void SetIdleText() = 0;
    // The pane that shows "Ln 1, Col 1" for text and the entry count for logs.
    virtual void SetLineColumnText(const QString& text) = 0;
    // The recipe list of the Text Toolbar; the active recipe file's editor fills it.
    virtual QComboBox* RecipeListBox() const = 0;
    virtual void AddRecentFile(const QString& path) = 0;
};
