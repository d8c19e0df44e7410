#include "gui/procmail/CDisableProcmailDlg.h"

#include "gui/common/Help.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString HelpTopic = QStringLiteral("dlgDisable.html");

} // namespace

CDisableProcmailDlg::CDisableProcmailDlg(QWidget* parent)
    : QDialog(parent)
    , m_disabler(m_host)
{
    setWindowTitle(QStringLiteral("Disable procmail"));
    SetHelpTopic(this, HelpTopic);
    auto* text = new QLabel(
        QStringLiteral(
            "If your ISP required you to perform any custom steps to start procmail filtering you should "
            "also reverse those steps.  For example, if your ISP required you to use a web interface to "
            "setup procmail filtering, you should return to their web site to disable filtering."),
        this);
    text->setWordWrap(true);
    m_disable = new QPushButton(QStringLiteral("Temporarily disable procmail"), this);
    m_enable = new QPushButton(QStringLiteral("Re-enable procmail"), this);
    m_deleteAll = new QPushButton(QStringLiteral("Delete all remote ZEPH procmail files"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    connect(m_disable, &QPushButton::clicked, this, [this] { m_disabler.Disable(); });
    connect(m_enable, &QPushButton::clicked, this, [this] { m_disabler.Enable(); });
    connect(m_deleteAll, &QPushButton::clicked, this, [this] { m_disabler.DeleteAll(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    for (QPushButton* b : { m_disable, m_enable, m_deleteAll, close, help })
        layout->addWidget(b);
}
