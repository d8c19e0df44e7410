#include "gui/wizard/CRecWizDetailPage.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "gui/wizard/WizardServices.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStyle>
#include <QTextEdit>

CRecWizDetailPage::CRecWizDetailPage(
    int dialogId, int actionType, const QString& title, const QString& helpTopic, QWidget* parent)
    : CRecWizPage(dialogId, title, helpTopic, parent)
    , m_actionType(actionType)
{
}

void CRecWizDetailPage::OnSetActive(CRecipeDefinition& definition)
{
    if (m_explanation)
        WizardServices::FillExplanation(m_explanation, m_segments);
    const CRecWizDataMgr& data = definition.DataMgr();
    const int j = data.GetCurrentAction();
    Load(j >= 0 && j < data.Count() ? data.Details(j) : CActionDetails());
}

void CRecWizDetailPage::Save(CRecipeDefinition& definition)
{
    CRecWizDataMgr& data = definition.DataMgr();
    data.ResetAction(data.GetCurrentAction()) = Values();
}

QString CRecWizDetailPage::TextOf(const QWidget* box)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(box))
        return plain->toPlainText();
    return QString();
}

QTextEdit* CRecWizDetailPage::AddExplanation(QBoxLayout* layout, const QStringList& segments)
{
    m_segments = segments;
    m_explanation = new QTextEdit(this);
    m_explanation->setObjectName(QStringLiteral("explanation"));
    m_explanation->setReadOnly(true);
    m_explanation->setMinimumHeight(120);
    WizardServices::FillExplanation(m_explanation, m_segments);
    layout->addWidget(m_explanation, 1);
    return m_explanation;
}

void CRecWizDetailPage::AddWarning(QBoxLayout* layout, const QString& text)
{
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    row->addWidget(icon);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto* label = new QLabel(shown, this);
    label->setObjectName(QStringLiteral("warning"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    row->addWidget(label, 1);
    layout->addLayout(row);
}

QCheckBox* CRecWizDetailPage::AddAnotherBox(QBoxLayout* layout)
{
    m_another = new QCheckBox(QStringLiteral("Perform another action on this message"), this);
    m_another->setObjectName(QStringLiteral("another"));
    layout->addWidget(m_another);
    return m_another;
}

void CRecWizDetailPage::AddCopyBoxes(QBoxLayout* layout)
{
    m_copy = new QCheckBox(QStringLiteral("Perform this action on a copy of the message."), this);
    m_copy->setObjectName(QStringLiteral("copy"));
    layout->addWidget(m_copy);
    AddAnotherBox(layout);
    m_another->setEnabled(false);
    connect(m_copy, &QCheckBox::toggled, m_another, &QWidget::setEnabled);
}

int CRecWizDetailPage::AnotherAction() const
{
    if (!m_another || (m_copy && !m_copy->isChecked()))
        return 0;
    return m_another->isChecked() ? 1 : 0;
}

void CRecWizDetailPage::FocusAndSelect(QWidget* box)
{
    if (!box)
        return;
    box->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        plain->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(box))
        spin->selectAll();
}

bool CRecWizDetailPage::Refuse(QWidget* box, const QString& text, const QString& caption, Prompt::Icon icon)
{
    Prompt::Tell(text, caption, icon);
    FocusAndSelect(box);
    return false;
}

bool CRecWizDetailPage::Refuse(QWidget* box, const ActionProblem& problem)
{
    return Refuse(box, problem.text, problem.caption, problem.icon);
}

bool CRecWizDetailPage::CheckSingleLine(QWidget* box)
{
    if (!ActionChecks::HasLineBreakOrNul(TextOf(box).toUtf8()))
        return true;
    return Refuse(box,
        QStringLiteral("This entry contains a line break or a NUL character, which cannot be written into a "
                       "procmail recipe.  Please remove it."),
        QStringLiteral("Invalid character"), Prompt::Information);
}

bool CRecWizDetailPage::EscapeWarningGoOn(QWidget* box)
{
    const QString text = TextOf(box);
    if (!text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\\'))
        && !text.contains(QLatin1Char('$')))
        return true;
    Prompt::Record question;
    question.text = QStringLiteral(
        "Caution, you are using a quote character (\") and/or a backslash character (\\) and/or a dollar "
        "sign ($).  Those characters should be 'escaped' with a leading backslash character i.e. \\\" for a "
        "quote character and \\\\ for a backslash character and \\$ for a dollar sign character.  If you "
        "have not escaped the character(s), hit 'Yes' to edit your entry.  For more information hit the "
        "'Help' button.\n\nWould you like to edit your entry?");
    question.caption = QStringLiteral("Edit your entry?");
    question.icon = Prompt::Question;
    question.buttons = Prompt::Yes | Prompt::No | Prompt::Cancel;
    question.defaultButton = Prompt::Yes;
    question.helpTopic = HelpTopic();
    if (Prompt::Ask(question) == Prompt::No)
        return true;
    box->setFocus();
    return false;
}

bool CRecWizDetailPage::PatternWarningsGoOn(QWidget* box, const QString& text)
{
    if (!WizardServices::RegexWarningGoOn(text, true, this)) {
        FocusAndSelect(box);
        return false;
    }
    return WizardServices::SedWarningGoOn(text, box, this);
}
