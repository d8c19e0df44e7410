#include "gui/wizard/CRecWizAD10.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD10::CRecWizAD10(QWidget* parent)
    : CRecWizDetailPage(206, ActionAddSubject, QStringLiteral("Adding String to Subject"),
        QStringLiteral("rWizPg4AddSub.html"), parent)
{
}

void CRecWizAD10::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD10::Values() const
{
    return m_values;
}
