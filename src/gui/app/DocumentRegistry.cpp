#include "gui/app/DocumentRegistry.h"

#include "core/common/Prompt.h"
#include "gui/app/CMdiArea.h"
#include "gui/app/COpeningFormView.h"
#include "gui/app/CViewManager.h"
#include "gui/app/RecentFileList.h"
#include "gui/app/WindowPlacement.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>

namespace {

// Set on a sub-window whose document has answered its save question (or needs none).
const char ConfirmedClose[] = "zephConfirmedClose";

// Paths name the same document when they name the same file.
QString normalPath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

DocumentRegistry::DocumentRegistry(
    CMdiArea* area, CViewManager* tabs, RecentFileList& recent, IShell& shell, QObject* parent)
    : QObject(parent)
    , m_area(area)
    , m_tabs(tabs)
    , m_recent(recent)
    , m_shell(shell)
{
    connect(m_area, &QMdiArea::subWindowActivated, this, &DocumentRegistry::subWindowActivated);
    connect(m_tabs, &CViewManager::ActivateRequested, this, [this](QMdiSubWindow* window) {
        if (window->isMinimized())
            window->showNormal();
        m_area->setActiveSubWindow(window);
    });
}

void DocumentRegistry::RegisterDocumentKind(DocumentKind kind, IShell::DocumentFactory factory)
{
    m_factories.insert(int(kind), std::move(factory));
}

void DocumentRegistry::SetTextEditor(IShell::TextEditor editor)
{
    m_textEditor = std::move(editor);
}

void DocumentRegistry::SetRecipeFileOpener(std::function<void(const QString&)> opener)
{
    m_recipeFileOpener = std::move(opener);
}

// --- Opening -------------------------------------------------------------------------------------

CDocumentWindow* DocumentRegistry::AddDocumentWindow(CDocumentWindow* document)
{
    const bool first = m_area->subWindowList().isEmpty();
    document->SetShell(&m_shell);
    QMdiSubWindow* window = m_area->addSubWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(document->Title());
    window->setWindowIcon(document->Icon());
    window->installEventFilter(this);
    connect(document, &CDocumentWindow::StateChanged, this, &DocumentRegistry::Changed);
    connect(window, &QObject::destroyed, this, [this, window] { subWindowDestroyed(window); });
    m_tabs->AddWindow(window, document);
    WindowPlacement::ShowDocumentWindow(window, first, m_area->currentSubWindow());
    m_area->setActiveSubWindow(window);
    if (m_area->currentSubWindow() == window && m_activeDocument != document)
        subWindowActivated(window);
    emit Changed();
    return document;
}

CDocumentWindow* DocumentRegistry::openText(const QString& path)
{
    if (!m_textEditor.open)
        return nullptr;
    QString error;
    CDocumentWindow* view = m_textEditor.open(path, &error);
    if (!view) {
        Prompt::Tell(error, QStringLiteral("ZEPH"), Prompt::Warning);
        return nullptr;
    }
    m_recent.Add(path);
    return AddDocumentWindow(view);
}

CDocumentWindow* DocumentRegistry::OpenDocument(const QString& path, DocumentKind kind)
{
    if (CDocumentWindow* open = FindDocument(path); open && open->Kind() == kind) {
        ActivateDocument(open);
        return open;
    }
    if (kind == DocumentKind::Text)
        return openText(path);
    const IShell::DocumentFactory factory = m_factories.value(int(kind));
    if (!factory)
        return openText(path);
    QString error;
    CDocumentWindow* document = factory(path, &error);
    if (!document) {
        if (!error.isEmpty())
            Prompt::Tell(error, QStringLiteral("ZEPH"), Prompt::Warning);
        return nullptr;
    }
    m_recent.Add(path);
    return AddDocumentWindow(document);
}

CDocumentWindow* DocumentRegistry::OpenFile(const QString& path)
{
    // A recipe data file (".zeph", in this letter case) opens in the Recipe Wizard, never as text:
    // it is not meant to be edited by hand. A log is ".log" in any case.
    if (path.endsWith(QLatin1String(".zeph"))) {
        if (m_recipeFileOpener)
            m_recipeFileOpener(path);
        else
            Prompt::Tell(QStringLiteral("The file %1 is a recipe data file.  Recipe data files open only in "
                                        "the Recipe Wizard.")
                             .arg(path),
                QStringLiteral("Recipe data file"), Prompt::Information);
        return nullptr;
    }
    if (QFileInfo(path).suffix().compare(QLatin1String("log"), Qt::CaseInsensitive) == 0
        && m_factories.contains(int(DocumentKind::Log)))
        return OpenDocument(path, DocumentKind::Log);
    return OpenDocument(path, DocumentKind::Text);
}

CDocumentWindow* DocumentRegistry::NewTextDocument(const QString& name, const QString& text)
{
    CDocumentWindow* document = m_textEditor.create ? m_textEditor.create(name, text) : nullptr;
    return document ? AddDocumentWindow(document) : nullptr;
}

bool DocumentRegistry::GoToRecipe(CDocumentWindow* document, const QString& name)
{
    return document && m_textEditor.goToRecipe && m_textEditor.goToRecipe(document, name);
}

CDocumentWindow* DocumentRegistry::OpenButtonPage()
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
    const QList<CDocumentWindow*> documents = List();
    for (CDocumentWindow* document : documents) {
        if (document->Kind() == DocumentKind::ButtonPage) {
            ActivateDocument(document);
            return document;
        }
    }
    return AddDocumentWindow(new COpeningFormView(m_shell));
}

// --- Finding -------------------------------------------------------------------------------------

CDocumentWindow* DocumentRegistry::ActiveDocument() const
{
    QMdiSubWindow* window = m_area->currentSubWindow();
    return window ? qobject_cast<CDocumentWindow*>(window->widget()) : nullptr;
}

