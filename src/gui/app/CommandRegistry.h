#pragma once

#include "gui/common/CDocumentWindow.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

#include <functional>

class QAction;
class QWidget;

// Every command of the command table as a QAction, and who performs it: the active document
// window when it claims the command, else the handler a part of the program set. A command that
// nothing in the program performs (no handler, no kind of document declares it) is hidden, so
// that no menu item or button leads nowhere; one that is only disabled says in its tooltip what
// the user must do first.
class CommandRegistry : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void()>;
    using Predicate = std::function<bool()>;
    using ActiveDocument = std::function<CDocumentWindow*()>;

    // The actions are added to `window`, so that their shortcuts work anywhere in it.
    CommandRegistry(QWidget* window, ActiveDocument activeDocument);

    void SetHandler(int id, Handler handler, Predicate enabled = {}, Predicate checked = {});
    // The tooltip of `id` while its predicate keeps it disabled: what to do first.
    void SetDisabledTip(int id, const QString& tip);
    // The commands every document of `kind` performs (its HasCommand()).
    void DeclareDocumentCommands(DocumentKind kind, const QList<int>& ids);
    // Whether anything performs `id`: a handler, a kind of document, or the active document.
    bool IsPerformed(int id) const;
    QAction* Action(int id) const { return m_actions.value(id, nullptr); }
    // Takes in an action made elsewhere for `id` (a custom entry, a toolbar widget), replacing
    // the table's one. A widget action keeps its own enabled state.
    void SetAction(int id, QAction* action);
    bool IsEnabled(int id) const;
    // Runs the command when it is enabled; false otherwise.
    bool Run(int id);
    // Why `id` is disabled now; empty when it is enabled or nothing better than its tooltip is known.
    QString DisabledTip(int id) const;
    // Visible, enabled and checked states and the tooltips of every action.
    void UpdateStates();

signals:
    // A handler was set or a command ran: the states may have changed.
    void Changed();

private:
    struct Hook
    {
        Handler handler;
        Predicate enabled;
        Predicate checked;
    };

    void trigger(int id);

    QHash<int, QAction*> m_actions;
    QHash<int, Hook> m_hooks;
    QHash<int, QString> m_disabledTips;
    QHash<int, QSet<int>> m_documentCommands; // by DocumentKind
    QSet<int> m_replaced; // actions made elsewhere keep their own tooltips
    ActiveDocument m_activeDocument;
};
