#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Sets the exit code procmail returns to the mail system.
class CRecWizAD5 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD5(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
