#pragma once

#include "gui/wizard/CRecWizPage.h"

#include <QStringList>

class CTabPromptEdit;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QTextEdit;

// "Entries": what condition k looks for (words or phrases, one per line, or a message size) and
// how it is joined to the next condition.
class CRecWizEntries : public CRecWizPage
{
    Q_OBJECT

public:
    explicit CRecWizEntries(QWidget* parent = nullptr);

    int Condition() const { return m_condition; }
    void SetCondition(int k) { m_condition = k; }

    QString Title() const override;
    QString HelpTopic() const override;
    void OnSetActive(CRecipeDefinition& definition) override;
    bool Validate(CRecipeDefinition& definition) override;
    void Save(CRecipeDefinition& definition) override;

    // The explanation of a field: normal and highlighted segments in turn.
    static QStringList ExplanationSegments(int field, int toKind, const QString& customHeader);

    CTabPromptEdit* EntryBox() const { return m_entries; }
    QLineEdit* SizeBox() const { return m_size; }
    QLabel* Heading() const { return m_heading; }
    QTextEdit* Explanation() const { return m_explanation; }
    QButtonGroup* Joins() const { return m_joins; }

private:
    // The field's name inside the title and heading ("\"Cc:\" field", "any header"...).
    QString fieldPhrase() const;
    bool validateSize();
    bool validateEntries();

    QLabel* m_heading;
    CTabPromptEdit* m_entries;
    QLineEdit* m_size;
    QTextEdit* m_explanation;
    QButtonGroup* m_joins;
    QWidget* m_joinBox;
    int m_condition = 0;
    // The condition's field page values, read when the page becomes active.
    int m_field = 0;
    int m_toKind = 100;
    bool m_inverted = false;
    QString m_customHeader;
    bool m_matchesAll = false; // the first condition matches every message
};
