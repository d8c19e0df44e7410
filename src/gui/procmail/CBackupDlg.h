#pragma once

#include <QDialog>

class IShell;
class QPushButton;

// "Backup Mail Dialog": the backup recipe (create, change, delete), the saved copies on the host
// (list, view, delete), retrieval of the copies, and the MSGPREFIX ZEPH assumes.
class CBackupDlg : public QDialog
{
    Q_OBJECT

public:
    CBackupDlg(IShell& shell, QWidget* parent);

    QPushButton* CreateButton() const { return m_create; }
    QPushButton* VerifyButton() const { return m_verify; }
    QPushButton* RetrieveButton() const { return m_retrieve; }
    QPushButton* DeleteRecipeButton() const { return m_deleteRecipe; }
    QPushButton* DeleteMailButton() const { return m_deleteMail; }
    QPushButton* PrefixButton() const { return m_prefix; }

private:
    void onCreate();
    void onVerify();
    void onRetrieve();
    void onDeleteRecipe();
    void onDeleteMail();
    void onPrefix();

    IShell& m_shell;
    QPushButton* m_create = nullptr;
    QPushButton* m_verify = nullptr;
    QPushButton* m_retrieve = nullptr;
    QPushButton* m_deleteRecipe = nullptr;
    QPushButton* m_deleteMail = nullptr;
    QPushButton* m_prefix = nullptr;
};
