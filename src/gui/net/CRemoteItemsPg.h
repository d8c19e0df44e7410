#pragma once

#include "core/settings/SettingsTable.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class CRemoteFilesFoldersMgr;
class CRemoteFilesFoldersSheet;
class CRemoteHost;
class QHBoxLayout;
class QTreeWidget;
class QTreeWidgetItem;

// A page of the Remote Files and Folders window: a sortable list of what ZEPH put on the host,
// one row a record entry, with buttons that act on the selected row. The pages bring their
// columns, texts and rules.
class CRemoteItemsPg : public QWidget
{
    Q_OBJECT
public:
    // Fills the list from the record again, keeping the selected entry and the sort order.
    void Refill();
    void StoreLayout();

    QTreeWidget* List() const { return m_list; }
    // The text the viewer showed last (for tests), and its window title.
    QString LastViewedText() const { return m_lastViewed; }
    QString LastViewedCaption() const { return m_lastViewedCaption; }
    // Whether the next View shows its window (tests switch it off).
    void SetShowViewer(bool show) { m_showViewer = show; }

protected:
    struct Setup
    {
        QString objectName;
        QStringList headers;
        Settings::Key orderSetting; // where the column order is kept
        Settings::Key widthsSetting; // where the column widths are kept
        QString noSelectionCaption; // the caption of "select one first"
    };
    // Where a row keeps the record key of its entry.
    static constexpr int KeyRole = Qt::UserRole + 2;

    CRemoteItemsPg(CRemoteFilesFoldersSheet* sheet, const Setup& setup);

    void addButton(const QString& text, const QString& name, std::function<void()> action);
    // Once the buttons are there: fills the list and restores the stored column layout.
    void finishSetup();
    // One row per record entry, each with its key under KeyRole.
    virtual QList<QTreeWidgetItem*> makeRows() const = 0;

    // The record key of the selected row, or empty after telling the user `message`.
    QString selectedName(const QString& message);
    // Yes, No or Cancel with No preset; true for Yes.
    static bool confirm(const QString& text, const QString& caption);
    // Connects and runs `operation`; when the host confirms it, `recordChange` runs, the list is
    // filled again and the host's message shown, else the host's result is shown.
    void runOnHost(
        const std::function<bool(CRemoteHost&)>& operation, const std::function<void()>& recordChange);
    // Keeps what a View showed and shows it unless tests switched the viewer off.
    void showViewed(const QString& text, const QString& caption, const QString& persistenceName, bool noWrap,
        double growth);

    static CRemoteFilesFoldersMgr& record();

    CRemoteFilesFoldersSheet* m_sheet;

private:
    void sortBy(int column);

    Setup m_setup;
    QTreeWidget* m_list = nullptr;
    QHBoxLayout* m_buttons = nullptr;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
    bool m_showViewer = true;
    QString m_lastViewed;
    QString m_lastViewedCaption;
};
