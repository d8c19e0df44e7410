#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Answers the message with the text of a response file.
class CRecWizAD8 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD8(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
