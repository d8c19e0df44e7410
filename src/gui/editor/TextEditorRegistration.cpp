#include "gui/editor/TextEditorRegistration.h"

#include "gui/common/IShell.h"
#include "gui/editor/CZEPHView.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <memory>

void RegisterTextEditor(IShell& shell)
{
    auto untitled = std::make_shared<int>(0);
    IShell::TextEditor editor;
    editor.open = [](const QString& path, QString* error) -> CDocumentWindow* {
        return CZEPHView::OpenFile(path, error);
    };
    editor.create = [untitled](const QString& name, const QString& text) -> CDocumentWindow* {
        CZEPHView* view = CZEPHView::NewDocument(++*untitled);
        if (!name.isEmpty())
            view->SetUntitledName(name);
        if (!text.isEmpty()) {
            view->Editor()->setPlainText(text);
            view->Editor()->moveCursor(QTextCursor::Start);
            view->Editor()->ensureCursorVisible();
        }
        return view;
    };
    editor.goToRecipe = [](CDocumentWindow* document, const QString& name) {
        auto* view = qobject_cast<CZEPHView*>(document);
        return view && view->GoToRecipe(name);
    };
    shell.SetTextEditor(std::move(editor));
    if (QComboBox* list = shell.RecipeListBox())
        CZEPHView::InstallRecipeListMenu(list);
    shell.DeclareDocumentCommands(DocumentKind::Text, CZEPHView::Commands());
}
