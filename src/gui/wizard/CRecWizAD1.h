#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Adds an "X-" header: the name after "X-" and the value.
class CRecWizAD1 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD1(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
