#pragma once

#include "gui/wizard/CRecWizPage.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Select a field to filter on": which part of the message condition k looks at, whether it is
// inverted, the custom header's name and the kind of To: test.
class CRecWizHeaders1 : public CRecWizPage
{
    Q_OBJECT

public:
    explicit CRecWizHeaders1(QWidget* parent = nullptr);

    // The condition the page shows; the sheet sets it before OnSetActive.
    int Condition() const { return m_condition; }
    void SetCondition(int k) { m_condition = k; }

    void OnSetActive(CRecipeDefinition& definition) override;
    bool Validate(CRecipeDefinition& definition) override;
    void Save(CRecipeDefinition& definition) override;

    // The text of a To kind as the field page shows it.
    static QString ToKindText(int toKind);

    QButtonGroup* Fields() const { return m_fields; }
    QAbstractButton* FieldButton(int field) const;
    QCheckBox* InvertBox() const { return m_invert; }
    QLineEdit* CustomHeaderBox() const { return m_customHeader; }
    QLabel* ToKindLabel() const { return m_toKindLabel; }
    QPushButton* SpecifyToButton() const { return m_specifyTo; }
    int ToKind() const { return m_toKind; }

private:
    void fieldChosen(int field);
    void specifyTo();

    QButtonGroup* m_fields;
    QCheckBox* m_invert;
    QLineEdit* m_customHeader;
    QLabel* m_toKindLabel;
    QPushButton* m_specifyTo;
    int m_condition = 0;
    int m_toKind = 100;
};
