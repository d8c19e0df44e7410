#include "gui/procmail/CSetupTestDlg.h"

#include "core/procmail/CInitialSetup.h"
#include "gui/common/CHyperLink.h"
#include "gui/common/Help.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

const QString HelpTopic = QStringLiteral("iSetupWizThree.html");

} // namespace

CSetupTestDlg::CSetupTestDlg(CInitialSetup& setup, QWidget* parent)
    : QDialog(parent)
    , m_setup(setup)
{
    setWindowTitle(QStringLiteral("Setup Test"));
    SetHelpTopic(this, HelpTopic);
    m_text = new QPlainTextEdit(m_setup.TestText(), this);
    m_text->setReadOnly(true);
    m_link = new CHyperLink(this);
    m_link->setObjectName(QStringLiteral("sendTestLink"));
    // A link label shows an ampersand as it is; Alt+S opens the link instead.
    m_link->setText(QStringLiteral("Send Test Message"));
    auto* openLink = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_S), this);
    connect(openLink, &QShortcut::activated, m_link, &CHyperLink::Open);
    m_link->SetURL(CInitialSetup::MailtoLink());

    const auto button = [this](const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        return b;
    };
    m_mailtoFailed = button(QStringLiteral("&Mailto Link Failed"));
    m_received = button(QStringLiteral("I &received my test message"));
    m_notReceived = button(QStringLiteral("I did &not receive my test message"));
    m_cancel = button(QStringLiteral("&Cancel"));
    m_close = button(QStringLiteral("C&lose"));
    QPushButton* help = button(QStringLiteral("&Help"));

    connect(m_mailtoFailed, &QPushButton::clicked, this, [] { CInitialSetup::TellMailtoFailed(); });
    connect(m_received, &QPushButton::clicked, this, &CSetupTestDlg::received);
    connect(m_notReceived, &QPushButton::clicked, this, [this] {
        m_setup.MailNotReceived();
        QDialog::reject();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_setup.CancelTest();
        QDialog::reject();
    });
    connect(m_close, &QPushButton::clicked, this, &CSetupTestDlg::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });

    auto* mailRow = new QHBoxLayout;
    mailRow->addWidget(m_link);
    mailRow->addStretch();
    mailRow->addWidget(m_mailtoFailed);
    auto* answers = new QHBoxLayout;
    answers->addWidget(m_received);
    answers->addWidget(m_notReceived);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : { m_cancel, m_close, help })
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(mailRow);
    layout->addLayout(answers);
    layout->addLayout(buttons);
    resize(560, 380);
}

void CSetupTestDlg::received()
{
    switch (m_setup.MailReceived()) {
    case CInitialSetup::TestEnd::StayOpen:
        return;
    case CInitialSetup::TestEnd::Succeeded:
        accept();
        return;
    case CInitialSetup::TestEnd::Failed:
        QDialog::reject();
        return;
    }
}

void CSetupTestDlg::reject()
{
    // "Close", Esc and the close box: the uploads may still be on the host.
    m_setup.CloseTest();
    QDialog::reject();
}

void CSetupTestDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
