#include "gui/procmail/CManPgSheet.h"

#include "core/common/Prompt.h"
#include "core/procmail/ManPageFiles.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"
#include "gui/procmail/CManPgConnect.h"
#include "gui/procmail/CManPgFiles.h"
#include "gui/procmail/CManPgSendMsgDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

CManPgSheet::CManPgSheet(bool versionMode, CTempRecipeTask::BeforeOverwrite beforeOverwrite, QWidget* parent)
    : QDialog(parent)
    , m_versionMode(versionMode)
    , m_selection(ManPageFiles::Count, false)
    , m_task(m_host)
{
    m_task.SetBeforeOverwrite(std::move(beforeOverwrite));
    m_wait = [this](const QStringList& downloads) {
        CManPgSendMsgDlg dialog(m_task, downloads, this);
        return dialog.exec() == QDialog::Accepted;
    };
    setWindowTitle(versionMode ? QStringLiteral("Procmail version") : QStringLiteral("Procmail man pages"));
    SetHelpTopic(this, QStringLiteral("manPgOverview.html"));

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("pageTitle"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_pages = new QStackedWidget(this);
    m_files = new CManPgFiles(m_pages);
    m_connect = new CManPgConnect(m_pages);
    m_pages->addWidget(m_files);
    m_pages->addWidget(m_connect);

    m_back = new QPushButton(QStringLiteral("< &Back"), this);
    m_next = new QPushButton(QStringLiteral("&Next >"), this);
    m_finish = new QPushButton(QStringLiteral("Finish"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    m_finish->setEnabled(false);
    connect(m_back, &QPushButton::clicked, this, &CManPgSheet::Back);
    connect(m_next, &QPushButton::clicked, this, &CManPgSheet::Next);
    connect(m_connect->ConnectButton(), &QPushButton::clicked, this, &CManPgSheet::Connect);
    connect(cancel, &QPushButton::clicked, this, &CManPgSheet::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        ShowHelpTopic(this,
            m_pages->currentWidget() == m_files ? QStringLiteral("manPgFiles.html")
                                                : QStringLiteral("manPgConnect.html"));
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : { m_back, m_next, m_finish, cancel, help })
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    if (versionMode) {
        showConnectPage();
    } else {
        m_title->setText(QStringLiteral("Select Manuals To Retrieve"));
        m_pages->setCurrentWidget(m_files);
        m_back->hide();
    }
}

void CManPgSheet::Next()
{
    m_selection = m_files->Selection();
    if (!m_selection.contains(true)) {
        Prompt::Tell(
            QStringLiteral("No files are selected.  Either select one or more files, or hit cancel."),
            QStringLiteral("No Files Selected"), Prompt::Information);
        return;
    }
    showConnectPage();
}

void CManPgSheet::Back()
{
    if (m_versionMode)
        return;
    m_title->setText(QStringLiteral("Select Manuals To Retrieve"));
    m_pages->setCurrentWidget(m_files);
    m_back->hide();
    m_next->show();
}

void CManPgSheet::showConnectPage()
{
    const int count = m_versionMode ? 1 : int(m_selection.count(true));
    m_connect->SetTexts(m_versionMode, count);
    m_title->setText(CManPgConnect::TabText(m_versionMode, count));
    m_pages->setCurrentWidget(m_connect);
    m_next->hide();
    m_back->setVisible(!m_versionMode);
    m_connect->AddressEdit()->setFocus();
}

void CManPgSheet::Connect()
{
    ManPageFiles::Request request;
    request.versionMode = m_versionMode;
    request.selected = m_selection;
    request.fromAddress = m_connect->AddressEdit()->text().trimmed().toUtf8();
    request.verbose = GetSetting(Settings::VerboseOn) != 0;
    request.logging = GetSetting(Settings::LoggingOn) != 0;
    const bool done = m_task.RunManPages(request, m_wait);
    m_host.Disconnect();
    if (done) {
        accept();
        return;
    }
    if (request.fromAddress.isEmpty())
        m_connect->AddressEdit()->setFocus();
}
