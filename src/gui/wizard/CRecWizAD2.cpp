#include "gui/wizard/CRecWizAD2.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD2::CRecWizAD2(QWidget* parent)
    : CRecWizDetailPage(173, ActionRemoveHeader, QStringLiteral("Removing header from message"),
        QStringLiteral("rWizPg4RemHead.html"), parent)
{
}

void CRecWizAD2::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD2::Values() const
{
    return m_values;
}
