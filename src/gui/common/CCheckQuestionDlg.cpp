#include "gui/common/CCheckQuestionDlg.h"

#include "gui/common/Help.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QList<bool>& queuedChecks()
{
    static QList<bool> checks;
    return checks;
}
} // namespace

void CCheckQuestionDlg::QueueCheckState(bool checked)
{
    queuedChecks().append(checked);
}

void CCheckQuestionDlg::ClearQueuedCheckStates()
{
    queuedChecks().clear();
}

Prompt::Button CCheckQuestionDlg::Ask(const QString& text, const QString& caption, const QString& checkText,
    bool* checkValue, QWidget* parent, const QString& helpTopic, int kind, bool checkOnCancel)
{
    Prompt::Record record;
    record.text = text;
    record.caption = caption;
    record.icon = Prompt::Question;
    record.buttons = kind == YesNo ? (Prompt::Yes | Prompt::No) : (Prompt::Yes | Prompt::No | Prompt::Cancel);
    record.defaultButton = Prompt::Yes;
    record.helpTopic = helpTopic;
    record.checkBoxText = checkText;
    record.checkBoxValue = *checkValue;

    bool shown = false;
    bool checked = *checkValue;
    const Prompt::Button answer = Prompt::Ask(record, [&](const Prompt::Record& r) {
        shown = true;
        CCheckQuestionDlg dialog(r.text, r.caption, r.checkBoxText, r.checkBoxValue,
            parent ? parent : QApplication::activeWindow(), r.helpTopic, kind);
        dialog.exec();
        checked = dialog.Checked();
        return dialog.Result();
    });
    if (!shown && !queuedChecks().isEmpty())
        checked = queuedChecks().takeFirst();
    if (answer == Prompt::Yes || answer == Prompt::No || checkOnCancel)
        *checkValue = checked;
    return answer;
}

CCheckQuestionDlg::CCheckQuestionDlg(const QString& text, const QString& caption, const QString& checkText,
    bool checkValue, QWidget* parent, const QString& helpTopic, int kind)
    : QDialog(parent)
    , m_check(new QCheckBox(checkText, this))
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(360);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(icon);
    top->addWidget(label, 1);
    layout->addLayout(top);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto addButton = [&](const QString& title, Prompt::Button result) {
        auto* button = new QPushButton(title, this);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, result] {
            m_result = result;
            if (result == Prompt::Cancel)
                reject();
            else
                accept();
        });
        return button;
    };
    addButton(QStringLiteral("&Yes"), Prompt::Yes)->setDefault(true);
    addButton(QStringLiteral("&No"), Prompt::No);
    if (kind != YesNo)
        addButton(QStringLiteral("Cancel"), Prompt::Cancel);
    if (!helpTopic.isEmpty()) {
        SetHelpTopic(this, helpTopic);
        auto* help = new QPushButton(QStringLiteral("&Help"), this);
        buttons->addWidget(help);
        // Help shows the topic and leaves the question open.
        connect(help, &QPushButton::clicked, this, [this, helpTopic] { ShowHelpTopic(this, helpTopic); });
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    m_check->setChecked(checkValue);
    layout->addWidget(m_check);
}

bool CCheckQuestionDlg::Checked() const
{
    return m_check->isChecked();
}
