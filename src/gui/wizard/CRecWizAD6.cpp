#include "gui/wizard/CRecWizAD6.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD6::CRecWizAD6(QWidget* parent)
    : CRecWizDetailPage(
        171, ActionDelete, QStringLiteral("Deleting message"), QStringLiteral("rWizPg4Delete.html"), parent)
{
}

void CRecWizAD6::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD6::Values() const
{
    return m_values;
}
