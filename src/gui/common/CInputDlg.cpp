#include "gui/common/CInputDlg.h"

#include "core/common/Prompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CInputDlg::CInputDlg(const QString& title, const QString& label1, QString* result1, const QString& label2,
    QString* result2, QWidget* parent, bool password)
    : QDialog(parent)
    , m_label1(label1)
    , m_label2(label2)
    , m_result1(result1)
    , m_result2(result2)
    , m_field1(new QLineEdit(this))
    , m_field2(new QLineEdit(this))
{
    setWindowTitle(title.isEmpty() ? QStringLiteral("Enter data") : title);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(label1, m_field1);
    form->addRow(label2, m_field2);
    if (!result2)
        form->setRowVisible(m_field2, false);
    if (password)
        m_field1->setEchoMode(QLineEdit::Password);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CInputDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CInputDlg::accept()
{
    const auto refuse = [this](const QString& label, QLineEdit* field) {
        Prompt::Tell(
            QStringLiteral(
                "You have not entered anything in the \"%1\" box.  Please do so, or hit cancel to quit.")
                .arg(label),
            QStringLiteral("Nothing entered!"), Prompt::Warning);
        field->setFocus();
    };
    if (m_field1->text().isEmpty()) {
        refuse(m_label1, m_field1);
        return;
    }
    if (m_result2 && m_field2->text().isEmpty()) {
        refuse(m_label2, m_field2);
        return;
    }
    *m_result1 = m_field1->text();
    if (m_result2)
        *m_result2 = m_field2->text();
    QDialog::accept();
}
