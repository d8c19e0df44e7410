#include "gui/mail/CSendMailDlg.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CTestMailJob.h"
#include "core/net/SavedPassword.h"
#include "core/settings/Profile.h"
#include "gui/common/CCertificateDlg.h"
#include "gui/common/CCheckQuestionDlg.h"
#include "gui/common/CMessageLine.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/common/Help.h"
#include "gui/mail/CSmtpConfigDlg.h"
#include "gui/mail/WorkerWait.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>
#include <thread>

namespace {

constexpr int CustomIds[CSendMailDlg::CustomCount] = { CSendMailDlg::Custom1Id, CSendMailDlg::Custom2Id,
    CSendMailDlg::Custom3Id, CSendMailDlg::Custom4Id, CSendMailDlg::Custom5Id };
// How long the dialog still waits for the outcome once the user cancelled: every wait of the
// send wakes at a cancel, so it comes at once unless a name lookup holds the worker.
constexpr int CancelGraceMs = 3000;
const QColor HighlightColour(0, 96, 0);

} // namespace

CSendMailDlg::CSendMailDlg(QWidget* parent)
    : CResizingDialog(209, parent, QString(), 1.0)
{
    setWindowTitle(QStringLiteral("Send E-Mail Dialog"));
    SetHelpTopic(this, QStringLiteral("rTestMailDlg.html"));
    auto* layout = new QVBoxLayout(this);

    auto makeField = [this](const char* name, int id) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        connect(edit, &QLineEdit::textEdited, this, [this, id] { m_lastModified = id; });
        return edit;
    };
    auto* envelope = new QGroupBox(QStringLiteral("Envelope (where the message goes)"), this);
    auto* envelopeForm = new QFormLayout(envelope);
    m_envelopeFrom = makeField("envelopeFrom", EnvelopeFromId);
    m_envelopeTo = makeField("envelopeTo", EnvelopeToId);
    envelopeForm->addRow(QStringLiteral("Envelope &From:"), m_envelopeFrom);
    envelopeForm->addRow(QStringLiteral("Envelope &To:"), m_envelopeTo);
    layout->addWidget(envelope);

    auto* headers = new QGroupBox(QStringLiteral("Headers (written into the message as typed)"), this);
    auto* headerForm = new QFormLayout(headers);
    m_to = makeField("toHeader", ToId);
    m_from = makeField("fromHeader", FromId);
    m_subject = makeField("subject", SubjectId);
    headerForm->addRow(QStringLiteral("T&o:"), m_to);
    headerForm->addRow(QStringLiteral("Fro&m:"), m_from);
    headerForm->addRow(QStringLiteral("S&ubject:"), m_subject);
    for (int i = 0; i < CustomCount; ++i) {
        m_custom.append(makeField(qPrintable(QStringLiteral("custom%1").arg(i + 1)), CustomIds[i]));
        headerForm->addRow(QStringLiteral("Custom %1:").arg(i + 1), m_custom.last());
    }
    layout->addWidget(headers);

    auto* options = new QHBoxLayout;
    m_addDate = new QCheckBox(QStringLiteral("Add &date header"), this);
    m_addDate->setObjectName(QStringLiteral("addDate"));
    m_closeOnSend = new QCheckBox(QStringLiteral("&Close dialog after sending msg"), this);
    m_closeOnSend->setObjectName(QStringLiteral("closeOnSend"));
    options->addWidget(m_addDate);
    options->addWidget(m_closeOnSend);
    options->addStretch();
    layout->addLayout(options);

    layout->addWidget(new QLabel(QStringLiteral("Message &Body:"), this));
    m_body = new QPlainTextEdit(this);
    m_body->setObjectName(QStringLiteral("body"));
    layout->addWidget(m_body, 1);
    m_status = new CMessageLine(this);
    m_status->setObjectName(QStringLiteral("status"));
    layout->addWidget(m_status);

    auto* buttons = new QDialogButtonBox(this);
    auto* send = buttons->addButton(QStringLiteral("&Send Message"), QDialogButtonBox::ActionRole);
    send->setObjectName(QStringLiteral("send"));
    auto* clear = buttons->addButton(QStringLiteral("Clear &Headers"), QDialogButtonBox::ActionRole);
    clear->setObjectName(QStringLiteral("clearHeaders"));
    m_configure = buttons->addButton(QStringLiteral("Con&figuration"), QDialogButtonBox::ActionRole);
    m_configure->setObjectName(QStringLiteral("configuration"));
    buttons->addButton(QDialogButtonBox::Close);
    buttons->addButton(QDialogButtonBox::Help);
    connect(send, &QPushButton::clicked, this, &CSendMailDlg::Send);
    connect(clear, &QPushButton::clicked, this, &CSendMailDlg::ClearHeaders);
    connect(m_configure, &QPushButton::clicked, this, &CSendMailDlg::Configure);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSendMailDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
        [this] { ShowHelpTopic(this, QStringLiteral("rTestMailDlg.html")); });
    layout->addWidget(buttons);

    m_envelopeFrom->setText(GetSettingString(Settings::MailEnvelopeFrom));
    m_envelopeTo->setText(GetSettingString(Settings::MailEnvelopeTo));
    m_to->setText(GetSettingString(Settings::MailToHeader));
    m_from->setText(GetSettingString(Settings::MailFromHeader));
    m_subject->setText(GetSettingString(Settings::MailSubject));
    for (int i = 0; i < CustomCount; ++i)
        m_custom[i]->setText(GetSettingString({ Settings::MailCustomHeader, QString::number(i + 1) }));
    m_body->setPlainText(GetSettingString(Settings::MailBody));
    m_addDate->setChecked(GetSetting(Settings::MailAddDateHeader) != 0);
    m_closeOnSend->setChecked(GetSetting(Settings::MailCloseOnSend) != 0);
    if (GetSetting(Settings::SaveSmtpPassword) != 0)
        m_password = SavedPassword::Smtp().Load();
    m_lastModified = GetSetting(Settings::MailLastHeaderModified);
    QLineEdit* focus = field(m_lastModified);
    if (!focus)
        focus = m_envelopeFrom;
    focus->setFocus();
    focus->selectAll();
}

