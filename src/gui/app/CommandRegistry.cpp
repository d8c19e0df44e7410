#include "gui/app/CommandRegistry.h"

#include "gui/app/CommandIcons.h"
#include "gui/app/CommandTable.h"
#include "gui/common/CDocumentWindow.h"

#include <QAction>
#include <QPointer>
#include <QWidget>
#include <QWidgetAction>

CommandRegistry::CommandRegistry(QWidget* window, ActiveDocument activeDocument)
    : QObject(window)
    , m_activeDocument(std::move(activeDocument))
{
    for (const CommandInfo& info : CommandTable()) {
        auto* action = new QAction(QString::fromLatin1(info.text), window);
        action->setData(info.id);
        if (info.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
        action->setStatusTip(QString::fromLatin1(info.prompt));
        action->setToolTip(QString::fromLatin1(info.tooltip));
        action->setIconText(QString::fromLatin1(info.tooltip).left(8));
        action->setCheckable(info.checkable);
        action->setIcon(CommandIcon(info.id));
        action->setEnabled(false);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { trigger(id); });
        m_actions.insert(id, action);
        window->addAction(action);
    }
}

void CommandRegistry::SetAction(int id, QAction* action)
{
    delete m_actions.take(id);
    m_replaced.insert(id);
    m_actions.insert(id, action);
    if (!qobject_cast<QWidgetAction*>(action))
        connect(action, &QAction::triggered, this, [this, id] { trigger(id); });
}

void CommandRegistry::SetHandler(int id, Handler handler, Predicate enabled, Predicate checked)
{
    m_hooks.insert(id, Hook { std::move(handler), std::move(enabled), std::move(checked) });
    emit Changed();
}

void CommandRegistry::SetDisabledTip(int id, const QString& tip)
{
    m_disabledTips.insert(id, tip);
    emit Changed();
}

void CommandRegistry::DeclareDocumentCommands(DocumentKind kind, const QList<int>& ids)
{
    m_documentCommands[int(kind)] = QSet<int>(ids.begin(), ids.end());
    emit Changed();
}

bool CommandRegistry::IsPerformed(int id) const
{
    // A widget in place of a button (the recipe list) performs itself.
    if (m_hooks.value(id).handler || qobject_cast<QWidgetAction*>(Action(id)))
        return true;
    for (const QSet<int>& ids : m_documentCommands) {
        if (ids.contains(id))
            return true;
    }
    CDocumentWindow* document = m_activeDocument();
    return document && document->HasCommand(id);
}

QString CommandRegistry::DisabledTip(int id) const
{
    if (IsEnabled(id))
        return QString();
    CDocumentWindow* document = m_activeDocument();
    if (document && document->HasCommand(id))
        return document->DisabledTip(id);
    if (m_hooks.value(id).handler)
        return m_disabledTips.value(id);
    const bool text = m_documentCommands.value(int(DocumentKind::Text)).contains(id);
    const bool log = m_documentCommands.value(int(DocumentKind::Log)).contains(id);
    if (text && log)
        return QStringLiteral("Open a text file or a log first");
    if (text)
        return QStringLiteral("Open a text file first");
    if (log)
        return QStringLiteral("Open a log first");
    return QString();
}

bool CommandRegistry::IsEnabled(int id) const
{
    CDocumentWindow* document = m_activeDocument();
    if (document && document->HasCommand(id))
        return document->IsCommandEnabled(id);
    const auto it = m_hooks.constFind(id);
    if (it == m_hooks.constEnd() || !it->handler)
        return false;
    return !it->enabled || it->enabled();
}

bool CommandRegistry::Run(int id)
{
    if (!IsEnabled(id))
        return false;
    trigger(id);
    return true;
}

void CommandRegistry::trigger(int id)
{
    QPointer<CommandRegistry> alive = this;
    if (IsEnabled(id)) {
        CDocumentWindow* document = m_activeDocument();
        if (document && document->HasCommand(id)) {
            document->RunCommand(id);
        } else {
            // A copy: the handler may set handlers itself.
            const Handler handler = m_hooks.value(id).handler;
            if (handler)
                handler();
        }
    }
    // A handler may end the window and this registry with it.
    if (alive)
        emit Changed();
}

void CommandRegistry::UpdateStates()
{
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it) {
        QAction* action = it.value();
        const int id = it.key();
        if (qobject_cast<QWidgetAction*>(action))
            continue;
        const bool performed = IsPerformed(id);
        if (action->isVisible() != performed)
            action->setVisible(performed);
        const bool enabled = IsEnabled(id);
        if (action->isEnabled() != enabled)
            action->setEnabled(enabled);
        if (const CommandInfo* info = m_replaced.contains(id) ? nullptr : FindCommand(id)) {
            const QString why = DisabledTip(id);
            const QString tip = why.isEmpty() ? QString::fromLatin1(info->tooltip) : why;
            if (action->toolTip() != tip)
                action->setToolTip(tip);
        }
        if (action->isCheckable()) {
            bool checked = false;
            CDocumentWindow* document = m_activeDocument();
            if (document && document->HasCommand(id))
                checked = document->IsCommandChecked(id);
            else if (const auto hook = m_hooks.constFind(id); hook != m_hooks.constEnd() && hook->checked)
                checked = hook->checked();
            if (action->isChecked() != checked)
                action->setChecked(checked);
        }
    }
}
