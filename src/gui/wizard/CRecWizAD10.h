#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class CTabPromptEdit;

// Adds a string to the front of the Subject.
class CRecWizAD10 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD10(QWidget* parent = nullptr);

    bool Validate(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;

private:
    CTabPromptEdit* m_subject;
};
