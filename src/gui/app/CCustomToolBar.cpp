#include "gui/app/CCustomToolBar.h"

#include "core/settings/CRegistry.h"

#include <QAction>

CCustomToolBar::CCustomToolBar(
    const QString& valueName, const QString& title, ActionLookup lookup, QWidget* parent)
    : QToolBar(title, parent)
    , m_valueName(valueName)
    , m_lookup(std::move(lookup))
{
    setObjectName(valueName);
}

void CCustomToolBar::SetLayout(const QList<int>& ids)
{
    m_layout = ids;
    Rebuild();
    emit LayoutChanged();
}

QString CCustomToolBar::FormatLayout(const QList<int>& ids)
{
    QStringList parts;
    for (int id : ids)
        parts.append(QString::number(id));
    return parts.join(QLatin1Char(','));
}

bool CCustomToolBar::ParseLayout(const QString& text, QList<int>* ids)
{
    ids->clear();
    if (text.trimmed().isEmpty())
        return true;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString& part : parts) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (!ok || id < 0)
            return false;
        ids->append(id);
    }
    return true;
}

bool CCustomToolBar::SaveLayout() const
{
    return CRegistry::SetString(QStringLiteral("Settings"), m_valueName, FormatLayout(m_layout));
}

bool CCustomToolBar::RestoreLayout()
{
    const QString text
        = CRegistry::GetString(QStringLiteral("Settings"), m_valueName, QStringLiteral("\x01"));
    if (text == QStringLiteral("\x01"))
        return false;
    QList<int> ids;
    if (!ParseLayout(text, &ids))
        return false;
    // Buttons that this program does not offer (a damaged or foreign file) are left out.
    QList<int> kept;
    for (int id : std::as_const(ids)) {
        if (id == 0 || m_available.contains(id))
            kept.append(id);
    }
    m_layout = kept;
    Rebuild();
    emit LayoutChanged();
    return true;
}

void CCustomToolBar::Rebuild()
{
    const QList<QAction*> old = actions();
    for (QAction* action : old) {
        removeAction(action);
        if (action->parent() == this)
            delete action;
    }
    for (int id : std::as_const(m_layout)) {
        if (id == 0) {
            addSeparator();
            continue;
        }
        if (QAction* action = m_lookup(id))
            addAction(action);
    }
}
