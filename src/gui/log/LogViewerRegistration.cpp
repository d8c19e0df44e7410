#include "gui/log/LogViewerRegistration.h"

#include "core/common/Prompt.h"
#include "core/log/LogText.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"
#include "core/workspace/Workspace.h"
#include "gui/app/MainWindow.h"
#include "gui/editor/CZEPHView.h"
#include "gui/log/CLogDisplayView.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

namespace {

void openRecipeFileAt(MainWindow& window, const QString& name)
{
    const QString path = Workspace::GetRecipeFilePath();
    if (path.isEmpty())
        return;
    auto* editor = qobject_cast<CZEPHView*>(window.OpenDocument(path, DocumentKind::Text));
    if (editor && !editor->GoToRecipe(name) && !name.isEmpty())
        Prompt::Tell(QStringLiteral("The recipe named \"%1\" was not found.").arg(name),
            QStringLiteral("Recipe not found"), Prompt::Information);
}

void connectView(CLogDisplayView* view, MainWindow& window)
{
    QPointer<MainWindow> main = &window;
    QObject::connect(view, &CLogDisplayView::openAsTextRequested, &window, [main](const QString& path) {
        if (main)
            main->OpenDocument(path, DocumentKind::Text);
    });
    QObject::connect(view, &CLogDisplayView::unparsedDataReady, &window,
        [main](const QString& title, const QByteArray& text) {
            if (!main)
                return;
            auto* editor = qobject_cast<CZEPHView*>(main->NewTextDocument());
            if (!editor)
                return;
            editor->SetUntitledName(title);
            editor->Editor()->setPlainText(LogText::Decode(text));
            editor->Editor()->moveCursor(QTextCursor::Start);
            editor->Editor()->ensureCursorVisible();
        });
    QObject::connect(view, &CLogDisplayView::manualEditRequested, &window, [main](const QString& name) {
        if (main)
            openRecipeFileAt(*main, name);
    });
    // Until the Recipe Wizard takes recipes by name, Edit Recipe opens the recipe file there.
    QObject::connect(view, &CLogDisplayView::editRecipeRequested, &window, [main](const QString& name) {
        if (main && !CLogDisplayView::HasRecipeEditor())
            openRecipeFileAt(*main, name);
    });
    QObject::connect(view, &CLogDisplayView::entriesTextChanged, &window, [main, view](const QString& text) {
        if (main && main->ActiveDocument() == view)
            main->SetLineColumnText(text);
    });
}

} // namespace

void RegisterLogViewer(MainWindow& window)
{
    window.RegisterDocumentKind(
        DocumentKind::Log, [&window](const QString& path, QString*) -> CDocumentWindow* {
            if (GetSetting(Settings::LogAlwaysOpenAsText) != 0) {
                window.OpenDocument(path, DocumentKind::Text);
                return nullptr;
            }
            auto* view = new CLogDisplayView;
            connectView(view, window);
            if (!view->OpenLog(path)) {
                // No entries: the user was asked about opening it as text; no window stays.
                delete view;
                return nullptr;
            }
            return view;
        });
}
