#include "gui/procmail/CISetupWizMail.h"

#include "core/procmail/CInitialSetup.h"
#include "gui/common/CHyperLink.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CISetupWizMail::CISetupWizMail(QWidget* parent)
    : QWidget(parent)
{
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_modify = new QPushButton(QStringLiteral("Modify Setup"), this);
    m_modify->setAutoDefault(false);
    m_link = new CHyperLink(this);
    m_link->setObjectName(QStringLiteral("sendTestLink"));
    m_link->setText(QStringLiteral("Send Test Message"));
    m_mailtoFailed = new QPushButton(QStringLiteral("Mailto Link Failed"), this);
    m_mailtoFailed->setAutoDefault(false);
    m_alreadySetUp = new QCheckBox(
        QStringLiteral("I have already setup procmail myself (for advanced users only)"), this);
    connect(m_mailtoFailed, &QPushButton::clicked, this, [] { CInitialSetup::TellMailtoFailed(); });

    auto* row = new QHBoxLayout;
    row->addWidget(m_modify);
    row->addStretch();
    row->addWidget(m_link);
    row->addStretch();
    row->addWidget(m_mailtoFailed);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(row);
    layout->addWidget(m_alreadySetUp);
}

bool CISetupWizMail::Refresh()
{
    const QStringList missing = CInitialSetup::MissingItems();
    m_link->SetURL(CInitialSetup::MailtoLink());
    m_link->setText(QStringLiteral("Send Test Message"));
    const bool complete = missing.isEmpty();
    m_alreadySetUp->setEnabled(complete);
    m_link->setVisible(complete);
    m_mailtoFailed->setVisible(complete);
    m_text->setPlainText(CInitialSetup::PageText(missing));
    return complete;
}
