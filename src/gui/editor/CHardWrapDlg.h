#pragma once

#include <QDialog>

class QSpinBox;

// "Inserting hard line wrap": asks for the column (1 to 1000).
class CHardWrapDlg : public QDialog
{
    Q_OBJECT

public:
    CHardWrapDlg(int column, QWidget* parent = nullptr);
    int Column() const;
    QSpinBox* ColumnBox() const { return m_column; }

private:
    QSpinBox* m_column;
};
