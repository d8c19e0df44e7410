#include "gui/wizard/CRecWizAD4.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD4::CRecWizAD4(QWidget* parent)
    : CRecWizDetailPage(149, ActionModifyBody, QStringLiteral("Modifying message body"),
        QStringLiteral("rWizPg4Body.html"), parent)
{
}

void CRecWizAD4::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD4::Values() const
{
    return m_values;
}
