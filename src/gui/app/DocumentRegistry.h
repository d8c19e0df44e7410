#pragma once

#include "gui/common/IShell.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class CMdiArea;
class CViewManager;
class QMdiSubWindow;
class RecentFileList;

// The open documents: each CDocumentWindow in its sub-window of the document area and its tab,
// in opening order. Opens files by kind, finds them by path, tracks the active one, and asks
// before a modified document closes.
class DocumentRegistry : public QObject
{
    Q_OBJECT

public:
    // Documents get `shell` as their CDocumentWindow::Shell(); opened files go to `recent`.
    DocumentRegistry(
        CMdiArea* area, CViewManager* tabs, RecentFileList& recent, IShell& shell, QObject* parent);

    void RegisterDocumentKind(DocumentKind kind, IShell::DocumentFactory factory);
    void SetTextEditor(IShell::TextEditor editor);
    void SetRecipeFileOpener(std::function<void(const QString& path)> opener);

    CDocumentWindow* OpenDocument(const QString& path, DocumentKind kind);
    // By extension: ".zeph" goes to the recipe-file opener, ".log" opens as a log when that
    // kind is registered, any other file as text.
    CDocumentWindow* OpenFile(const QString& path);
    CDocumentWindow* NewTextDocument(const QString& name = QString(), const QString& text = QString());
    // Activates the button page, or opens it.
    CDocumentWindow* OpenButtonPage();
    CDocumentWindow* AddDocumentWindow(CDocumentWindow* document);
    bool GoToRecipe(CDocumentWindow* document, const QString& name);

    CDocumentWindow* ActiveDocument() const;
    // In tab order.
    QList<CDocumentWindow*> List() const;
    CDocumentWindow* FindDocument(const QString& path) const;
    QMdiSubWindow* SubWindowOf(const CDocumentWindow* document) const;
    void ActivateDocument(CDocumentWindow* document);
    // Titles of the sub-windows from their documents.
    void RefreshTitles();

    // Asks the document (save question) and closes it; false when the user cancelled.
    bool CloseDocument(CDocumentWindow* document);
    // Before a local file is replaced: the "should be closed" question when it is modified.
    bool CloseDocumentFor(const QString& path);
    void CloseDocumentWithoutAsking(const QString& path);
    // Asks about every modified document; false when one answer was Cancel or a save failed.
    bool SaveModifiedDocuments();
    // Before an upload of `path`: saves it when it is open, modified and the user says so;
    // false on Cancel or a failed save.
    bool SaveBeforeUpload(const QString& path);
    // Closes every window; the questions were asked before.
    void CloseAllAnswered();
    // Saves every modified document, stopping at the first that fails.
    void SaveAll();
    // When the shell goes: the windows are deleted, their documents find no shell meanwhile.
    void DeleteAll();

signals:
    // A document opened, closed, became active or changed its state.
    void Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CDocumentWindow* openText(const QString& path);
    void subWindowActivated(QMdiSubWindow* window);
    void subWindowDestroyed(QMdiSubWindow* window);

    CMdiArea* m_area;
    CViewManager* m_tabs;
    RecentFileList& m_recent;
    IShell& m_shell;
    QHash<int, IShell::DocumentFactory> m_factories;
    IShell::TextEditor m_textEditor;
    std::function<void(const QString&)> m_recipeFileOpener;
    QPointer<CDocumentWindow> m_activeDocument;
    bool m_deleting = false;
};
