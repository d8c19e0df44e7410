#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class QLineEdit;

// Adds a header "X-" name ": " value to the message.
class CRecWizAD1 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD1(QWidget* parent = nullptr);

    bool Validate(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;

private:
    // The question about characters to escape in one part; `which` is "The first" or "The second".
    bool PartEscapedGoOn(QLineEdit* box, const QString& which);

    QLineEdit* m_name;
    QLineEdit* m_value;
};
