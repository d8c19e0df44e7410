#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class IShell;

// The three kinds of document window, in the order in which a file finds its kind: a file whose
// extension belongs to a later kind (".log") opens as that kind, any other file as text.
enum class DocumentKind { Text, Log, ButtonPage };

// The content of one document window inside the main window. Views of every kind derive from it
// (text editor, log view, button page). The shell puts it into an MDI sub-window, shows Title() on
// the window and its tab, routes commands to the active one and asks it before closing.
class CDocumentWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CDocumentWindow(DocumentKind kind, QWidget* parent = nullptr);

    DocumentKind Kind() const { return m_kind; }
    // The local file shown; empty for a new document or the button page.
    virtual QString Path() const { return QString(); }
    // The title for the window and its tab, with " *" while modified.
    virtual QString Title() const = 0;
    virtual bool IsModified() const { return false; }
    // Saves to Path() (asking for a name when there is none); false when not saved.
    virtual bool Save() { return true; }
    // "Save changes to %1?" with Yes/No/Cancel when modified; false when the close must stop.
    virtual bool QueryClose();
    // Drops the modified state so that closing does not ask.
    virtual void DiscardChanges() { }
    virtual QIcon Icon() const;

    // Commands this window performs while it is the active document window. A command that
    // HasCommand() claims is enabled, checked and run through the window; others go to the frame.
    virtual bool HasCommand(int id) const;
    virtual bool IsCommandEnabled(int id) const;
    virtual bool IsCommandChecked(int id) const;
    virtual void RunCommand(int id);
    // For a claimed command that IsCommandEnabled() turns off: what the user must do first, shown
    // as its tooltip; empty keeps the usual tooltip.
    virtual QString DisabledTip(int) const { return QString(); }

    // Called when the window becomes, or stops being, the active document window.
    virtual void Activated() { }
    virtual void Deactivated() { }

    // The shell that shows this window: set when the shell takes the window in, null before and
    // again once the shell starts to go (a view may run code while it is destroyed).
    IShell* Shell() const { return m_shell; }
    void SetShell(IShell* shell) { m_shell = shell; }

signals:
    // Emitted when the title, modified state or command states may have changed.
    void StateChanged();

private:
    DocumentKind m_kind;
    IShell* m_shell = nullptr;
};
