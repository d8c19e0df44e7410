#include "support/gui/WizardDriver.h"

#include "core/recipes/CRecipeDefinition.h"
#include "gui/common/CTabPromptEdit.h"
#include "gui/wizard/CRecWizEntries.h"
#include "gui/wizard/CRecWizHeaders1.h"
#include "gui/wizard/CRecWizLog.h"
#include "gui/wizard/CRecWizPage.h"
#include "gui/wizard/CRecipeWizSheet.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

WizardDriver::WizardDriver(CRecipeWizSheet* sheet)
    : m_sheet(sheet)
{
}

QWidget* WizardDriver::CurrentPage() const
{
    return m_sheet->CurrentPage();
}

int WizardDriver::PageId() const
{
    return m_sheet->CurrentPage()->DialogId();
}

bool WizardDriver::Next()
{
    const QWidget* before = CurrentPage();
    m_sheet->NextButton()->click();
    return CurrentPage() != before;
}

bool WizardDriver::Back()
{
    const QWidget* before = CurrentPage();
    m_sheet->BackButton()->click();
    return CurrentPage() != before;
}

void WizardDriver::Finish()
{
    m_sheet->FinishButton()->click();
}

void WizardDriver::Field(int field, const QString& customHeader, bool invert)
{
    CRecWizHeaders1* page = m_sheet->HeadersPage();
    page->FieldButton(field)->click();
    if (field == CRecipeCondition::CustomHeader)
        page->CustomHeaderBox()->setText(customHeader);
    page->InvertBox()->setChecked(invert);
}

void WizardDriver::Entries(const QString& text, int join)
{
    CRecWizEntries* page = m_sheet->EntriesPage();
    page->EntryBox()->setPlainText(text);
    page->Joins()->button(join)->click();
}

void WizardDriver::Size(const QString& size, int join)
{
    CRecWizEntries* page = m_sheet->EntriesPage();
    page->SizeBox()->setText(size);
    page->Joins()->button(join)->click();
}

void WizardDriver::Condition(
    int field, const QString& entries, int join, bool invert, const QString& customHeader)
{
    Field(field, customHeader, invert);
    Next();
    if (field == CRecipeCondition::Size)
        Size(entries, join);
    else if (field != CRecipeCondition::AllMessages)
        Entries(entries, join);
    Next();
}

void WizardDriver::Action(int type)
{
    Control<QRadioButton>(qPrintable(QStringLiteral("type%1").arg(type)))->click();
}

void WizardDriver::SaveTo(const QString& mailbox)
{
    Action(ActionSave);
    Next();
    SetChecked("customMailboxChoice", true);
    SetText("customMailbox", mailbox);
    Next();
}

void WizardDriver::SetText(const char* name, const QString& text)
{
    QWidget* box = Control<QWidget>(name);
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        plain->setPlainText(text);
    else
        qWarning("no text box named %s", name);
}

void WizardDriver::SetChecked(const char* name, bool checked)
{
    auto* button = Control<QAbstractButton>(name);
    if (!button) {
        qWarning("no button named %s", name);
        return;
    }
    if (button->isChecked() != checked)
        button->click();
}

void WizardDriver::Set(const QString& name, const QString& value)
{
    const QByteArray key = name.toLatin1();
    QWidget* control = Control<QWidget>(key.constData());
    if (qobject_cast<QAbstractButton*>(control))
        SetChecked(key.constData(), value == QLatin1String("1"));
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->setValue(value.toInt());
    else
        SetText(key.constData(), value);
}

void WizardDriver::Name(const QString& name, int logging, bool nameHeader)
{
    CRecWizLog* page = m_sheet->LogPage();
    page->NameBox()->setText(name);
    page->Logging()->button(logging)->click();
    page->NameHeaderBox()->setChecked(nameHeader);
}