QLineEdit* CSendMailDlg::field(int id) const
{
    switch (id) {
    case EnvelopeFromId:
        return m_envelopeFrom;
    case EnvelopeToId:
        return m_envelopeTo;
    case ToId:
        return m_to;
    case FromId:
        return m_from;
    case SubjectId:
        return m_subject;
    default:
        for (int i = 0; i < CustomCount; ++i) {
            if (CustomIds[i] == id)
                return m_custom[i];
        }
        return nullptr;
    }
}

QString CSendMailDlg::StatusText() const
{
    return m_status->text();
}

void CSendMailDlg::setStatus(const QString& text, bool highlighted)
{
    m_status->SetTextColour(highlighted ? HighlightColour : QColor(Qt::black));
    m_status->setText(text);
}

TestMail::Message CSendMailDlg::message() const
{
    TestMail::Message message;
    message.envelopeFrom = m_envelopeFrom->text();
    message.envelopeTo = m_envelopeTo->text();
    message.to = m_to->text();
    message.from = m_from->text();
    message.subject = m_subject->text();
    for (QLineEdit* custom : m_custom)
        message.custom.append(custom->text());
    message.addDate = m_addDate->isChecked();
    message.body = m_body->toPlainText().toUtf8();
    return message;
}

void CSendMailDlg::focusProblem(const TestMail::Problem& problem)
{
    QWidget* target = nullptr;
    switch (problem.field) {
    case TestMail::Field::Configuration:
        target = m_configure;
        break;
    case TestMail::Field::EnvelopeFrom:
        target = m_envelopeFrom;
        break;
    case TestMail::Field::EnvelopeTo:
        target = m_envelopeTo;
        break;
    case TestMail::Field::To:
        target = m_to;
        break;
    case TestMail::Field::From:
        target = m_from;
        break;
    case TestMail::Field::Subject:
        target = m_subject;
        break;
    case TestMail::Field::Custom:
        target = m_custom.value(problem.customIndex);
        break;
    case TestMail::Field::None:
        break;
    }
    if (target)
        target->setFocus();
}

void CSendMailDlg::Send()
{
    if (GetSetting(Settings::MailWarnOnSend) != 0) {
        bool dontWarn = false;
        const Prompt::Button answer = CCheckQuestionDlg::Ask(
            QStringLiteral(
                "Regardless of any \"To:\", \"Cc:\", or \"Bcc:\" fields you enter the only address the "
                "message will be sent to is the address in the \"Envelope To:\" box.  Would you like to "
                "edit your entries?"),
            QStringLiteral("Edit your entries?"), QStringLiteral("Don't warn me about this again."),
            &dontWarn, this, QString(), CCheckQuestionDlg::YesNoCancel);
        if (answer != Prompt::Cancel)
            SetSetting(Settings::MailWarnOnSend, dontWarn ? 0 : 1);
        if (answer != Prompt::No)
            return;
    }
    sendNow();
}

