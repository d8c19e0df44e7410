#include "gui/wizard/CRecWizAD10.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "gui/common/CTabPromptEdit.h"
#include "gui/wizard/WizardServices.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

CRecWizAD10::CRecWizAD10(QWidget* parent)
    : CRecWizDetailPage(206, ActionAddSubject, QStringLiteral("Adding String to Subject"),
        QStringLiteral("rWizPg4AddSub.html"), parent)
    , m_subject(new CTabPromptEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WizardServices::CreateEditToolBar(this));
    AddExplanation(layout,
        { QStringLiteral("Enter a string you want to add to the  \"Subject:\" line.  For example, to add the "
                         "string \""),
            QStringLiteral("[MYLIST]"), QStringLiteral("\" to the start of the Subject line, enter \""),
            QStringLiteral("[MYLIST]"),
            QStringLiteral("\" (without the quotes).  That string will be added to the front of Subject line "
                           "while leaving the rest of the Subject intact.  Using this example, a Subject "
                           "line of:\r\nSubject: This is the subject\r\nwould be changed to:\r\nSubject: "
                           "[MYLIST] This is the subject") });
    auto* label = new QLabel(QStringLiteral("String to add to Subject:"), this);
    label->setBuddy(m_subject);
    layout->addWidget(label);
    m_subject->setObjectName(QStringLiteral("addSubject"));
    m_subject->setMaximumHeight(m_subject->fontMetrics().lineSpacing() * 3);
    WizardServices::UseEntryFont(m_subject);
    layout->addWidget(m_subject);
    AddAnotherBox(layout);
}

void CRecWizAD10::Load(const CActionDetails& values)
{
    m_subject->setPlainText(QString::fromUtf8(values.addSubject));
    m_another->setChecked(values.anotherAction != 0);
}

CActionDetails CRecWizAD10::Values() const
{
    CActionDetails values;
    values.addSubject = TextOf(m_subject).toUtf8();
    values.anotherAction = AnotherAction();
    return values;
}

bool CRecWizAD10::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (!CheckSingleLine(m_subject))
        return false;
    const ActionProblem problem = ActionChecks::CheckOwnValues(ActionType(), Values());
    if (!problem.IsNull())
        return Refuse(m_subject, problem);
    return EscapeWarningGoOn(m_subject);
}
