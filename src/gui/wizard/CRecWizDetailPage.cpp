#include "gui/wizard/CRecWizDetailPage.h"

#include "core/recipes/CRecipeDefinition.h"

CRecWizDetailPage::CRecWizDetailPage(
    int dialogId, int actionType, const QString& title, const QString& helpTopic, QWidget* parent)
    : CRecWizPage(dialogId, title, helpTopic, parent)
    , m_actionType(actionType)
{
}

CActionDetails CRecWizDetailPage::CurrentValues(const CRecipeDefinition& definition)
{
    const int j = definition.DataMgr().GetCurrentAction();
    if (j >= 0 && j < definition.DataMgr().Count())
        return definition.DataMgr().Details(j);
    return CActionDetails();
}

void CRecWizDetailPage::Save(CRecipeDefinition& definition)
{
    CRecWizDataMgr& data = definition.DataMgr();
    data.ResetAction(data.GetCurrentAction()) = Values();
}
