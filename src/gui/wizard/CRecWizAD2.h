#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Removes every header that begins with a name.
class CRecWizAD2 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD2(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
