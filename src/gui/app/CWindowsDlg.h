#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

class MainWindow;
class QListWidget;
class QMdiSubWindow;
class QPushButton;

// "Windows": lists the document windows and activates, saves, closes, arranges or minimises
// several of them at once.
class CWindowsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CWindowsDlg(MainWindow* main);

    QListWidget* List() const { return m_list; }
    // The buttons' control ids.
    enum Control : int {
        OkButton = 1,
        ActivateButton = 3,
        SaveButton = 5,
        CloseButton = 6,
        TileHorizontallyButton = 1017,
        MinimizeButton = 1091,
        CascadeButton = 1095,
        TileVerticallyButton = 32934,
    };
    QPushButton* Button(int id) const;
    // Selects the rows of these windows only.
    void SelectWindows(const QList<QMdiSubWindow*>& windows);
    QMdiSubWindow* WindowOfRow(int row) const;

    void Activate();
    void SaveSelected();
    void CloseSelected();
    enum class Arrangement { Cascade, TileHorizontally, TileVertically };
    void Arrange(Arrangement arrangement);
    void MinimizeSelected();

private:
    void fill();
    void updateButtons();
    QList<int> selectedRows() const;

    MainWindow* m_main;
    QListWidget* m_list;
    QList<QPointer<QMdiSubWindow>> m_windows;
    QPushButton* m_activate;
    QPushButton* m_ok;
    QPushButton* m_save;
    QPushButton* m_close;
    QPushButton* m_cascade;
    QPushButton* m_tileHorizontally;
    QPushButton* m_tileVertically;
    QPushButton* m_minimize;
};
