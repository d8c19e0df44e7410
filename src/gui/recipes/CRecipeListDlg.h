#pragma once

#include "core/recipes/CRecipeFile.h"
#include "gui/common/CResizingDialog.h"

class CRecipeListView;
class IShell;
class QCheckBox;
class QPushButton;

// "Position/Edit Recipes": every block of the recipe file as one row, to reorder, switch off and
// on, view, delete, edit with the Recipe Wizard or open in the text editor. Changes stay in the
// list until OK or Apply writes the file; the data files of deleted recipes go only after the
// file was written, so a failed save loses nothing.
class CRecipeListDlg : public CResizingDialog
{
    Q_OBJECT

public:
    CRecipeListDlg(IShell& shell, const QString& recipeFilePath, QWidget* parent);

    // The whole command: closes an editor window of the recipe file (asking to save it), loads
    // the list, shows the dialog, and afterwards opens the editor for Manually Edit and offers
    // the pending files.
    static void Run(IShell& shell);

    // Reads the recipe file into the list, with the working dialog. False when the dialog is not
    // to be shown: the file could not be read, the user cancelled, or it holds no recipes (the
    // user was offered to open it as text). Lines outside the blocks are shown to the user and
    // leave the list modified.
    bool Load();

    // The commands of the buttons and keys; each works on the selected row.
    void MoveUp();
    void MoveDown();
    void Edit();
    void View();
    void Enable();
    void Disable();
    void ManuallyEdit();
    void Delete();
    // Writes the list when it is modified; false when the file could not be written (the user was
    // told, the list stays modified and nothing is deleted).
    bool Apply();
    // Moves row `from` before row `before` (counted before the move); topLevelItemCount() is the end.
    void MoveRow(int from, int before);

    bool IsModified() const { return m_modified; }
    // The entries in the order of the rows.
    QList<CRecipeListEntry> Entries() const;
    CRecipeListView* List() const { return m_list; }
    // The recipe whose begin line the editor is to show after Manually Edit closed the dialog.
    bool ManualEditRequested() const { return m_manualEdit; }
    QByteArray ManualEditName() const { return m_manualEditName; }

    void accept() override;

protected:
    void done(int result) override;

private:
    enum class Pass { Opening, AfterEdit };
    bool Parse(Pass pass);
    int SelectedRow() const;
    const CRecipeListEntry& EntryAt(int row) const;
    CRecipeListEntry& EntryAt(int row);
    void SelectRow(int row);
    void SetModified(bool modified);
    void UpdateButtons();
    void SetDisabled(bool disabled);
    void ShowUnparsedGroups(const QList<QByteArray>& groups);
    bool NothingSelected(const QString& text) const;
    // The question before Edit and Manually Edit; false when the command is to stop.
    bool SaveOrDiscard();

    IShell& m_shell;
    QString m_path;
    QList<CRecipeListEntry> m_entries; // in the order the parser produced them; rows point here
    QList<QByteArray> m_deletedNames;
    bool m_modified = false;
    bool m_manualEdit = false;
    QByteArray m_manualEditName;

    CRecipeListView* m_list;
    QPushButton* m_moveUp;
    QPushButton* m_moveDown;
    QPushButton* m_edit;
    QPushButton* m_view;
    QPushButton* m_enable;
    QPushButton* m_disable;
    QPushButton* m_manually;
    QPushButton* m_delete;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_apply;
    QCheckBox* m_showPending;
};
