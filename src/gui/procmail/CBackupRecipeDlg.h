#pragma once

#include <QDialog>

class IShell;
class QComboBox;
class QPushButton;
class QSpinBox;

// "Backup Recipe": how many copies to keep and of which messages; "Add Recipe" writes the recipe
// into the recipe file and queues it for upload. Accepted when the recipe was written; a recipe
// file that refused the change closes it as cancelled.
class CBackupRecipeDlg : public QDialog
{
    Q_OBJECT

public:
    CBackupRecipeDlg(IShell& shell, QWidget* parent);

    // Runs the dialog once the recipe file is closed in the editor (Cancel there ends it); true
    // when the recipe was written.
    static bool Run(IShell& shell, QWidget* parent);

    QSpinBox* NumberBox() const { return m_number; }
    QComboBox* SelectionBox() const { return m_selection; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* ModifyAddressButton() const { return m_modifyAddress; }

    void accept() override;

private:
    void fillSelections(int index);
    void onModifyAddress();

    IShell& m_shell;
    QSpinBox* m_number = nullptr;
    QComboBox* m_selection = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_modifyAddress = nullptr;
};
