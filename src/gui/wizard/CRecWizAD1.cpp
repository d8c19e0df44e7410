#include "gui/wizard/CRecWizAD1.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "gui/wizard/WizardServices.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>

CRecWizAD1::CRecWizAD1(QWidget* parent)
    : CRecWizDetailPage(146, ActionAddHeader, QStringLiteral("Adding header to message"),
        QStringLiteral("rWizPg4AddHead.html"), parent)
    , m_name(new QLineEdit(this))
    , m_value(new QLineEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WizardServices::CreateEditToolBar(this));
    AddExplanation(layout,
        { QStringLiteral("Enter the header you would like to add.  It will always be in the form of:\r\n"),
            QStringLiteral("X-One: Two\r\n"), QStringLiteral("where \""), QStringLiteral("One"),
            QStringLiteral("\" and \""), QStringLiteral("Two"),
            QStringLiteral(
                "\" are the words you enter in the boxes below.  Substitute whatever words you wish "
                "for \"One\" and \"Two\".") });
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("X-"), this));
    m_name->setObjectName(QStringLiteral("headerName"));
    WizardServices::UseEntryFont(m_name);
    row->addWidget(m_name, 1);
    row->addWidget(new QLabel(QStringLiteral(": "), this));
    m_value->setObjectName(QStringLiteral("headerValue"));
    WizardServices::UseEntryFont(m_value);
    row->addWidget(m_value, 2);
    layout->addLayout(row);
    AddAnotherBox(layout);
}

void CRecWizAD1::Load(const CActionDetails& values)
{
    m_name->setText(QString::fromUtf8(values.headerName));
    m_value->setText(QString::fromUtf8(values.headerValue));
    m_another->setChecked(values.anotherAction != 0);
}

CActionDetails CRecWizAD1::Values() const
{
    CActionDetails values;
    values.headerName = m_name->text().toUtf8();
    values.headerValue = m_value->text().toUtf8();
    values.anotherAction = AnotherAction();
    return values;
}

bool CRecWizAD1::PartEscapedGoOn(QLineEdit* box, const QString& which)
{
    const QString text = box->text();
    if (!text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\\'))
        && !text.contains(QLatin1Char('$')))
        return true;
    Prompt::Record question;
    question.text = which
        + QStringLiteral(
            " portion of the X-Header contains one or more characters that need to be 'escaped'.  The quote "
            "character (\"), the backslash character (\\) and the dollar sign ($) should be escaped.  "
            "'Escape' them by putting a backslash character in front of them, e.g. \\\" and \\\\ and \\$.  "
            "If "
            "you have not escaped the character(s), hit 'Yes' to edit your entry.  For more information hit "
            "the 'Help' button.\n\nWould you like to edit your entry?");
    question.caption = QStringLiteral("Edit your entry?");
    question.icon = Prompt::Question;
    question.buttons = Prompt::Yes | Prompt::No | Prompt::Cancel;
    question.defaultButton = Prompt::Yes;
    question.helpTopic = HelpTopic();
    if (Prompt::Ask(question) == Prompt::No)
        return true;
    FocusAndSelect(box);
    return false;
}

bool CRecWizAD1::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (!CheckSingleLine(m_name) || !CheckSingleLine(m_value))
        return false;
    const ActionProblem problem = ActionChecks::CheckOwnValues(ActionType(), Values());
    if (!problem.IsNull())
        return Refuse(m_name, problem);
    return PartEscapedGoOn(m_name, QStringLiteral("The first"))
        && PartEscapedGoOn(m_value, QStringLiteral("The second"));
}
