#pragma once

#include "core/recipes/CRecWizDataMgr.h"
#include "gui/wizard/CRecWizPage.h"

class QCheckBox;

// A detail page of one action: it edits the definition's current action. Save resets that
// action and stores what Values() reads from the page; the page decides what belongs to its type.
class CRecWizDetailPage : public CRecWizPage
{
    Q_OBJECT

public:
    CRecWizDetailPage(int dialogId, int actionType, const QString& title, const QString& helpTopic,
        QWidget* parent = nullptr);

    int ActionType() const { return m_actionType; }
    void Save(CRecipeDefinition& definition) override;

    // What the page shows, as the values of an action of its type (every other value reset).
    virtual CActionDetails Values() const = 0;

protected:
    // The stored values of the action the page edits; the reset values for a new action.
    static CActionDetails CurrentValues(const CRecipeDefinition& definition);

private:
    int m_actionType;
};
