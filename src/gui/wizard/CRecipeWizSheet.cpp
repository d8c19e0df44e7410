#include "gui/wizard/CRecipeWizSheet.h"

#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeFile.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"
#include "gui/wizard/CRecWizAD1.h"
#include "gui/wizard/CRecWizAD10.h"
#include "gui/wizard/CRecWizAD2.h"
#include "gui/wizard/CRecWizAD3.h"
#include "gui/wizard/CRecWizAD4.h"
#include "gui/wizard/CRecWizAD5.h"
#include "gui/wizard/CRecWizAD6.h"
#include "gui/wizard/CRecWizAD7.h"
#include "gui/wizard/CRecWizAD8.h"
#include "gui/wizard/CRecWizAD9.h"
#include "gui/wizard/CRecWizAction.h"
#include "gui/wizard/CRecWizEntries.h"
#include "gui/wizard/CRecWizFinish.h"
#include "gui/wizard/CRecWizHeaders1.h"
#include "gui/wizard/CRecWizLog.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

namespace {

QString Caption(CRecipeWizSheet::Mode mode)
{
    switch (mode) {
    case CRecipeWizSheet::NewRecipe:
        return QStringLiteral("New Recipe");
    case CRecipeWizSheet::EditByName:
        return QStringLiteral("Wizard");
    default:
        return QStringLiteral("Recipe Wizard");
    }
}

} // namespace

CRecipeWizSheet::CRecipeWizSheet(Mode mode, const QString& recipeFilePath, QWidget* parent)
    : CWizardFrame(parent)
    , m_finisher(recipeFilePath, mode != EditByName, QByteArray())
{
    setObjectName(QStringLiteral("RecipeWizSheet"));
    setWindowTitle(Caption(mode));
    setSizeGripEnabled(true);

    m_headers = new CRecWizHeaders1(this);
    m_entries = new CRecWizEntries(this);
    m_action = new CRecWizAction(this);
    // The detail page of each action type, in the order of the type numbers.
    m_details = { new CRecWizAD10(this), new CRecWizAD3(this), new CRecWizAD1(this), new CRecWizAD2(this),
        new CRecWizAD4(this), new CRecWizAD5(this), new CRecWizAD6(this), new CRecWizAD7(this),
        new CRecWizAD8(this), new CRecWizAD9(this) };
    m_log = new CRecWizLog(this);
    m_finishPage = new CRecWizFinish(this);
    // Added in the order of their dialog table: field, entries, action, the details 146 ... 206.
    for (CRecWizPage* page : { static_cast<CRecWizPage*>(m_headers), static_cast<CRecWizPage*>(m_entries),
             static_cast<CRecWizPage*>(m_action), m_details.at(ActionAddHeader),
             m_details.at(ActionRemoveHeader), m_details.at(ActionRemoveSubject),
             m_details.at(ActionModifyBody), m_details.at(ActionExitCode), m_details.at(ActionDelete),
             m_details.at(ActionForward), m_details.at(ActionReply), m_details.at(ActionSave),
             m_details.at(ActionAddSubject), static_cast<CRecWizPage*>(m_log),
             static_cast<CRecWizPage*>(m_finishPage) })
        Pages()->addWidget(page);

    FinishButton()->setText(QStringLiteral("&Finish"));
    connect(BackButton(), &QPushButton::clicked, this, &CRecipeWizSheet::Back);
    connect(NextButton(), &QPushButton::clicked, this, &CRecipeWizSheet::Next);
    connect(FinishButton(), &QPushButton::clicked, this, &CRecipeWizSheet::FinishRecipe);
    connect(m_finishPage->TryButton(), &QPushButton::clicked, this, [this] {
        if (m_messageTrial)
            m_messageTrial(RecipeFileAfterFinish(), this);
    });
    connect(HelpButton(), &QPushButton::clicked, this,
        [this] { ShowHelpTopic(this, CurrentPage()->HelpTopic()); });
    // F1 on the sheet's own buttons explains the wizard as a whole; inside a page, the page.
    SetHelpTopic(this, QStringLiteral("rWizard.html"));
}

void CRecipeWizSheet::Start(
    const CRecipeDefinition& definition, const QByteArray& originalName, bool offerList)
{
    m_definition = definition;
    m_definition.DataMgr().SetCurrentAction(0);
    m_finisher = RecipeWizardFinish(m_finisher.RecipeFilePath(), m_finisher.IsNew(), originalName);
    m_originalName = originalName;
    m_finisher.RememberBlock();
    m_finishPage->SetOffer(offerList);
    m_headers->SetCondition(0);
    m_action->SetPosition(0);
    showPage(m_headers);
}

void CRecipeWizSheet::SetMessageTrial(MessageTrial trial)
{
    m_messageTrial = std::move(trial);
    m_finishPage->TryButton()->setVisible(static_cast<bool>(m_messageTrial));
}

