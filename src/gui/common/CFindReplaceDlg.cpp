#include "gui/common/CFindReplaceDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CFindReplaceDlg::CFindReplaceDlg(bool replace, const QString& initialText, QWidget* parent)
    : QDialog(parent)
    , m_find(new QLineEdit(initialText, this))
    , m_case(new QCheckBox(QStringLiteral("Match &case"), this))
    , m_word(new QCheckBox(QStringLiteral("Match &whole word only"), this))
    , m_down(new QRadioButton(QStringLiteral("&Down"), this))
    , m_findNext(new QPushButton(QStringLiteral("&Find Next"), this))
{
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(m_find);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_find, 0, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    m_findNext->setDefault(true);
    if (replace) {
        m_replace = new QLineEdit(this);
        auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
        replaceLabel->setBuddy(m_replace);
        grid->addWidget(replaceLabel, 1, 0);
        grid->addWidget(m_replace, 1, 1);
        m_replaceOne = new QPushButton(QStringLiteral("&Replace"), this);
        m_replaceAll = new QPushButton(QStringLiteral("Replace &All"), this);
        buttons->addWidget(m_replaceOne);
        buttons->addWidget(m_replaceAll);
        connect(m_replaceOne, &QPushButton::clicked, this, &CFindReplaceDlg::ReplaceOne);
        connect(m_replaceAll, &QPushButton::clicked, this, &CFindReplaceDlg::ReplaceAll);
    }
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 4, 1);
    grid->addWidget(m_word, 2, 0, 1, 2);
    grid->addWidget(m_case, 3, 0, 1, 2);
    if (!replace) {
        m_direction = new QGroupBox(QStringLiteral("Direction"), this);
        auto* row = new QHBoxLayout(m_direction);
        auto* up = new QRadioButton(QStringLiteral("&Up"), m_direction);
        row->addWidget(up);
        row->addWidget(m_down);
        grid->addWidget(m_direction, 4, 0, 1, 2);
    } else {
        m_down->hide(); // Replace always searches down; the button is in no layout
    }
    m_down->setChecked(true);
    // The boxes first, top to bottom, then the buttons: not the order the widgets were made in.
    const QList<QWidget*> order { m_find, m_replace, m_word, m_case, replace ? nullptr : m_down, m_findNext,
        m_replaceOne, m_replaceAll, cancel };
    QWidget* previous = nullptr;
    for (QWidget* next : order) {
        if (!next)
            continue;
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }
    connect(m_findNext, &QPushButton::clicked, this, &CFindReplaceDlg::FindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(m_find, &QLineEdit::textChanged, this, &CFindReplaceDlg::updateButtons);
    m_find->selectAll();
    updateButtons();
}

QString CFindReplaceDlg::FindText() const
{
    return m_find->text();
}
QString CFindReplaceDlg::ReplaceText() const
{
    return m_replace ? m_replace->text() : QString();
}
bool CFindReplaceDlg::MatchCase() const
{
    return m_case->isChecked();
}
bool CFindReplaceDlg::WholeWord() const
{
    return !m_word->isHidden() && m_word->isChecked();
}
bool CFindReplaceDlg::SearchDown() const
{
    return !m_direction || m_direction->isHidden() || m_down->isChecked();
}

void CFindReplaceDlg::SetWholeWordAvailable(bool available)
{
    m_word->setVisible(available);
    adjustSize();
}

void CFindReplaceDlg::SetDirectionAvailable(bool available)
{
    if (m_direction) {
        m_direction->setVisible(available);
        adjustSize();
    }
}

void CFindReplaceDlg::SetFindText(const QString& text)
{
    m_find->setText(text);
    m_find->selectAll();
}

void CFindReplaceDlg::SetMatchCase(bool matchCase)
{
    m_case->setChecked(matchCase);
}

void CFindReplaceDlg::updateButtons()
{
    const bool any = !m_find->text().isEmpty();
    m_findNext->setEnabled(any);
    if (m_replaceOne)
        m_replaceOne->setEnabled(any);
    if (m_replaceAll)
        m_replaceAll->setEnabled(any);
}
