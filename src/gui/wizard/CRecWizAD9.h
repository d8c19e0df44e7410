#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Saves the message to the default mailbox or to a mailbox of the user's choice.
class CRecWizAD9 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD9(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

private:
    CActionDetails m_values;
};
