#pragma once

#include <QString>
#include <QWidget>

class CRecipeDefinition;

// One page of the Recipe Wizard. The sheet (CRecipeWizSheet) shows one page at a time and keeps
// the recipe definition; a page holds only what is on screen. The sheet calls OnSetActive when the
// page is shown, Validate and then Save when the user presses Next, and only Save on Back (what
// was typed is kept without being checked). Which index a page edits (condition k, action j) is
// set by the sheet before OnSetActive: the condition pages and the action page keep their own
// index; the detail pages edit the definition's current action (DataMgr().GetCurrentAction()).
class CRecWizPage : public QWidget
{
    Q_OBJECT

public:
    CRecWizPage(int dialogId, const QString& title, const QString& helpTopic, QWidget* parent = nullptr)
        : QWidget(parent)
        , m_dialogId(dialogId)
        , m_title(title)
        , m_helpTopic(helpTopic)
    {
    }

    // The page's identity in the sequence rules (140 the field page, 142 the entries page...).
    int DialogId() const { return m_dialogId; }
    // The title line of the sheet; the entries page answers per field.
    virtual QString Title() const { return m_title; }
    virtual QString HelpTopic() const { return m_helpTopic; }

    virtual void OnSetActive(CRecipeDefinition& definition) = 0;
    // Shows the message of the first failed check, puts the focus in the box concerned and returns
    // false; nothing is written to the definition then.
    virtual bool Validate(CRecipeDefinition& definition)
    {
        Q_UNUSED(definition);
        return true;
    }
    virtual void Save(CRecipeDefinition& definition) = 0;

private:
    int m_dialogId;
    QString m_title;
    QString m_helpTopic;
};
