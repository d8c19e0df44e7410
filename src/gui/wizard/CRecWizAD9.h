#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class QLineEdit;
class QRadioButton;

// Saves the message to the default mailbox or to a mailbox the user names.
class CRecWizAD9 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD9(QWidget* parent = nullptr);

    bool Validate(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;

private:
    QRadioButton* m_default;
    QRadioButton* m_custom;
    QLineEdit* m_mailbox;
};
