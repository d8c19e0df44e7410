#include "gui/common/CWizardFrame.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

CWizardFrame::CWizardFrame(QWidget* parent)
    : QDialog(parent)
    , m_title(new QLabel(this))
    , m_pages(new QStackedWidget(this))
    , m_back(new QPushButton(QStringLiteral("< &Back"), this))
    , m_next(new QPushButton(QStringLiteral("&Next >"), this))
    , m_finish(new QPushButton(QStringLiteral("Finish"), this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
    , m_help(new QPushButton(QStringLiteral("Help"), this))
{
    m_title->setObjectName(QStringLiteral("pageTitle"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setWordWrap(true);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_help);
    buttons->addStretch(1);
    for (QPushButton* button : { m_back, m_next, m_finish, m_cancel })
        buttons->addWidget(button);
    for (QPushButton* button : { m_back, m_next, m_finish, m_cancel, m_help })
        button->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_pages, 1);
    layout->addWidget(rule);
    layout->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}
