#pragma once

#include "core/net/CRemoteHost.h"

#include <QDialog>

class IShell;
class QPushButton;

// "Vacation": writes and removes the vacation recipe and shows or deletes the list of addresses
// that procmail has answered on the host. The dialog owns its remote connection.
class CVacationDlg : public QDialog
{
    Q_OBJECT

public:
    CVacationDlg(IShell& shell, QWidget* parent);

    QPushButton* CreateButton() const { return m_create; }
    QPushButton* DeleteRecipeButton() const { return m_deleteRecipe; }
    QPushButton* ViewListButton() const { return m_viewList; }
    QPushButton* DeleteListButton() const { return m_deleteList; }

    // The recipe dialog, after any editor of the recipe file is closed; true when it wrote the
    // recipe. Editing "ZEPH_Vacation" by name runs this too.
    static bool RunRecipeDialog(IShell& shell, QWidget* parent);

private:
    void deleteRecipe();
    void viewList();
    void deleteList();
    void deleteRemoteList();

    IShell& m_shell;
    CRemoteHost m_host;
    QPushButton* m_create = nullptr;
    QPushButton* m_deleteRecipe = nullptr;
    QPushButton* m_viewList = nullptr;
    QPushButton* m_deleteList = nullptr;
};
