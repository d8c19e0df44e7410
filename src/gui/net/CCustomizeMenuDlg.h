#pragma once

#include "core/net/CustomMenus.h"
#include "gui/common/CResizingDialog.h"

#include <functional>

class QTreeWidget;

// The editor of the user's own Upload or Download menu entries.
class CCustomizeMenuDlg : public CResizingDialog
{
    Q_OBJECT
public:
    CCustomizeMenuDlg(bool upload, QWidget* parent = nullptr);

    void accept() override;
    void AddEntry();
    void EditEntry();
    void DeleteEntry();
    void MoveEntry(int step);
    QList<CMenuEntry> Entries() const;
    QTreeWidget* List() const { return m_list; }

    // Called after a save so that the main window rebuilds its menus.
    static void SetMenusChangedHandler(std::function<void()> handler);

private:
    void addRow(const CMenuEntry& entry, int at = -1);
    bool hasSelection();

    bool m_upload;
    QTreeWidget* m_list = nullptr;
};
