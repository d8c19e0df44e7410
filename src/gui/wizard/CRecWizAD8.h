#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class QCheckBox;
class QLineEdit;

// Answers the message with the text of a local response file, which goes to the host with the
// recipe.
class CRecWizAD8 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD8(QWidget* parent = nullptr);

    bool Validate(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

    void SelectFile();
    void CreateFile();

protected:
    void Load(const CActionDetails& values) override;

private:
    void UpdateStates();

    QLineEdit* m_file;
    QCheckBox* m_headers;
    QCheckBox* m_body;
    QCheckBox* m_atTop;
};
