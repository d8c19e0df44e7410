#include "gui/editor/CHardWrapDlg.h"

#include "gui/common/Help.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

CHardWrapDlg::CHardWrapDlg(int column, QWidget* parent)
    : QDialog(parent)
    , m_column(new QSpinBox(this))
{
    setWindowTitle(QStringLiteral("Inserting hard line wrap"));
    SetHelpTopic(this, QStringLiteral("dlgHardWrap.html"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("This will insert \"hard\" line wraps (CR\\LF) in the active document."), this);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
    auto* form = new QFormLayout;
    m_column->setRange(1, 1000);
    m_column->setValue(column >= 1 && column <= 1000 ? column : 72);
    form->addRow(QStringLiteral("Wrap lines at column number:"), m_column);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int CHardWrapDlg::Column() const
{
    return m_column->value();
}
