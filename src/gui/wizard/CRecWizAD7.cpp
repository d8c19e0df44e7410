#include "gui/wizard/CRecWizAD7.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD7::CRecWizAD7(QWidget* parent)
    : CRecWizDetailPage(170, ActionForward, QStringLiteral("Forwarding message"),
        QStringLiteral("rWizPg4Forward.html"), parent)
{
}

void CRecWizAD7::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD7::Values() const
{
    return m_values;
}
