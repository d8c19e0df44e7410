#include "gui/common/CCertificateDlg.h"

#include "gui/common/Help.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const char* const HelpTopic = "secureConnections.html";

} // namespace

bool CCertificateDlg::Ask(
    const QString& server, const TlsCertificate& certificate, const QByteArray& pinned, QWidget* parent)
{
    Prompt::Record record;
    QString caption;
    const QString refusal = certificate.RefusalText(server, pinned, &caption);
    record.caption = caption;
    record.text = refusal
        + (pinned.isEmpty()
                ? QStringLiteral(
                    "\n\nTrust this certificate?  Its fingerprint is kept for this identity, and later "
                    "connections accept only this certificate or one that verifies.")
                : QStringLiteral("\n\nReplace the trusted certificate only if the server's administrator has "
                                 "confirmed the new fingerprint to you."));
    record.icon = pinned.isEmpty() ? Prompt::Warning : Prompt::Stop;
    record.buttons = Prompt::Yes | Prompt::Cancel;
    record.defaultButton = Prompt::Cancel;
    record.helpTopic = QLatin1String(HelpTopic);
    const Prompt::Button answer = Prompt::Ask(record, [&](const Prompt::Record& r) {
        CCertificateDlg dialog(r, !pinned.isEmpty(), parent ? parent : QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted ? Prompt::Yes : Prompt::Cancel;
    });
    return answer == Prompt::Yes;
}

CCertificateDlg::CCertificateDlg(const Prompt::Record& record, bool changed, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CertificateDlg"));
    setWindowTitle(record.caption);
    SetHelpTopic(this, record.helpTopic);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(style()
                        ->standardIcon(changed ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning)
                        .pixmap(48, 48));
    top->addWidget(icon, 0, Qt::AlignTop);
    // The first paragraph is the verdict and the last the question; the details between them go
    // in a fixed font so that the fingerprints line up for comparing.
    const qsizetype cut = record.text.indexOf(QStringLiteral("\n\n"));
    const qsizetype last = record.text.lastIndexOf(QStringLiteral("\n\n"));
    auto* headline = new QLabel(record.text.left(cut) + record.text.mid(last), this);
    headline->setWordWrap(true);
    if (changed) {
        QFont bold = headline->font();
        bold.setBold(true);
        headline->setFont(bold);
    }
    top->addWidget(headline, 1);
    layout->addLayout(top);
    auto* details = new QPlainTextEdit(record.text.mid(cut + 2, last - cut - 2), this);
    details->setObjectName(QStringLiteral("details"));
    details->setReadOnly(true);
    details->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    details->setMinimumSize(640, 180);
    layout->addWidget(details);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    m_trust = buttons->addButton(
        changed ? QStringLiteral("&Replace trusted certificate") : QStringLiteral("&Trust this certificate"),
        QDialogButtonBox::AcceptRole);
    m_trust->setObjectName(QStringLiteral("trust"));
    if (changed) {
        m_confirm = new QCheckBox(
            QStringLiteral("I have checked the new fingerprint and want to replace the trusted one"), this);
        m_confirm->setObjectName(QStringLiteral("confirm"));
        layout->addWidget(m_confirm);
        m_trust->setEnabled(false);
        connect(m_confirm, &QCheckBox::toggled, m_trust, &QPushButton::setEnabled);
    }
    layout->addWidget(buttons);
    m_trust->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Cancel)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
        [this, record] { ShowHelpTopic(this, record.helpTopic); });
}
