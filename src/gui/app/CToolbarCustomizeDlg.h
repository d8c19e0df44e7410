#pragma once

#include <QDialog>
#include <QList>

class CCustomToolBar;
class QListWidget;
class QPushButton;

// Chooses the buttons of a customisable toolbar: every offered button can be added and removed,
// separators too, and the order changed. Changes show on the toolbar at once; Reset goes back to
// the last saved layout; closing saves the layout.
class CToolbarCustomizeDlg : public QDialog
{
    Q_OBJECT

public:
    CToolbarCustomizeDlg(CCustomToolBar* toolbar, QWidget* parent = nullptr);

    QListWidget* AvailableList() const { return m_available; }
    QListWidget* CurrentList() const { return m_current; }
    void AddSelected();
    void RemoveSelected();
    void MoveSelected(int delta);
    void Reset();

    void done(int result) override;

private:
    void fill();
    void apply();
    QString labelFor(int id) const;
    void updateButtons();

    CCustomToolBar* m_toolbar;
    QList<int> m_saved;
    QListWidget* m_available;
    QListWidget* m_current;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_up;
    QPushButton* m_down;
};
