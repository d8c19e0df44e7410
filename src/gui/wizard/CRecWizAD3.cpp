#include "gui/wizard/CRecWizAD3.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD3::CRecWizAD3(QWidget* parent)
    : CRecWizDetailPage(148, ActionRemoveSubject, QStringLiteral("Removing a string from the Subject"),
        QStringLiteral("rWizPg4RemSub.html"), parent)
{
}

void CRecWizAD3::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD3::Values() const
{
    return m_values;
}
