#include "gui/wizard/CRecWizAD1.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD1::CRecWizAD1(QWidget* parent)
    : CRecWizDetailPage(146, ActionAddHeader, QStringLiteral("Adding header to message"),
        QStringLiteral("rWizPg4AddHead.html"), parent)
{
}

void CRecWizAD1::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD1::Values() const
{
    return m_values;
}
