#include "gui/wizard/CRecWizAD8.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD8::CRecWizAD8(QWidget* parent)
    : CRecWizDetailPage(169, ActionReply, QStringLiteral("Automated reply to message"),
        QStringLiteral("rWizPg4Reply.html"), parent)
{
}

void CRecWizAD8::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD8::Values() const
{
    return m_values;
}
