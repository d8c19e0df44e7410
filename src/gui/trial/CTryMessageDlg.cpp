#include "gui/trial/CTryMessageDlg.h"

#include "core/common/Prompt.h"
#include "core/trial/CTrialRun.h"
#include "core/trial/SampleMessage.h"
#include "core/trial/TrialRecipes.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/Help.h"
#include "gui/trial/CTrialResultView.h"
#include "gui/trial/CTrialWorker.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Try a Message");

} // namespace

CTryMessageDlg::CTryMessageDlg(const QByteArray& recipeText, QWidget* parent)
    : CResizingDialog(0, parent, kCaption, 1.0)
    , m_worker(new CTrialWorker(this))
    , m_sources(new QTabWidget(this))
    , m_from(new QLineEdit(this))
    , m_to(new QLineEdit(this))
    , m_subject(new QLineEdit(this))
    , m_body(new QPlainTextEdit(this))
    , m_pasted(new QPlainTextEdit(this))
    , m_file(new QLineEdit(this))
    , m_try(new QPushButton(QStringLiteral("&Try"), this))
    , m_stop(new QPushButton(QStringLiteral("&Stop"), this))
    , m_status(new QLabel(this))
    , m_result(new CTrialResultView(this))
{
    setWindowTitle(kCaption);
    SetHelpTopic(this, QStringLiteral("tryMessage.html"));
    const TrialRecipes recipes = TrialRecipes::FromFileText(recipeText);
    m_recipeText = recipes.text;
    m_result->SetEntries(recipes.entries);

    auto* compose = new QWidget(this);
    auto* form = new QFormLayout(compose);
    form->addRow(QStringLiteral("&From:"), m_from);
    form->addRow(QStringLiteral("T&o:"), m_to);
    form->addRow(QStringLiteral("S&ubject:"), m_subject);
    form->addRow(QStringLiteral("&Body:"), m_body);
    m_sources->addTab(compose, QStringLiteral("&Compose"));
    m_pasted->setPlaceholderText(QStringLiteral("Paste a whole message here, its header lines first."));
    m_pasted->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_sources->addTab(m_pasted, QStringLiteral("&Paste"));
    auto* filePage = new QWidget(this);
    auto* fileLayout = new QVBoxLayout(filePage);
    auto* fileRow = new QHBoxLayout;
    auto* browse = new QPushButton(QStringLiteral("B&rowse..."), filePage);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    fileLayout->addWidget(
        new QLabel(QStringLiteral("An .eml file, or an mbox file (its first message is used):"), filePage));
    fileLayout->addLayout(fileRow);
    fileLayout->addStretch();
    m_sources->addTab(filePage, QStringLiteral("F&ile"));

    m_from->setObjectName(QStringLiteral("from"));
    m_to->setObjectName(QStringLiteral("to"));
    m_subject->setObjectName(QStringLiteral("subject"));
    m_body->setObjectName(QStringLiteral("body"));
    m_pasted->setObjectName(QStringLiteral("pasted"));
    m_file->setObjectName(QStringLiteral("file"));
    m_try->setObjectName(QStringLiteral("try"));
    m_stop->setObjectName(QStringLiteral("stop"));
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);

    auto* runRow = new QHBoxLayout;
    runRow->addWidget(m_try);
    runRow->addWidget(m_stop);
    runRow->addWidget(m_status, 1);

    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(m_sources, 1);
    topLayout->addLayout(runRow);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(m_result);
    splitter->setStretchFactor(1, 2);

    auto* help = new QPushButton(QStringLiteral("Help"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    help->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    setMinimumSize(560, 620);

    connect(browse, &QPushButton::clicked, this, &CTryMessageDlg::browse);
    connect(m_try, &QPushButton::clicked, this, &CTryMessageDlg::Try);
    connect(m_stop, &QPushButton::clicked, this, &CTryMessageDlg::Stop);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this,
        [this] { ShowHelpTopic(this, QStringLiteral("tryMessage.html")); });

    m_try->setDefault(true);
    setRunning(false);
    // Without a local procmail the dialog still opens, to say what to install.
    const QString missing = CTrialRun::Unavailable();
    if (!missing.isEmpty()) {
        m_try->setEnabled(false);
        m_result->ShowNote(missing);
    }
}

CTryMessageDlg::~CTryMessageDlg() = default;

bool CTryMessageDlg::BuildMessage(QByteArray* message)
{
    QString error;
    bool ok = true;
    switch (m_sources->currentIndex()) {
    case Compose:
        *message
            = SampleMessage::Compose(m_from->text(), m_to->text(), m_subject->text(), m_body->toPlainText());
        break;
    case Paste:
        ok = SampleMessage::FromText(m_pasted->toPlainText().toUtf8(), message, &error);
        break;
    default:
        if (m_file->text().trimmed().isEmpty()) {
            error = QStringLiteral("Please choose the file that holds the message.");
            ok = false;
        } else {
            ok = SampleMessage::FromFile(m_file->text().trimmed(), message, &error);
        }
        break;
    }
    if (!ok)
        Prompt::Tell(error, kCaption, Prompt::Information);
    return ok;
}

bool CTryMessageDlg::Try()
{
    QByteArray message;
    if (!m_try->isEnabled() || !BuildMessage(&message))
        return false;
    m_result->ShowNote(QString());
    setRunning(true);
    m_worker->Start(m_recipeText, message, [this](const CTrialWorker::Outcome& outcome) {
        setRunning(false);
        m_result->ShowOutcome(outcome);
    });
    return true;
}

void CTryMessageDlg::Stop()
{
    if (!m_worker->IsRunning())
        return;
    m_worker->Stop();
    setRunning(false);
    m_status->setText(QStringLiteral("Stopped."));
}

bool CTryMessageDlg::IsRunning() const
{
    return m_worker->IsRunning();
}

void CTryMessageDlg::setRunning(bool running)
{
    m_try->setEnabled(!running);
    m_stop->setEnabled(running);
    m_sources->setEnabled(!running);
    m_status->setText(running ? QStringLiteral("procmail is reading the message...") : QString());
}

void CTryMessageDlg::browse()
{
    const QString path = FileDialogs::GetOpenFileName(this, QStringLiteral("Open a message"), m_file->text(),
        QStringLiteral("Mail messages (*.eml *.mbox *.mbx *.msg *.txt);;All files (*)"));
    if (!path.isEmpty())
        m_file->setText(path);
}

void CTryMessageDlg::done(int result)
{
    m_worker->Stop();
    CResizingDialog::done(result);
}