QByteArray CRecipeWizSheet::RecipeFileAfterFinish() const
{
    QByteArray text;
    QFile file(m_finisher.RecipeFilePath());
    if (file.open(QIODevice::ReadOnly))
        text = file.readAll();
    QList<CRecipeListEntry> entries;
    QList<QByteArray> unparsed;
    CRecipeFile::ParseRecipeText(text, &entries, &unparsed);
    QByteArray block = RecipeWizardFinish::BuildBlock(m_definition, RecipeTextSettings::FromProfile());
    // The list holds blocks from their begin line on.
    if (block.startsWith('\n'))
        block.remove(0, 1);
    const QByteArray target = (m_finisher.IsNew() ? m_definition.GetName() : m_originalName).toLower();
    bool replaced = false;
    QByteArray result;
    for (const CRecipeListEntry& entry : std::as_const(entries)) {
        const bool ours = !replaced && !entry.unparsed && entry.name.toLower() == target;
        result += (ours ? block : entry.text) + '\n';
        replaced = replaced || ours;
    }
    if (!replaced)
        result += block + '\n';
    return result;
}

CRecWizPage* CRecipeWizSheet::CurrentPage() const
{
    return static_cast<CRecWizPage*>(Pages()->currentWidget());
}

CRecWizPage* CRecipeWizSheet::Page(int dialogId) const
{
    for (int i = 0; i < Pages()->count(); ++i) {
        auto* page = static_cast<CRecWizPage*>(Pages()->widget(i));
        if (page->DialogId() == dialogId)
            return page;
    }
    return nullptr;
}

CRecWizPage* CRecipeWizSheet::detailPage(int type) const
{
    // A type the pages do not know opens the add-header page.
    return type >= 0 && type < m_details.size() ? m_details.at(type) : m_details.at(ActionAddHeader);
}

void CRecipeWizSheet::showPage(CRecWizPage* page)
{
    Pages()->setCurrentWidget(page);
    page->OnSetActive(m_definition);
    PageTitle()->setText(page->Title());
    SetHelpTopic(page, page->HelpTopic());
    const bool first = page == m_headers && m_headers->Condition() == 0;
    const bool last = page == m_finishPage;
    BackButton()->setVisible(!first);
    NextButton()->setVisible(!last);
    FinishButton()->setVisible(last);
    NextButton()->setDefault(!last);
    FinishButton()->setDefault(last);
}

void CRecipeWizSheet::Next()
{
    CRecWizPage* page = CurrentPage();
    if (page == m_finishPage)
        return;
    if (!page->Validate(m_definition))
        return;
    page->Save(m_definition);
    if (page == m_headers) {
        m_entries->SetCondition(m_headers->Condition());
        showPage(m_entries);
    } else if (page == m_entries) {
        const int k = m_entries->Condition();
        if (m_definition.GetJoin(k) != CRecipeCondition::JoinNone) {
            m_headers->SetCondition(k + 1);
            showPage(m_headers);
        } else {
            m_definition.Conditions().resize(k + 1);
            m_action->SetPosition(0);
            showPage(m_action);
        }
    } else if (page == m_action) {
        const int j = m_action->Position();
        m_definition.DataMgr().SetCurrentAction(j);
        m_action->SetPosition(j + 1);
        showPage(detailPage(m_definition.GetActionType(j)));
    } else if (page == m_log) {
        showPage(m_finishPage);
    } else {
        nextFromDetail();
    }
}

void CRecipeWizSheet::nextFromDetail()
{
    const int j = m_definition.DataMgr().GetCurrentAction();
    const bool another
        = m_definition.GetActionType(j) != ActionDelete && m_definition.Action(j).anotherAction != 0;
    m_definition.DataMgr().SetCurrentAction(j + 1);
    if (another) {
        m_action->SetPosition(j + 1);
        showPage(m_action);
        return;
    }
    m_definition.ActionTypes().resize(j + 1);
    m_definition.DataMgr().Truncate(j + 1);
    showPage(m_log);
}

void CRecipeWizSheet::Back()
{
    CRecWizPage* page = CurrentPage();
    if (page == m_headers && m_headers->Condition() == 0)
        return;
    page->Save(m_definition);
    if (page == m_headers) {
        m_entries->SetCondition(m_headers->Condition() - 1);
        showPage(m_entries);
    } else if (page == m_entries) {
        m_headers->SetCondition(m_entries->Condition());
        showPage(m_headers);
    } else if (page == m_action) {
        const int j = m_action->Position();
        if (j > 0) {
            m_definition.DataMgr().SetCurrentAction(j - 1);
            showPage(detailPage(m_definition.GetActionType(j - 1)));
        } else {
            m_entries->SetCondition(m_definition.GetConditionCount() - 1);
            showPage(m_entries);
        }
    } else if (page == m_log) {
        m_definition.DataMgr().SetCurrentAction(m_definition.GetActionCount() - 1);
        showPage(detailPage(m_definition.GetActionType(m_definition.GetActionCount() - 1)));
    } else if (page == m_finishPage) {
        showPage(m_log);
    } else {
        m_action->SetPosition(m_definition.DataMgr().GetCurrentAction());
        showPage(m_action);
    }
}

void CRecipeWizSheet::FinishRecipe()
{
    if (CurrentPage() != m_finishPage)
        return;
    if (!m_finisher.Finish(m_definition, RecipeTextSettings::FromProfile(),
            [](const QString& local, const QString& remote) { AddPending(local, remote); }))
        return;
    Prompt::Tell(m_finisher.ResultText(), QStringLiteral("Success"), Prompt::Information);
    if (m_finishPage->Offer()) {
        const bool list = m_finishPage->ListBox()->isChecked();
        SetSetting(Settings::ShowRecipeListAfterWizard, list ? 1 : 0);
        m_positionEditRequested = list;
    }
    accept();
}
