#pragma once

#include <QString>
#include <QWidget>

class CRecipeWizSheet;

// Drives the Recipe Wizard through its real widgets, the way a user fills it in: click a field,
// type the entries, choose a join, press Next. Message boxes go through Prompt, so a test queues
// their answers first.
class WizardDriver
{
public:
    explicit WizardDriver(CRecipeWizSheet* sheet);

    CRecipeWizSheet* Sheet() const { return m_sheet; }
    // The dialog number of the page shown (140, 142, 143, 146, ...).
    int PageId() const;
    // Press a button; true when another page is shown afterwards.
    bool Next();
    bool Back();
    void Finish();

    // The field page: the field, the custom header's name (field 11) and "Invert the condition".
    void Field(int field, const QString& customHeader = QString(), bool invert = false);
    // The entries page: one entry per line ("\n" between), or the size for field 9; and the join.
    void Entries(const QString& text, int join = 0);
    void Size(const QString& size, int join = 0);
    // A whole condition: field page, Next, entries page, Next.
    void Condition(int field, const QString& entries, int join = 0, bool invert = false,
        const QString& customHeader = QString());

    // The action page.
    void Action(int type);
    // The save action into a mailbox of the user's own: action page, Next, the mailbox, Next.
    void SaveTo(const QString& mailbox);
    // A control of the page shown, by its object name.
    template <typename T> T* Control(const char* name) const
    {
        return CurrentPage()->findChild<T*>(QLatin1String(name));
    }
    void SetText(const char* name, const QString& text);
    void SetChecked(const char* name, bool checked);
    // Any control by its object name: "1"/"0" tick or untick a button, a number sets a spin box,
    // anything else goes into a text box.
    void Set(const QString& name, const QString& value);

    // The name and logging page.
    void Name(const QString& name, int logging = 1, bool nameHeader = false);

private:
    QWidget* CurrentPage() const;

    CRecipeWizSheet* m_sheet;
};
