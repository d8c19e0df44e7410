#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Cuts lines out of the message body: a section between two lines, the top and the bottom.
class CRecWizAD4 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD4(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