void CSendMailDlg::sendNow()
{
    setStatus(QStringLiteral("Attempting to send message, please wait...."), false);

    TestMail::Account account = TestMail::Account::FromSettings();
    account.password = m_password;
    auto job = std::make_shared<CTestMailJob>(account, message());
    if (!job->Prepare(Clock::Now())) {
        const CTestMailJob::Result& result = job->GetResult();
        setStatus(QString(), false);
        Prompt::Tell(result.text, result.caption, result.icon);
        focusProblem(result.problem);
        return;
    }
    {
        CWorkingDlg working(this, QStringLiteral("Sending message"),
            QStringLiteral("Attempting to send message, please wait...."), true);
        working.Create();
        try {
            std::thread([job] { job->Run(); }).detach();
        } catch (...) {
            setStatus(QString(), false);
            Prompt::Tell(QStringLiteral("Error sending message.  No thread could be started for it."),
                QStringLiteral("Error sending message"), Prompt::Information);
            return;
        }
        QString shown;
        WaitForWorker(
            working, [&job] { return !job->Done(); }, [&job] { job->Cancel(); },
            [&] {
                working.SetPos(job->Percent());
                const QString status = job->Status();
                if (status != shown) {
                    shown = status;
                    setStatus(status, true);
                }
            },
            CancelGraceMs);
    }
    if (!job->Done()) {
        // The worker keeps the job alive until it ends; nothing of it reaches this dialog.
        setStatus(QStringLiteral("Canceled: the outcome of the send is unknown."), false);
        return;
    }
    const CTestMailJob::Result& result = job->GetResult();
    switch (result.outcome) {
    case CTestMailJob::Result::Sent:
        setStatus(result.text, true);
        if (m_closeOnSend->isChecked())
            accept();
        break;
    case CTestMailJob::Result::Canceled:
        setStatus(result.text, false);
        break;
    default:
        setStatus(QString(), false);
        if (result.certificate.IsNull()) {
            Prompt::Tell(result.text, result.caption, result.icon);
        } else if (CCertificateDlg::Ask(
                       result.pinKey.section(QLatin1Char(' '), 1), result.certificate, result.pinned, this)) {
            // Trusted now: the pin goes with the identity, and the send starts over.
            SetSetting(
                { Settings::TlsPin, result.pinKey }, QString::fromLatin1(result.certificate.fingerprint));
            sendNow();
        }
        break;
    }
}

void CSendMailDlg::ClearHeaders()
{
    for (QLineEdit* edit : { m_envelopeFrom, m_envelopeTo, m_to, m_from, m_subject })
        edit->clear();
    for (QLineEdit* edit : std::as_const(m_custom))
        edit->clear();
}

void CSendMailDlg::Configure()
{
    CSmtpConfigDlg dialog(m_password, this);
    if (dialog.exec() == QDialog::Accepted)
        m_password = dialog.Password();
}

void CSendMailDlg::store()
{
    SetSetting(Settings::MailEnvelopeFrom, m_envelopeFrom->text());
    SetSetting(Settings::MailEnvelopeTo, m_envelopeTo->text());
    SetSetting(Settings::MailToHeader, m_to->text());
    SetSetting(Settings::MailFromHeader, m_from->text());
    SetSetting(Settings::MailSubject, m_subject->text());
    for (int i = 0; i < CustomCount; ++i)
        SetSetting({ Settings::MailCustomHeader, QString::number(i + 1) }, m_custom[i]->text());
    SetSetting(Settings::MailBody, m_body->toPlainText().left(StoredBodyLength));
    SetSetting(Settings::MailAddDateHeader, m_addDate->isChecked() ? 1 : 0);
    SetSetting(Settings::MailCloseOnSend, m_closeOnSend->isChecked() ? 1 : 0);
    SetSetting(Settings::MailLastHeaderModified, m_lastModified);
}

void CSendMailDlg::done(int result)
{
    store();
    CResizingDialog::done(result);
}
