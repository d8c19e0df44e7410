#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class QPlainTextEdit;

// Forwards the message to one or more addresses.
class CRecWizAD7 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD7(QWidget* parent = nullptr);

    bool Validate(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;

private:
    QPlainTextEdit* m_addresses;
};
