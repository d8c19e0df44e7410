#pragma once

#include <QList>
#include <QPointer>
#include <QToolBar>

class CDocumentWindow;
class QMdiSubWindow;
class QTabBar;

// The window-tabs bar: one tab per open document window, in opening order.
class CViewManager : public QToolBar
{
    Q_OBJECT

public:
    explicit CViewManager(QWidget* parent = nullptr);

    void AddWindow(QMdiSubWindow* window, CDocumentWindow* document);
    // Also called while the window is being destroyed: only its address is used.
    void RemoveWindow(QObject* window);
    // Titles, tooltips, the selected tab and the bar's visibility, from the windows' state.
    void Refresh(QMdiSubWindow* active);
    void SelectFirstTab();
    // The user's choice ("&Window Tabs"); the bar still hides itself without windows.
    void SetUserVisible(bool visible);
    bool UserVisible() const { return m_userVisible; }

    QTabBar* TabBar() const { return m_tabs; }
    QList<QMdiSubWindow*> Windows() const;
    QStringList Titles() const;

signals:
    void ActivateRequested(QMdiSubWindow* window);

private:
    struct Entry
    {
        QObject* key;
        QPointer<QObject> guard;
        QMdiSubWindow* window;
        QPointer<CDocumentWindow> document;
        QString title;
    };
    void updateVisibility();

    QTabBar* m_tabs;
    QList<Entry> m_entries;
    bool m_userVisible = true;
    bool m_refreshing = false;
};
