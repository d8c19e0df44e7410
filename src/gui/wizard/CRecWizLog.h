#pragma once

#include "gui/wizard/CRecWizPage.h"

class CMessageLine;
class QButtonGroup;
class QCheckBox;
class QLineEdit;

// "Recipe name and logging": the recipe's name (also the name of its data file), how it logs,
// and whether it stamps messages with its name.
class CRecWizLog : public CRecWizPage
{
    Q_OBJECT

public:
    explicit CRecWizLog(QWidget* parent = nullptr);

    void OnSetActive(CRecipeDefinition& definition) override;
    bool Validate(CRecipeDefinition& definition) override;
    void Save(CRecipeDefinition& definition) override;

    QLineEdit* NameBox() const { return m_name; }
    QCheckBox* NameHeaderBox() const { return m_nameHeader; }
    QButtonGroup* Logging() const { return m_logging; }
    CMessageLine* Note() const { return m_note; }

private:
    QLineEdit* m_name;
    QCheckBox* m_nameHeader;
    QButtonGroup* m_logging;
    CMessageLine* m_note;
};