QList<CDocumentWindow*> DocumentRegistry::List() const
{
    QList<CDocumentWindow*> documents;
    const QList<QMdiSubWindow*> windows = m_tabs->Windows();
    for (QMdiSubWindow* window : windows) {
        if (auto* document = window ? qobject_cast<CDocumentWindow*>(window->widget()) : nullptr)
            documents.append(document);
    }
    return documents;
}

CDocumentWindow* DocumentRegistry::FindDocument(const QString& path) const
{
    if (path.isEmpty())
        return nullptr;
    const QString wanted = normalPath(path);
    const QList<CDocumentWindow*> documents = List();
    for (CDocumentWindow* document : documents) {
        if (!document->Path().isEmpty() && normalPath(document->Path()) == wanted)
            return document;
    }
    return nullptr;
}

QMdiSubWindow* DocumentRegistry::SubWindowOf(const CDocumentWindow* document) const
{
    const QList<QMdiSubWindow*> windows = m_area->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (window->widget() == document)
            return window;
    }
    return nullptr;
}

void DocumentRegistry::ActivateDocument(CDocumentWindow* document)
{
    if (QMdiSubWindow* window = SubWindowOf(document)) {
        if (window->isMinimized())
            window->showNormal();
        m_area->setActiveSubWindow(window);
    }
}

void DocumentRegistry::RefreshTitles()
{
    const QList<QMdiSubWindow*> windows = m_area->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (auto* document = qobject_cast<CDocumentWindow*>(window->widget())) {
            if (window->windowTitle() != document->Title())
                window->setWindowTitle(document->Title());
        }
    }
}

// --- Closing -------------------------------------------------------------------------------------

bool DocumentRegistry::CloseDocument(CDocumentWindow* document)
{
    QMdiSubWindow* window = SubWindowOf(document);
    if (!window)
        return true;
    QPointer<QMdiSubWindow> guard = window;
    return window->close() || !guard;
}

bool DocumentRegistry::CloseDocumentFor(const QString& path)
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

void DocumentRegistry::CloseDocumentWithoutAsking(const QString& path)
{
    CDocumentWindow* document = FindDocument(path);
    if (!document)
        return;
    document->DiscardChanges();
    if (QMdiSubWindow* window = SubWindowOf(document)) {
        window->setProperty(ConfirmedClose, true);
        window->close();
    }
}

bool DocumentRegistry::SaveModifiedDocuments()
{
    const QList<CDocumentWindow*> documents = List();
    for (CDocumentWindow* document : documents) {
        if (!document->QueryClose())
            return false;
        if (QMdiSubWindow* window = SubWindowOf(document))
            window->setProperty(ConfirmedClose, true);
    }
    return true;
}

bool DocumentRegistry::SaveBeforeUpload(const QString& path)
{
    CDocumentWindow* document = FindDocument(path);
    if (!document || !document->IsModified())
        return true;
    const Prompt::Button answer
        = Prompt::Ask(QStringLiteral("Do you want to save the changes to %1 before uploading?").arg(path),
            QStringLiteral("Save changes?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::Yes);
    if (answer == Prompt::Cancel)
        return false;
    return answer != Prompt::Yes || document->Save();
}

void DocumentRegistry::CloseAllAnswered()
{
    const QList<QMdiSubWindow*> windows = m_area->subWindowList();
    for (QMdiSubWindow* window : windows) {
        window->setProperty(ConfirmedClose, true);
        window->close();
    }
}

void DocumentRegistry::SaveAll()
{
    const QList<CDocumentWindow*> documents = List();
    for (CDocumentWindow* document : documents) {
        if (document->IsModified() && !document->Save())
            return;
    }
}

void DocumentRegistry::DeleteAll()
{
    m_deleting = true;
    m_area->disconnect(this);
    const QList<CDocumentWindow*> documents = m_area->findChildren<CDocumentWindow*>();
    for (CDocumentWindow* document : documents) {
        document->SetShell(nullptr);
        document->disconnect(this);
    }
    const QList<QMdiSubWindow*> windows = m_area->findChildren<QMdiSubWindow*>();
    for (QMdiSubWindow* window : windows) {
        window->disconnect(this);
        window->removeEventFilter(this);
    }
    for (QMdiSubWindow* window : windows)
        delete window;
}

bool DocumentRegistry::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = qobject_cast<QMdiSubWindow*>(watched);
    if (window && event->type() == QEvent::Close) {
        auto* document = qobject_cast<CDocumentWindow*>(window->widget());
        if (document && !window->property(ConfirmedClose).toBool() && !document->QueryClose()) {
            event->ignore();
            return true;
        }
        window->setProperty(ConfirmedClose, true);
        if (m_area->subWindowList().size() == 1)
            WindowPlacement::StoreLastDocumentWindow(window);
    }
    return QObject::eventFilter(watched, event);
}

void DocumentRegistry::subWindowDestroyed(QMdiSubWindow* window)
{
    if (m_deleting)
        return;
    m_tabs->RemoveWindow(window);
    if (m_area->subWindowList().isEmpty()) {
        m_activeDocument = nullptr;
        m_shell.SetLineColumnText(QString());
    }
    emit Changed();
}

void DocumentRegistry::subWindowActivated(QMdiSubWindow* window)
{
    if (!window)
        return; // the main window lost the focus; the current document stays current
    auto* document = qobject_cast<CDocumentWindow*>(window->widget());
    if (m_activeDocument && m_activeDocument != document)
        m_activeDocument->Deactivated();
    m_activeDocument = document;
    emit Changed();
    if (document)
        document->Activated();
    emit Changed();
}
