#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

// Deletes the message. It takes the message away, so no action can follow.
class CRecWizAD6 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD6(QWidget* parent = nullptr);

    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;
};
