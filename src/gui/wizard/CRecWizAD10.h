#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Adds a string to the front of the Subject.
class CRecWizAD10 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD10(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
