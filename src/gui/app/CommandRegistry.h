#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class CDocumentWindow;
class QAction;
class QWidget;

// Every command of the command table as a QAction, and who performs it: the active document
// window when it claims the command, else the handler a part of the program set. A command
// without either is disabled.
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
    QAction* Action(int id) const { return m_actions.value(id, nullptr); }
    // Takes in an action made elsewhere for `id` (a custom entry, a toolbar widget), replacing
    // the table's one. A widget action keeps its own enabled state.
    void SetAction(int id, QAction* action);
    bool IsEnabled(int id) const;
    // Runs the command when it is enabled; false otherwise.
    bool Run(int id);
    // Enabled and checked states of every action.
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
    ActiveDocument m_activeDocument;
};
