#include "gui/net/CFtpProgressDlg.h"

#include "core/net/CRemoteHost.h"
#include "core/settings/Profile.h"
#include "gui/common/CCertificateDlg.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/Help.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QPointer<CFtpProgressDlg> g_current;

} // namespace

CFtpProgressDlg::CFtpProgressDlg(QWidget* parent, bool detailsAllowed)
    : QDialog(parent)
    , m_detailsAllowed(detailsAllowed)
{
    setObjectName(QStringLiteral("FtpProgressDlg"));
    setWindowModality(Qt::ApplicationModal);
    m_title = QStringLiteral("Progress");
    setWindowTitle(m_title);
    auto* layout = new QVBoxLayout(this);
    m_message = new QLabel(QStringLiteral("Working, please wait...."), this);
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(380);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_message);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    layout->addWidget(m_bar);
    auto* buttons = new QHBoxLayout;
    m_details = new QPushButton(QStringLiteral("Show Details >>"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setDefault(true);
    buttons->addWidget(m_details);
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setMinimumHeight(160);
    m_log->setAccessibleName(QStringLiteral("FTP log"));
    layout->addWidget(m_log);
    connect(m_cancel, &QPushButton::clicked, this, &CFtpProgressDlg::reject);
    connect(m_details, &QPushButton::clicked, this, [this] { setExpanded(!DetailsShown()); });
    SetHelpTopic(this, QStringLiteral("dlgFtpProgress.html"));
    if (m_detailsAllowed) {
        setExpanded(GetSetting(Settings::ExpandFtpDialog) != 0);
    } else {
        m_details->hide();
        m_log->hide();
    }
}

CFtpProgressDlg::~CFtpProgressDlg()
{
    if (m_detailsAllowed)
        SetSetting(Settings::ExpandFtpDialog, DetailsShown() ? 1 : 0);
}

bool CFtpProgressDlg::DetailsShown() const
{
    return m_detailsAllowed && !m_log->isHidden();
}

void CFtpProgressDlg::setExpanded(bool expanded)
{
    m_log->setVisible(expanded);
    m_details->setText(expanded ? QStringLiteral("<< Hide Details") : QStringLiteral("Show Details >>"));
    adjustSize();
}

void CFtpProgressDlg::SetTitle(const QString& title, bool withPercent)
{
    m_title = title;
    m_titleWithPercent = withPercent;
    setWindowTitle(withPercent ? QStringLiteral("%1  [%2%]").arg(title).arg(m_bar->value()) : title);
}

void CFtpProgressDlg::SetMessage(const QString& message)
{
    m_message->setText(message);
}

QString CFtpProgressDlg::MessageText() const
{
    return m_message->text();
}

void CFtpProgressDlg::SetPos(int percent)
{
    m_bar->setValue(std::clamp(percent, 0, 100));
    if (m_titleWithPercent)
        SetTitle(m_title, true);
}

void CFtpProgressDlg::AppendLog(const QString& line)
{
    m_log->appendPlainText(line);
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

void CFtpProgressDlg::reject()
{
    // Cancel is taken by the waiting operation, which ends the connection and closes the window.
    m_canceled = true;
    m_cancel->setEnabled(false);
}

void CFtpProgressDlg::closeEvent(QCloseEvent* event)
{
    m_canceled = true;
    event->ignore();
}

namespace {

class ProgressWindow : public CFtpProgressUi
{
public:
    ~ProgressWindow() override { Destroy(); }
    bool Create(bool withDetails) override
    {
        Destroy();
        m_dialog = new CFtpProgressDlg(QApplication::activeWindow(), withDetails);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        m_dialog->show();
        g_current = m_dialog;
        return true;
    }
    void Destroy() override
    {
        if (m_dialog) {
            delete m_dialog.data();
            m_dialog = nullptr;
        }
    }
    bool Exists() const override { return !m_dialog.isNull(); }
    void SetTitle(const QString& title) override
    {
        if (m_dialog)
            m_dialog->SetTitle(title);
    }
    void SetMessage(const QString& message) override
    {
        if (m_dialog)
            m_dialog->SetMessage(message);
    }
    void SetPos(int percent) override
    {
        if (m_dialog)
            m_dialog->SetPos(percent);
    }
    bool CheckCancel() override
    {
        QCoreApplication::processEvents();
        return !m_dialog || m_dialog->IsCanceled();
    }
    void AppendLog(const QString& line) override
    {
        if (m_dialog)
            m_dialog->AppendLog(line);
    }

private:
    QPointer<CFtpProgressDlg> m_dialog;
};

} // namespace

namespace RemoteHostUi {

void Install()
{
    CFtpClient::SetProgressUiFactory([] { return std::make_unique<ProgressWindow>(); });
    CRemoteHost::SetCertificateAsker(
        [](const QString& server, const TlsCertificate& certificate, const QByteArray& pinned) {
            return CCertificateDlg::Ask(server, certificate, pinned, QApplication::activeWindow());
        });
    CRemoteHost::SetPasswordAsker([](QString* password) {
        // The dialog itself refuses an empty entry.
        QString text;
        CInputDlg dialog(QStringLiteral("FTP password"),
            QStringLiteral("Password for %1 on %2:")
                .arg(GetSettingString(Settings::UserName), GetSettingString(Settings::Host)),
            &text, QString(), nullptr, QApplication::activeWindow(), true);
        dialog.setObjectName(QStringLiteral("FtpPasswordDlg"));
        if (dialog.exec() != QDialog::Accepted || text.isEmpty())
            return false;
        *password = text;
        return true;
    });
}

CFtpProgressDlg* CurrentProgressDialog()
{
    return g_current.data();
}

} // namespace RemoteHostUi
