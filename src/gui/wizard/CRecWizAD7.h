#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Forwards the message to one or more addresses.
class CRecWizAD7 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD7(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
