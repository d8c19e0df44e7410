#include "gui/wizard/CRecWizFinish.h"

#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/settings/Profile.h"
#include "gui/wizard/WizardServices.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

CRecWizFinish::CRecWizFinish(QWidget* parent)
    : CRecWizPage(147, QStringLiteral("Your recipe explained"), QStringLiteral("rWizPg6.html"), parent)
    , m_text(new QTextEdit(this))
    , m_list(new QCheckBox(QStringLiteral("Display &Position/Edit Recipes Dialog upon finish"), this))
    , m_try(new QPushButton(QStringLiteral("&Try a Message..."), this))
{
    setObjectName(QStringLiteral("RecWizFinish"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WizardServices::CreateEditToolBar(this));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    WizardServices::UseEntryFont(m_text);
    // The text box takes the room of the hidden check box.
    layout->addWidget(m_text, 1);
    m_try->setObjectName(QStringLiteral("TryMessage"));
    m_try->setToolTip(QStringLiteral("Run the recipes, this one in place, on a sample message"));
    m_try->setAutoDefault(false);
    m_try->setVisible(false);
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addWidget(m_try);
    layout->addLayout(row);
}

QStringList CRecWizFinish::Segments(const CRecipeDefinition& definition)
{
    QStringList segments;
    for (const QByteArray& segment : CRecipeSummary::BuildSummarySegments(definition))
        segments << QString::fromUtf8(segment);
    // The summary ends with an empty highlighted segment, so the notes are in the normal style.
    segments << QStringLiteral("\n\nIf this is not correct, hit the \"Back\" button and make any desired "
                               "changes.\n\n")
             << QString()
             << QStringLiteral("You can ignore the rest of this message if you wish.  The recipe is below "
                               "(although there may be some extraneous line wraps).\n\n")
             << QString() << QString::fromUtf8(CActionBuilder::BuildRecipeText(definition)) << QString();
    for (QString& segment : segments)
        segment.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return segments;
}

void CRecWizFinish::OnSetActive(CRecipeDefinition& definition)
{
    m_list->setVisible(m_offer);
    if (m_offer)
        m_list->setChecked(GetSetting(Settings::ShowRecipeListAfterWizard) != 0);
    WizardServices::FillExplanation(m_text, Segments(definition));
    m_text->setFocus();
}

void CRecWizFinish::Save(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
}
