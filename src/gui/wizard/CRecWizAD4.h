#pragma once

#include "gui/wizard/CRecWizDetailPage.h"

class CTabPromptEdit;
class QButtonGroup;
class QCheckBox;
class QSpinBox;

// Cuts lines out of the message body: a section between two lines, lines at the top and lines at
// the bottom.
class CRecWizAD4 : public CRecWizDetailPage
{
    Q_OBJECT

public:
    explicit CRecWizAD4(QWidget* parent = nullptr);

    bool Validate(CRecipeDefinition& definition) override;
    CActionDetails Values() const override;

protected:
    void Load(const CActionDetails& values) override;

private:
    // One of the groups "Message Top" and "Message Bottom".
    struct Side
    {
        QButtonGroup* modes = nullptr;
        QSpinBox* count = nullptr;
        CTabPromptEdit* line = nullptr;
    };
    Side AddSide(const QString& title, const QString& keep, const QString& removeCount,
        const QString& removeLine, const QString& name);
    void UpdateStates();
    QWidget* BoxFor(const QString& key) const;

    QCheckBox* m_between;
    CTabPromptEdit* m_betweenTop;
    CTabPromptEdit* m_betweenBottom;
    Side m_top;
    Side m_bottom;
};
