#pragma once

#include "gui/wizard/CRecWizPage.h"

class QCheckBox;
class QPushButton;
class QTextEdit;

// "Your recipe explained": the recipe in plain words and as procmail text, before Finish writes
// it. The sheet performs Finish; the page shows and keeps the list offer.
class CRecWizFinish : public CRecWizPage
{
    Q_OBJECT

public:
    explicit CRecWizFinish(QWidget* parent = nullptr);

    // Whether the page offers to open the recipe list after Finish.
    void SetOffer(bool offer) { m_offer = offer; }
    bool Offer() const { return m_offer; }

    void OnSetActive(CRecipeDefinition& definition) override;
    void Save(CRecipeDefinition& definition) override;

    // The explanation: the summary, the two notes and the recipe text.
    static QStringList Segments(const CRecipeDefinition& definition);

    QTextEdit* TextBox() const { return m_text; }
    QCheckBox* ListBox() const { return m_list; }
    // "Try a Message", hidden unless the sheet offers it.
    QPushButton* TryButton() const { return m_try; }

private:
    QTextEdit* m_text;
    QCheckBox* m_list;
    QPushButton* m_try;
    bool m_offer = false;
};
