#pragma once

#include "gui/wizard/CRecWizPage.h"

class QButtonGroup;

// "Select action to perform": which action the recipe performs at one position of its action
// list. The sheet moves the position; the detail page of the chosen type follows.
class CRecWizAction : public CRecWizPage
{
    Q_OBJECT

public:
    explicit CRecWizAction(QWidget* parent = nullptr);

    int Position() const { return m_position; }
    void SetPosition(int j) { m_position = j; }
    // The chosen type, -1 when none.
    int ChosenType() const;

    void OnSetActive(CRecipeDefinition& definition) override;
    bool Validate(CRecipeDefinition& definition) override;
    void Save(CRecipeDefinition& definition) override;

private:
    QButtonGroup* m_types;
    int m_position = 0;
};
