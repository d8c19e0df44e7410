#include "gui/app/MainWindowShell.h"

#include "gui/app/CommandRegistry.h"
#include "gui/app/CustomMenuCommands.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/RecentFileList.h"
#include "gui/app/UploadCheck.h"

MainWindowShell::MainWindowShell(MainWindow& window)
    : m_window(window)
{
}

void MainWindowShell::SetCommandHandler(int id, Handler handler, Predicate enabled, Predicate checked)
{
    m_window.Commands().SetHandler(id, std::move(handler), std::move(enabled), std::move(checked));
}

void MainWindowShell::SetCommandDisabledTip(int id, const QString& tip)
{
    m_window.Commands().SetDisabledTip(id, tip);
}

void MainWindowShell::DeclareDocumentCommands(DocumentKind kind, const QList<int>& ids)
{
    m_window.Commands().DeclareDocumentCommands(kind, ids);
}

QAction* MainWindowShell::CommandAction(int id) const
{
    return m_window.Commands().Action(id);
}

bool MainWindowShell::RunCommand(int id)
{
    return m_window.Commands().Run(id);
}

void MainWindowShell::UpdateCommandStates()
{
    m_window.UpdateCommandStates();
}

void MainWindowShell::RegisterDocumentKind(DocumentKind kind, DocumentFactory factory)
{
    m_window.Documents().RegisterDocumentKind(kind, std::move(factory));
}

CDocumentWindow* MainWindowShell::OpenDocument(const QString& path, DocumentKind kind)
{
    return m_window.Documents().OpenDocument(path, kind);
}

CDocumentWindow* MainWindowShell::OpenFile(const QString& path)
{
    return m_window.Documents().OpenFile(path);
}

CDocumentWindow* MainWindowShell::AddDocumentWindow(CDocumentWindow* document)
{
    return m_window.Documents().AddDocumentWindow(document);
}

CDocumentWindow* MainWindowShell::ActiveDocument() const
{
    return m_window.Documents().ActiveDocument();
}

CDocumentWindow* MainWindowShell::FindDocument(const QString& path) const
{
    return m_window.Documents().FindDocument(path);
}

bool MainWindowShell::CloseDocument(CDocumentWindow* document)
{
    return m_window.Documents().CloseDocument(document);
}

bool MainWindowShell::CloseDocumentFor(const QString& path)
{
    return m_window.Documents().CloseDocumentFor(path);
}

void MainWindowShell::SetRecipeFileOpener(std::function<void(const QString&)> opener)
{
    m_window.Documents().SetRecipeFileOpener(std::move(opener));
}

void MainWindowShell::SetRecipeEditor(RecipeEditor editor)
{
    m_recipeEditor = std::move(editor);
}

bool MainWindowShell::CanEditRecipes() const
{
    return static_cast<bool>(m_recipeEditor);
}

bool MainWindowShell::EditRecipe(const QString& name, bool offerList)
{
    const auto reserved = m_reservedDialogs.constFind(name.toLower());
    if (reserved != m_reservedDialogs.constEnd())
        return (*reserved)();
    return m_recipeEditor && m_recipeEditor(name, offerList);
}

void MainWindowShell::SetReservedRecipeDialog(const QString& name, ReservedRecipeDialog dialog)
{
    m_reservedDialogs.insert(name.toLower(), std::move(dialog));
}

void MainWindowShell::SetMessageTrial(MessageTrial trial)
{
    m_messageTrial = std::move(trial);
}

bool MainWindowShell::CanTryMessages() const
{
    return static_cast<bool>(m_messageTrial);
}

void MainWindowShell::TryMessage(const QByteArray& recipeText, QWidget* parent)
{
    if (m_messageTrial)
        m_messageTrial(recipeText, parent ? parent : Window());
}

void MainWindowShell::SetLandingExplainer(LandingExplainer explainer)
{
    m_landingExplainer = std::move(explainer);
}

void MainWindowShell::ExplainLanding(const LoggedMail& mail, QWidget* parent)
{
    if (m_landingExplainer)
        m_landingExplainer(mail, parent ? parent : Window());
}

void MainWindowShell::SetSettingsSheet(SettingsSheet sheet)
{
    m_settingsSheet = std::move(sheet);
}

int MainWindowShell::ShowSettingsSheet(const QString& caption, SettingsPage first, bool apply)
{
    return m_settingsSheet ? m_settingsSheet(caption, first, apply) : -1;
}

void MainWindowShell::SetTextEditor(TextEditor editor)
{
    m_window.Documents().SetTextEditor(std::move(editor));
}

CDocumentWindow* MainWindowShell::NewTextDocument(const QString& name, const QString& text)
{
    return m_window.Documents().NewTextDocument(name, text);
}

bool MainWindowShell::GoToRecipe(CDocumentWindow* document, const QString& name)
{
    return m_window.Documents().GoToRecipe(document, name);
}

void MainWindowShell::SetCustomTransferHandler(CustomTransfer transfer)
{
    m_window.CustomMenus().SetTransfer(std::move(transfer));
    m_window.UpdateCommandStates();
}

void MainWindowShell::RebuildCustomMenus()
{
    m_window.RebuildCustomMenus();
}

bool MainWindowShell::PrepareUpload(const QString& localPath, bool whitespaceCheck)
{
    if (!m_window.Documents().SaveBeforeUpload(localPath))
        return false;
    return !whitespaceCheck || CheckUploadWhitespace(localPath);
}

void MainWindowShell::SetCloseHooks(std::function<bool()> pendingUpload, std::function<void()> disconnect)
{
    m_window.SetCloseHooks(std::move(pendingUpload), std::move(disconnect));
}

QWidget* MainWindowShell::Window() const
{
    return &m_window;
}

void MainWindowShell::SetMessageText(const QString& text)
{
    m_window.SetMessageText(text);
}

void MainWindowShell::SetIdleText()
{
    m_window.SetIdleText();
}

void MainWindowShell::SetLineColumnText(const QString& text)
{
    m_window.SetLineColumnText(text);
}

QComboBox* MainWindowShell::RecipeListBox() const
{
    return m_window.RecipeListBox();
}

void MainWindowShell::AddRecentFile(const QString& path)
{
    m_window.RecentFiles().Add(path);
}
