#include "gui/common/CResizingDialog.h"

#include "core/settings/Profile.h"

#include <QResizeEvent>
#include <QShowEvent>
#include <QSizeGrip>

CResizingDialog::CResizingDialog(
    unsigned resourceId, QWidget* parent, const QString& persistenceName, double growth)
    : QDialog(parent)
    , m_resourceId(resourceId)
    , m_persistenceName(persistenceName)
    , m_growth(growth >= 1.0 && growth <= 2.0 ? growth : 1.2)
{
    setSizeGripEnabled(true);
}

void CResizingDialog::AddAnchor(QWidget* control, int flags)
{
    m_anchors.append({ control, flags });
}

QString CResizingDialog::KeyPrefix() const
{
    return m_persistenceName.isEmpty() ? QStringLiteral("Dlg#%1 ").arg(m_resourceId)
                                       : QStringLiteral("Dlg %1 ").arg(m_persistenceName);
}

void CResizingDialog::showEvent(QShowEvent* event)
{
    if (!m_firstShown) {
        m_firstShown = true;
        // Dialogs with a layout start from what their content needs; hand-placed ones as built.
        if (layout())
            adjustSize();
        const QSize built = size();
        setMinimumSize(built);
        const int width = GetSetting({ Settings::DialogWidth, KeyPrefix() });
        const int height = GetSetting({ Settings::DialogHeight, KeyPrefix() });
        if (width == 0 || height == 0)
            resize(int(built.width() * m_growth), int(built.height() * m_growth));
        else
            resize(qMax(width, built.width()), qMax(height + m_extraHeight, built.height()));
        m_lastSize = size();
        if (GetSetting({ Settings::DialogMaximize, KeyPrefix() }) != 0)
            setWindowState(windowState() | Qt::WindowMaximized);
    }
    QDialog::showEvent(event);
}

void CResizingDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_firstShown || isMinimized())
        return;
    ++m_sizeEvents;
    const QSize now = event->size();
    if (!m_lastSize.isValid()) {
        m_lastSize = now;
        return;
    }
    const int dx = now.width() - m_lastSize.width();
    const int dy = now.height() - m_lastSize.height();
    m_lastSize = now;
    if (dx == 0 && dy == 0)
        return;
    m_sizeChanged = true;
    for (const AnchorEntry& anchor : std::as_const(m_anchors)) {
        QRect r = anchor.control->geometry();
        const int f = anchor.flags;
        if (f & StretchRight)
            r.setRight(r.right() + dx);
        else if (f & MoveRight)
            r.translate(dx, 0);
        else if (f & MoveRightHalf)
            r.translate(dx / 2, 0);
        else if (f & StretchRightHalf)
            r.setRight(r.right() + dx / 2);
        else if (f & StretchRightMoveLeftHalf) {
            r.setRight(r.right() + dx);
            r.setLeft(r.left() + dx / 2);
        }
        if (f & StretchBottom)
            r.setBottom(r.bottom() + dy);
        else if (f & MoveDown)
            r.translate(0, dy);
        else if (f & MoveDownHalf)
            r.translate(0, dy / 2);
        else if (f & StretchBottomHalf)
            r.setBottom(r.bottom() + dy / 2);
        else if (f & StretchBottomMoveTopHalf) {
            r.setBottom(r.bottom() + dy);
            r.setTop(r.top() + dy / 2);
        }
        anchor.control->setGeometry(r);
    }
}

void CResizingDialog::storeSize()
{
    if (m_stored || !m_firstShown)
        return;
    m_stored = true;
    const bool maximized = isMaximized();
    if (!maximized && (m_sizeChanged || m_sizeEvents > 1)) {
        SetSetting({ Settings::DialogWidth, KeyPrefix() }, width());
        SetSetting({ Settings::DialogHeight, KeyPrefix() }, height() - m_extraHeight);
    }
    SetSetting({ Settings::DialogMaximize, KeyPrefix() }, maximized ? 1 : 0);
}

void CResizingDialog::done(int result)
{
    storeSize();
    QDialog::done(result);
}
