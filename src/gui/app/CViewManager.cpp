#include "gui/app/CViewManager.h"

#include "gui/common/CDocumentWindow.h"

#include <QMdiSubWindow>
#include <QTabBar>

CViewManager::CViewManager(QWidget* parent)
    : QToolBar(QStringLiteral("Open File Tabs Bar"), parent)
    , m_tabs(new QTabBar(this))
{
    setObjectName(QStringLiteral("Open File Tabs Bar"));
    setMovable(false);
    m_tabs->setFixedHeight(26);
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setDrawBase(false);
    addWidget(m_tabs);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index < m_entries.size() && m_entries[index].guard)
            emit ActivateRequested(m_entries[index].window);
    });
    updateVisibility();
}

void CViewManager::AddWindow(QMdiSubWindow* window, CDocumentWindow* document)
{
    m_entries.append(
        { window, window, window, document, document ? document->Title() : window->windowTitle() });
    m_refreshing = true;
    const int index = m_tabs->addTab(document ? document->Icon() : QIcon(), m_entries.last().title);
    m_tabs->setTabToolTip(
        index, document && !document->Path().isEmpty() ? document->Path() : m_entries.last().title);
    m_refreshing = false;
    updateVisibility();
}

void CViewManager::RemoveWindow(QObject* window)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key == window || !m_entries[i].guard) {
            m_entries.removeAt(i);
            m_refreshing = true;
            m_tabs->removeTab(i);
            m_refreshing = false;
            --i;
        }
    }
    updateVisibility();
}

void CViewManager::Refresh(QMdiSubWindow* active)
{
    m_refreshing = true;
    for (int i = 0; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        if (!entry.document || !entry.guard)
            continue;
        const QString title = entry.document->Title();
        if (title != entry.title) {
            entry.title = title;
            m_tabs->setTabText(i, title);
        }
        const QString tip = entry.document->Path().isEmpty() ? title : entry.document->Path();
        if (m_tabs->tabToolTip(i) != tip)
            m_tabs->setTabToolTip(i, tip);
        const bool selected = entry.window == active;
        if (selected && m_tabs->currentIndex() != i)
            m_tabs->setCurrentIndex(i);
        m_tabs->setTabTextColor(i, selected ? QColor(Qt::blue) : QColor(50, 50, 50));
    }
    m_refreshing = false;
    updateVisibility();
}

void CViewManager::SelectFirstTab()
{
    if (!m_entries.isEmpty() && m_entries.first().guard)
        emit ActivateRequested(m_entries.first().window);
}

void CViewManager::SetUserVisible(bool visible)
{
    m_userVisible = visible;
    updateVisibility();
}

QList<QMdiSubWindow*> CViewManager::Windows() const
{
    QList<QMdiSubWindow*> windows;
    for (const Entry& entry : m_entries) {
        if (entry.guard)
            windows.append(entry.window);
    }
    return windows;
}

QStringList CViewManager::Titles() const
{
    QStringList titles;
    for (int i = 0; i < m_tabs->count(); ++i)
        titles.append(m_tabs->tabText(i));
    return titles;
}

void CViewManager::updateVisibility()
{
    setVisible(m_userVisible && !m_entries.isEmpty());
}
