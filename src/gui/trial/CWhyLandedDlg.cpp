#include "gui/trial/CWhyLandedDlg.h"

#include "core/trial/CTrialRun.h"
#include "core/trial/SampleMessage.h"
#include "core/trial/TrialRecipes.h"
#include "gui/common/Help.h"
#include "gui/trial/CTrialResultView.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const QString kTopic = QStringLiteral("whyLanded.html");

// The folder part of a delivery: a maildir's "new/NAME" or "cur/NAME" and the trailing slash go.
QString FolderPart(QString path)
{
    static const QRegularExpression maildirFile(QStringLiteral("/(new|cur)/[^/]+$"));
    path.remove(maildirFile);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QLabel* Value(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text.isEmpty() ? QStringLiteral("(not logged)") : text, parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

CWhyLandedDlg::CWhyLandedDlg(const IShell::LoggedMail& mail, const QByteArray& recipeText, QWidget* parent)
    : CResizingDialog(0, parent, QStringLiteral("Why did this land here"), 1.0)
    , m_mail(mail)
    , m_worker(new CTrialWorker(this))
    , m_logSide(new QLabel(this))
    , m_verdict(new QLabel(this))
    , m_result(new CTrialResultView(this))
{
    setWindowTitle(QStringLiteral("Why Did This Land Here?"));
    SetHelpTopic(this, kTopic);

    auto* logBox = new QGroupBox(QStringLiteral("What the log says"), this);
    auto* form = new QFormLayout(logBox);
    form->addRow(QStringLiteral("Recipe:"), Value(mail.recipe, logBox));
    form->addRow(QStringLiteral("Folder:"), Value(mail.folder, logBox));
    form->addRow(QStringLiteral("Size:"), Value(mail.size, logBox));
    form->addRow(QStringLiteral("Date:"), Value(mail.date, logBox));
    form->addRow(QStringLiteral("From:"), Value(mail.from, logBox));
    form->addRow(QStringLiteral("To:"), Value(mail.to, logBox));
    form->addRow(QStringLiteral("Subject:"), Value(mail.subject, logBox));
    form->addRow(QStringLiteral("Envelope sender:"), Value(mail.sender, logBox));
    m_logSide->setObjectName(QStringLiteral("logSide"));
    m_logSide->setWordWrap(true);
    m_logSide->setText(QStringLiteral("The log holds no body: the message tried has the logged header lines "
                                      "and filler text of the logged size."));
    form->addRow(m_logSide);
    auto* nowBox = new QGroupBox(QStringLiteral("What the recipes would do now"), this);
    auto* nowLayout = new QVBoxLayout(nowBox);
    nowLayout->addWidget(m_result);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(logBox);
    splitter->addWidget(nowBox);
    splitter->setStretchFactor(1, 2);

    m_verdict->setObjectName(QStringLiteral("verdict"));
    m_verdict->setWordWrap(true);
    m_verdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    help->setAutoDefault(false);
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_verdict);
    layout->addLayout(buttons);
    setMinimumSize(760, 520);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, kTopic); });

    const TrialRecipes recipes = TrialRecipes::FromFileText(recipeText);
    QSet<QByteArray> unknown;
    for (const CRecipeListEntry& entry : recipes.entries)
        if (!entry.disabled && TrialRecipes::TestsBody(entry.text))
            unknown.insert(entry.name);
    m_result->SetEntries(recipes.entries);
    m_result->SetUnknown(unknown);

    if (const QString missing = CTrialRun::Unavailable(); !missing.isEmpty()) {
        m_result->ShowNote(missing);
        m_verdict->setText(QStringLiteral("The recipes could not be tried: %1").arg(missing));
        return;
    }
    bool sizeKnown = false;
    const qint64 size = mail.size.trimmed().toLongLong(&sizeKnown);
    const QByteArray message
        = SampleMessage::FromLogEntry(mail.sender, mail.from, mail.to, mail.subject, sizeKnown ? size : 0);
    m_verdict->setText(QStringLiteral("procmail is reading the message..."));
    const bool anyUnknown = !unknown.isEmpty();
    m_worker->Start(recipes.text, message, [this, anyUnknown](const CTrialWorker::Outcome& outcome) {
        m_result->ShowOutcome(outcome);
        m_verdict->setText(VerdictText(m_mail.folder, outcome, anyUnknown));
    });
}

bool CWhyLandedDlg::SameFolder(const QString& logged, const QString& now)
{
    const QString a = FolderPart(logged.trimmed());
    const QString b = FolderPart(now.trimmed());
    // The run's default mailbox is "inbox"; ZEPH's .procmailrc leaves the host's own default, the
    // system mailbox, which the log names by its path.
    static const QRegularExpression systemMailbox(
        QStringLiteral("^/(var/mail|var/spool/mail|usr/spool/mail|usr/mail)/[^/]+$"));
    if (b == QLatin1String("inbox") && systemMailbox.match(a).hasMatch())
        return true;
    if (a.isEmpty() || b.isEmpty())
        return a == b;
    return a == b || a.endsWith(QLatin1Char('/') + b) || b.endsWith(QLatin1Char('/') + a);
}

QString CWhyLandedDlg::VerdictText(
    const QString& loggedFolder, const CTrialWorker::Outcome& outcome, bool unknown)
{
    if (!outcome.ok)
        return QStringLiteral("The recipes could not be tried: %1").arg(outcome.error);
    QStringList now;
    bool same = false;
    for (const CTrialRun::Delivery& delivery : outcome.result.deliveries) {
        now << delivery.folder;
        same = same || SameFolder(loggedFolder, delivery.folder);
    }
    const QString nowText = now.isEmpty() ? QStringLiteral("no folder") : now.join(QStringLiteral(", "));
    QString text = same
        ? QStringLiteral("The recipes would still put this message in %1, as the log says.").arg(nowText)
        : QStringLiteral("The log says this message went to %1, but the recipes would now put it in %2.")
              .arg(loggedFolder.isEmpty() ? QStringLiteral("a folder it does not name") : loggedFolder,
                  nowText);
    if (unknown)
        text += QStringLiteral("  Some recipes test the message body, which the log does not hold; "
                               "their answer is unknown.");
    return text;
}
