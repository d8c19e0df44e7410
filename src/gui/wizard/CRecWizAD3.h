#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Removes a string (a sed pattern) from the Subject.
class CRecWizAD3 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD3(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
