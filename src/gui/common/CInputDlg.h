#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// "Enter data": one or two texts. Results are written only on OK; empty entries are refused.
class CInputDlg : public QDialog
{
    Q_OBJECT

public:
    CInputDlg(const QString& title, const QString& label1, QString* result1, const QString& label2,
        QString* result2, QWidget* parent = nullptr, bool password = false);

    QLineEdit* Field1() const { return m_field1; }
    QLineEdit* Field2() const { return m_field2; }
    void accept() override;

private:
    QString m_label1;
    QString m_label2;
    QString* m_result1;
    QString* m_result2;
    QLineEdit* m_field1;
    QLineEdit* m_field2;
};
