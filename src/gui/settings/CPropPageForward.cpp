#include "gui/settings/CPropPageForward.h"

#include "core/common/AtomicFile.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"
#include "gui/settings/FileEdit.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace ForwardFile;

namespace {

void tellFileError(const QString& error)
{
    Prompt::Tell(error, QStringLiteral("ZEPH"), Prompt::Stop);
}

QString readLine(Kind kind)
{
    QString line;
    QString error;
    if (!ReadLine(LocalPath(kind), &line, &error))
        tellFileError(error);
    return line;
}

} // namespace

CPropPageForward::CPropPageForward(std::function<QString()> userName, QWidget* parent)
    : QWidget(parent)
    , m_userName(std::move(userName))
{
    setObjectName(QStringLiteral("PropPageForward"));
    auto* layout = new QVBoxLayout(this);
    m_choices = new QButtonGroup(this);
    const char* texts[]
        = { "I need a .forward file", "I need a .qmail file", "I do not need a .forward or .qmail file" };
    for (int kind = Forward; kind <= Neither; ++kind) {
        auto* button = new QRadioButton(QLatin1String(texts[kind]), this);
        m_choices->addButton(button, kind);
        layout->addWidget(button);
    }
    m_label = new QLabel(this);
    m_forward = new QComboBox(this);
    m_qmail = new QComboBox(this);
    for (QComboBox* box : { m_forward, m_qmail }) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    m_message = new QLabel(this);
    m_message->setWordWrap(true);
    m_edit = new QPushButton(this);
    layout->addWidget(m_label);
    layout->addWidget(m_forward);
    layout->addWidget(m_qmail);
    layout->addWidget(m_message);
    auto* row = new QHBoxLayout;
    row->addWidget(m_edit);
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();

    const Kind stored = StoredKind();
    if (stored != NotChosen)
        m_choices->button(stored)->setChecked(true);
    m_forwardRead = readLine(Forward);
    m_qmailRead = readLine(Qmail);
    m_forward->setEditText(m_forwardRead);
    m_qmail->setEditText(m_qmailRead);
    showChoice();

    connect(m_choices, &QButtonGroup::idClicked, this, [this] { showChoice(); });
    connect(m_edit, &QPushButton::clicked, this, &CPropPageForward::EditFile);
    SetHelpTopic(this, HelpTopic());
}

Kind CPropPageForward::Choice() const
{
    const int id = m_choices->checkedId();
    return id < 0 ? NotChosen : Kind(id);
}

QRadioButton* CPropPageForward::ChoiceButton(Kind kind) const
{
    return qobject_cast<QRadioButton*>(m_choices->button(kind));
}

void CPropPageForward::showEvent(QShowEvent* event)
{
    FillExamples();
    QWidget::showEvent(event);
}

void CPropPageForward::FillExamples()
{
    const QString user = m_userName ? m_userName() : GetSettingString(Settings::UserName);
    // The entries are examples only: the line keeps what was typed or read.
    const QString forward = m_forward->currentText();
    const QString qmail = m_qmail->currentText();
    m_forward->clear();
    m_qmail->clear();
    m_forward->addItems(ForwardExamples(user));
    m_qmail->addItems(QmailExamples());
    m_forward->setEditText(forward);
    m_qmail->setEditText(qmail);
    showChoice();
}

void CPropPageForward::showChoice()
{
    const Kind kind = Choice();
    m_forward->setVisible(kind == Forward);
    m_qmail->setVisible(kind == Qmail);
    m_edit->setVisible(kind == Forward || kind == Qmail);
    switch (kind) {
    case Forward:
        m_label->setText(QStringLiteral("Enter your .forward below:"));
        m_edit->setText(QStringLiteral("Edit .forward in text editor"));
        m_message->setText(QStringLiteral("The items in the drop down list are examples only, you should "
                                          "type in the exact format specific to "
                                          "your ISP.  For information on how to find out the suggested "
                                          ".forward file for your ISP, hit the Help "
                                          "button."));
        break;
    case Qmail:
        m_label->setText(QStringLiteral("Enter your .qmail below:"));
        m_edit->setText(QStringLiteral("Edit .qmail in text editor"));
        m_message->setText(QStringLiteral("The item in the drop down list is an example only, you should "
                                          "type in the exact format specific to "
                                          "your ISP.  For information on how to find out the suggested "
                                          ".qmail file for your ISP, hit the Help "
                                          "button."));
        break;
    case Neither:
        m_label->clear();
        m_message->clear();
        break;
    case NotChosen:
        m_label->clear();
        m_message->setText(
            QStringLiteral("Make the appropriate selection to indicate if you need a .forward or "
                           ".qmail file (specific to your ISP).  For more information hit the Help "
                           "button."));
        break;
    }
}

bool CPropPageForward::OnOK()
{
    const Kind kind = Choice();
    if (kind == Forward || kind == Qmail) {
        QComboBox* box = boxOf(kind);
        const QString text = box->currentText();
        if (text.isEmpty()) {
            Prompt::Tell(kind == Forward ? QStringLiteral("Please enter a value for your .forward file.")
                                         : QStringLiteral("Please enter a value for your .qmail file."),
                kind == Forward ? QStringLiteral(".forward is empty") : QStringLiteral(".qmail is empty"),
                Prompt::Warning);
            box->setFocus();
            return false;
        }
        // A line break would give the host's mail system a second line to obey.
        if (!CRemoteHost::IsCommandSafe(text)) {
            CRemoteHost::TellInvalidEntry();
            box->setFocus();
            box->lineEdit()->selectAll();
            return false;
        }
        if (text != readTextOf(kind)) {
            QString error;
            if (WriteLine(LocalPath(kind), text, &error)) {
                readTextOf(kind) = text;
                AddPending(LocalPath(kind), RemoteName(kind));
            } else {
                tellFileError(error);
            }
        }
    }
    SetSetting(Settings::ForwardQmailRadio, int(kind));
    return true;
}

void CPropPageForward::EditFile()
{
    const Kind kind = Choice() == Qmail ? Qmail : Forward;
    const QString path = LocalPath(kind);
    QString error;
    if (!QFileInfo::exists(path) && !SaveFileAtomically(path, QByteArray(), &error)) {
        tellFileError(error);
        return;
    }
    if (!EditLocalFile(path, this))
        return;
    AddPending(path, RemoteName(kind));
    readTextOf(kind) = readLine(kind);
    boxOf(kind)->setEditText(readTextOf(kind));
}
