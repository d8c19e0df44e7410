#include "gui/app/WindowPlacement.h"

#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QScreen>

namespace WindowPlacement {

namespace {

    ShowState stateOf(const QWidget* window)
    {
        return window->isMaximized() ? Maximized : window->isMinimized() ? Minimized : Normal;
    }

} // namespace

void RestoreMainWindow(QMainWindow* window)
{
    const int left = GetSetting(Settings::MainLeft);
    const int top = GetSetting(Settings::MainTop);
    const int width = qMax(200, GetSetting(Settings::MainRight) - left);
    const int height = qMax(150, GetSetting(Settings::MainBottom) - top);
    QRect available(0, 0, 1024, 768);
    if (QScreen* screen = QApplication::primaryScreen())
        available = screen->availableGeometry();
    const int x = qBound(available.left(), available.left() + left, available.right() - 32);
    const int y = qBound(available.top(), available.top() + top, available.bottom() - 32);
    window->setGeometry(x, y, width, height);
}

void StoreMainWindow(const QMainWindow* window)
{
    const QRect normal = window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
    SetSetting(Settings::MainLeft, normal.left());
    SetSetting(Settings::MainTop, normal.top());
    SetSetting(Settings::MainRight, normal.right() + 1);
    SetSetting(Settings::MainBottom, normal.bottom() + 1);
    SetSetting(Settings::MainMinMaxState, stateOf(window));
    CRegistry::SetString(QStringLiteral("BarState"), QStringLiteral("State"),
        QString::fromLatin1(window->saveState().toBase64()));
}

void RestoreBarState(QMainWindow* window)
{
    const QByteArray state = QByteArray::fromBase64(
        CRegistry::GetString(QStringLiteral("BarState"), QStringLiteral("State")).toLatin1());
    if (!state.isEmpty())
        window->restoreState(state);
}

void ShowDocumentWindow(QMdiSubWindow* window, bool first, const QMdiSubWindow* current)
{
    const int left = GetSetting(Settings::ChildLeft);
    const int top = GetSetting(Settings::ChildTop);
    window->setGeometry(left, top, qMax(120, GetSetting(Settings::ChildRight) - left),
        qMax(80, GetSetting(Settings::ChildBottom) - top));
    const bool maximized = first ? GetSetting(Settings::ChildMinMaxState) == Maximized
                                 : (current && current != window && current->isMaximized());
    if (maximized)
        window->showMaximized();
    else
        window->show();
}

void StoreLastDocumentWindow(const QMdiSubWindow* window)
{
    SetSetting(Settings::ChildMinMaxState, stateOf(window));
    if (!window->isMaximized() && !window->isMinimized()) {
        const QRect r = window->geometry();
        SetSetting(Settings::ChildLeft, r.left());
        SetSetting(Settings::ChildTop, r.top());
        SetSetting(Settings::ChildRight, r.right() + 1);
        SetSetting(Settings::ChildBottom, r.bottom() + 1);
    }
}

} // namespace WindowPlacement
