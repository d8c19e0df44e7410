#include "gui/wizard/CRecWizAD9.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD9::CRecWizAD9(QWidget* parent)
    : CRecWizDetailPage(
        168, ActionSave, QStringLiteral("Saving message"), QStringLiteral("rWizPg4Save.html"), parent)
{
}

void CRecWizAD9::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD9::Values() const
{
    return m_values;
}
