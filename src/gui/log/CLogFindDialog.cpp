#include "gui/log/CLogFindDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CLogFindDialog::CLogFindDialog(const QString& text, bool matchCase, QWidget* parent)
    : QDialog(parent), m_text(new QLineEdit(text, this)), m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this))
{
    setWindowTitle(QStringLiteral("Find"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    m_matchCase->setChecked(matchCase);
    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    label->setBuddy(m_text);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* next = buttons->addButton(QStringLiteral("&Find Next"), QDialogButtonBox::ActionRole);
    next->setDefault(true);
    next->setEnabled(!text.isEmpty());
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(m_text, &QLineEdit::textChanged, next, [next](const QString& t) { next->setEnabled(!t.isEmpty()); });
    connect(next, &QPushButton::clicked, this, &CLogFindDialog::findNext);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_matchCase);
    layout->addWidget(buttons);
    m_text->selectAll();
}

QString CLogFindDialog::FindText() const
{
    return m_text->text();
}

bool CLogFindDialog::MatchCase() const
{
    return m_matchCase->isChecked();
}

void CLogFindDialog::SetFindText(const QString& text)
{
    m_text->setText(text);
}

void CLogFindDialog::SetMatchCase(bool matchCase)
{
    m_matchCase->setChecked(matchCase);
}
