#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class QLineEdit;

// Removes every header that begins with a name.
class CRecWizAD2 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD2(QWidget* parent = nullptr);

    bool Validate(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;

private:
    QLineEdit* m_header;
};
