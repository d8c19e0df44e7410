#pragma once

#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/RecipeWizardFinish.h"
#include "gui/common/CWizardFrame.h"

#include <QList>

#include <functional>

class CRecWizAction;
class CRecWizEntries;
class CRecWizFinish;
class CRecWizHeaders1;
class CRecWizLog;
class CRecWizPage;

// The Recipe Wizard: one page at a time, conditions first (field page and entries page per
// condition, as many as the joins ask for), then actions (action page and the detail page of its
// type, as many as "another action" asks for), the name and logging page and the explanation.
// Back revisits any page and keeps what was entered; nothing is written before Finish.
class CRecipeWizSheet : public CWizardFrame
{
    Q_OBJECT

public:
    enum Mode { NewRecipe, EditByName, Import };

    // Finish writes into `recipeFilePath`.
    CRecipeWizSheet(Mode mode, const QString& recipeFilePath, QWidget* parent = nullptr);

    // The definition the pages start from; `originalName` is the recipe edited by name. With
    // offerList the last page offers to open the recipe list afterwards.
    void Start(const CRecipeDefinition& definition, const QByteArray& originalName, bool offerList);

    // Offers "Try a Message" on the last page; `trial` gets the recipe file as Finish would leave it.
    using MessageTrial = std::function<void(const QByteArray& recipeText, QWidget* parent)>;
    void SetMessageTrial(MessageTrial trial);
    // The recipe file with this recipe's block in place of the edited one, or added at its end.
    QByteArray RecipeFileAfterFinish() const;

    const CRecipeDefinition& Definition() const { return m_definition; }
    // Whether the user asked for the recipe list after Finish.
    bool PositionEditRequested() const { return m_positionEditRequested; }

    CRecWizPage* CurrentPage() const;
    // The page with that dialog number (140, 142, 143, 146...), or nullptr.
    CRecWizPage* Page(int dialogId) const;
    CRecWizHeaders1* HeadersPage() const { return m_headers; }
    CRecWizEntries* EntriesPage() const { return m_entries; }
    CRecWizAction* ActionPage() const { return m_action; }
    CRecWizLog* LogPage() const { return m_log; }
    CRecWizFinish* FinishPage() const { return m_finishPage; }

public slots:
    void Next();
    void Back();
    void FinishRecipe();

private:
    void showPage(CRecWizPage* page);
    CRecWizPage* detailPage(int type) const;
    void nextFromDetail();

    CRecipeDefinition m_definition;
    RecipeWizardFinish m_finisher;
    QByteArray m_originalName;
    MessageTrial m_messageTrial;
    bool m_positionEditRequested = false;

    CRecWizHeaders1* m_headers;
    CRecWizEntries* m_entries;
    CRecWizAction* m_action;
    QList<CRecWizPage*> m_details; // by action type
    CRecWizLog* m_log;
    CRecWizFinish* m_finishPage;
};
