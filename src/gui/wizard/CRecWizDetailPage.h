#pragma once

#include "core/common/Prompt.h"
#include "core/recipes/CRecWizDataMgr.h"
#include "gui/wizard/CRecWizPage.h"

#include <QStringList>

struct ActionProblem;
class QBoxLayout;
class QCheckBox;
class QTextEdit;

// A detail page of one action: it edits the definition's current action. Save resets that
// action and stores what Values() reads from the page, so a value of another type never survives
// and Back keeps exactly what a later Next would check.
class CRecWizDetailPage : public CRecWizPage
{
    Q_OBJECT

public:
    CRecWizDetailPage(int dialogId, int actionType, const QString& title, const QString& helpTopic,
        QWidget* parent = nullptr);

    int ActionType() const { return m_actionType; }
    void OnSetActive(CRecipeDefinition& definition) override;
    void Save(CRecipeDefinition& definition) override;

    // What the page shows, as the values of an action of its type (every other value reset).
    virtual CActionDetails Values() const = 0;

    // The text of a line box or a multi-line box; empty for anything else.
    static QString TextOf(const QWidget* box);

protected:
    // Shows the values of an action; the reset values for a new action.
    virtual void Load(const CActionDetails& values) = 0;

    // The explanation pane, filled from its segments each time the page is shown (the colours may
    // have changed in the options since).
    QTextEdit* AddExplanation(QBoxLayout* layout, const QStringList& segments);
    // A warning icon beside a fixed text, on the pages that have no explanation pane.
    void AddWarning(QBoxLayout* layout, const QString& text);
    // "Perform another action on this message".
    QCheckBox* AddAnotherBox(QBoxLayout* layout);
    // "Perform this action on a copy of the message." above the another-action box, which is
    // enabled only while the copy box is ticked: without a copy the action delivers the message.
    void AddCopyBoxes(QBoxLayout* layout);
    // The another-action flag the page stores: with copy boxes, only on a copy.
    int AnotherAction() const;

    // Each returns false after it refused: the message is shown and `box` gets the focus with
    // its text selected.
    bool Refuse(QWidget* box, const QString& text, const QString& caption, Prompt::Icon icon);
    bool Refuse(QWidget* box, const ActionProblem& problem);
    // A value the recipe holds on one line.
    bool CheckSingleLine(QWidget* box);
    // The question about ", \ and $ in a text procmail reads between double quotes: true to go on.
    bool EscapeWarningGoOn(QWidget* box);
    // The regular-expression warning (short set) and the sed warning on a text sed reads.
    bool PatternWarningsGoOn(QWidget* box, const QString& text);
    static void FocusAndSelect(QWidget* box);

    QCheckBox* m_copy = nullptr;
    QCheckBox* m_another = nullptr;

private:
    int m_actionType;
    QTextEdit* m_explanation = nullptr;
    QStringList m_segments;
};
