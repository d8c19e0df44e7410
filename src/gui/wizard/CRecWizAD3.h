#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class CTabPromptEdit;

// Removes a string from the Subject; the string is a sed pattern.
class CRecWizAD3 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD3(QWidget* parent = nullptr);

    bool Validate(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;

private:
    CTabPromptEdit* m_subject;
};
