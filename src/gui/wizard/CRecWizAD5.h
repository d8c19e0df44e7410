#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class QSpinBox;

// Sets the exit code procmail hands back to the mail system.
class CRecWizAD5 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD5(QWidget* parent = nullptr);

    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;

private:
    QSpinBox* m_exitCode;
};
