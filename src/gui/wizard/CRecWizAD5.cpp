#include "gui/wizard/CRecWizAD5.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizAD5::CRecWizAD5(QWidget* parent)
    : CRecWizDetailPage(
        172, ActionExitCode, QStringLiteral("Setting exitcode"), QStringLiteral("rWizPg4Exit.html"), parent)
{
}

void CRecWizAD5::OnSetActive(CRecipeDefinition& definition)
{
    m_values = CurrentValues(definition);
}

CActionDetails CRecWizAD5::Values() const
{
    return m_values;
}
