#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Deletes the message; nothing can follow it.
class CRecWizAD6 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD6(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
