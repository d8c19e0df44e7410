#include "gui/log/LogViewerRegistration.h"

#include "core/common/Prompt.h"
#include "core/log/CLogEntry.h"
#include "core/log/LogText.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"
#include "core/workspace/Workspace.h"
#include "gui/common/COptPropSheet.h"
#include "gui/common/IShell.h"
#include "gui/log/CLogDisplayView.h"
#include "gui/log/COptColorPropPg.h"
#include "gui/log/COptLogPropPg.h"

namespace {

void openRecipeFileAt(IShell& shell, const QString& name)
{
    const QString path = Workspace::GetRecipeFilePath();
    if (path.isEmpty())
        return;
    CDocumentWindow* editor = shell.OpenDocument(path, DocumentKind::Text);
    if (editor && !shell.GoToRecipe(editor, name) && !name.isEmpty())
        Prompt::Tell(QStringLiteral("The recipe named \"%1\" was not found.").arg(name),
            QStringLiteral("Recipe not found"), Prompt::Information);
}

// The view's requests go to the shell as long as both exist: the connections end with either.
void connectView(CLogDisplayView* view, IShell& shell)
{
    QWidget* window = shell.Window();
    IShell* target = &shell;
    QObject::connect(view, &CLogDisplayView::openAsTextRequested, window,
        [target](const QString& path) { target->OpenDocument(path, DocumentKind::Text); });
    QObject::connect(view, &CLogDisplayView::unparsedDataReady, window,
        [target](const QString& title, const QByteArray& text) {
            target->NewTextDocument(title, LogText::Decode(text));
        });
    QObject::connect(view, &CLogDisplayView::manualEditRequested, window,
        [target](const QString& name) { openRecipeFileAt(*target, name); });
    // Without the Recipe Wizard, Edit Recipe opens the recipe file at the recipe instead.
    QObject::connect(view, &CLogDisplayView::editRecipeRequested, window, [target](const QString& name) {
        if (target->CanEditRecipes())
            target->EditRecipe(name, true);
        else
            openRecipeFileAt(*target, name);
    });
    QObject::connect(
        view, &CLogDisplayView::whyLandedRequested, window, [target, view](const QStringList& c) {
            target->ExplainLanding(
                { c.value(CLogEntry::RecipeNameColumn), c.value(CLogEntry::HeaderFromColumn),
                    c.value(CLogEntry::SubjectColumn), c.value(CLogEntry::HeaderToColumn),
                    c.value(CLogEntry::DateColumn), c.value(CLogEntry::EnvelopeSenderColumn),
                    c.value(CLogEntry::FolderColumn), c.value(CLogEntry::SizeColumn) },
                view);
        });
    QObject::connect(view, &CLogDisplayView::entriesTextChanged, window, [target, view](const QString& text) {
        if (target->ActiveDocument() == view)
            target->SetLineColumnText(text);
    });
}

} // namespace

void RegisterLogOptionPages()
{
    // Each page brings every open log list up to date with what it changed.
    COptPropSheet::RegisterPage(
        COptPropSheet::LogFilesPage, QStringLiteral("Log files"), [](QWidget* parent) {
            auto* page = new COptLogPropPg(parent);
            return COptPropSheet::Page { page,
                [page] {
                    const COptLogPropPg::Changes changes = page->Apply();
                    CLogDisplayView::OptionsChanged(
                        changes.gridLinesClicked, changes.columnSizingClicked, false);
                    return true;
                },
                COptLogPropPg::HelpTopic() };
        });
    COptPropSheet::RegisterPage(
        COptPropSheet::LogColorsPage, QStringLiteral("Log colors"), [](QWidget* parent) {
            auto* page = new COptColorPropPg(parent);
            return COptPropSheet::Page { page,
                [page] {
                    CLogDisplayView::OptionsChanged(false, false, page->Apply());
                    return true;
                },
                COptColorPropPg::HelpTopic() };
        });
}

void RegisterLogViewer(IShell& shell)
{
    RegisterLogOptionPages();
    IShell* target = &shell;
    shell.RegisterDocumentKind(
        DocumentKind::Log, [target](const QString& path, QString*) -> CDocumentWindow* {
            if (GetSetting(Settings::LogAlwaysOpenAsText) != 0) {
                target->OpenDocument(path, DocumentKind::Text);
                return nullptr;
            }
            auto* view = new CLogDisplayView;
            connectView(view, *target);
            if (!view->OpenLog(path)) {
                // No entries: the user was asked about opening it as text; no window stays.
                delete view;
                return nullptr;
            }
            return view;
        });
    shell.DeclareDocumentCommands(DocumentKind::Log, CLogDisplayView::Commands());
}
