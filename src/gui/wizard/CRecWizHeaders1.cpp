#include "gui/wizard/CRecWizHeaders1.h"

#include "core/common/Prompt.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/RecipeValueRules.h"
#include "core/settings/Profile.h"
#include "gui/wizard/CSpecifyToDlg.h"
#include "gui/wizard/WizardServices.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A To kind from the settings that is none of the three would make every later check fail; the
// plain To: header is the default.
int UsableToKind(int toKind)
{
    return toKind >= CRecipeCondition::ToHeader && toKind <= CRecipeCondition::ToUnderscoreMacro
        ? toKind
        : int(CRecipeCondition::ToHeader);
}

} // namespace

CRecWizHeaders1::CRecWizHeaders1(QWidget* parent)
    : CRecWizPage(140, QStringLiteral("Select a field to filter on"), QStringLiteral("rWizPg1.html"), parent)
    , m_fields(new QButtonGroup(this))
    , m_invert(new QCheckBox(QStringLiteral("&Invert the condition"), this))
    , m_customHeader(new QLineEdit(this))
    , m_toKindLabel(new QLabel(this))
    , m_specifyTo(new QPushButton(QStringLiteral("Specify T&o:"), this))
{
    setObjectName(QStringLiteral("RecWizHeaders1"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const char* const texts[] = { "&To:", "&Cc:", "F&rom:", "&Sender:", "S&ubject:", "R&eceived:",
        "Re&ply To:", "&Anywhere in headers", "Message bo&dy", "Message si&ze greater than",
        "Match on a&ll messages", "Custom &header:" };
    for (int field = 0; field <= CRecipeCondition::CustomHeader; ++field) {
        auto* button = new QRadioButton(QString::fromLatin1(texts[field]), this);
        m_fields->addButton(button, field);
        grid->addWidget(button, field, 0);
    }
    auto* toRow = new QHBoxLayout;
    toRow->addWidget(m_toKindLabel);
    toRow->addWidget(m_specifyTo);
    toRow->addStretch(1);
    grid->addLayout(toRow, CRecipeCondition::To, 1);
    m_customHeader->setMaxLength(int(RecipeValueRules::MaxCustomHeaderLength));
    WizardServices::UseEntryFont(m_customHeader);
    grid->addWidget(m_customHeader, CRecipeCondition::CustomHeader, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addWidget(m_invert);
    layout->addStretch(1);

    connect(m_fields, &QButtonGroup::idClicked, this, &CRecWizHeaders1::fieldChosen);
    connect(m_specifyTo, &QPushButton::clicked, this, &CRecWizHeaders1::specifyTo);
}

QString CRecWizHeaders1::ToKindText(int toKind)
{
    switch (toKind) {
    case CRecipeCondition::ToHeader:
        return QStringLiteral("\"To:\" field");
    case CRecipeCondition::ToMacro:
        return QStringLiteral("\"TO\" macro");
    case CRecipeCondition::ToUnderscoreMacro:
        return QStringLiteral("\"TO_\" macro");
    default:
        return QStringLiteral("Unexpected error!");
    }
}

QAbstractButton* CRecWizHeaders1::FieldButton(int field) const
{
    return m_fields->button(field);
}

void CRecWizHeaders1::OnSetActive(CRecipeDefinition& definition)
{
    CRecipeCondition condition;
    if (m_condition < definition.GetConditionCount())
        condition = definition.Conditions().at(m_condition);
    else
        condition.toKind = UsableToKind(GetSetting(Settings::ToMacro));
    m_toKind = condition.toKind;
    m_toKindLabel->setText(ToKindText(m_toKind));
    m_customHeader->setText(QString::fromUtf8(condition.customHeader));
    m_invert->setChecked(condition.invert != 0);
    // Only the first condition can match every message.
    FieldButton(CRecipeCondition::AllMessages)->setEnabled(m_condition == 0);
    int field = condition.field;
    if (!FieldButton(field) || !FieldButton(field)->isEnabled())
        field = CRecipeCondition::To;
    FieldButton(field)->setChecked(true);
    fieldChosen(field);
}

void CRecWizHeaders1::fieldChosen(int field)
{
    m_customHeader->setEnabled(field == CRecipeCondition::CustomHeader);
    m_invert->setEnabled(field != CRecipeCondition::AllMessages);
}

void CRecWizHeaders1::specifyTo()
{
    CSpecifyToDlg dialog(GetSetting(Settings::ToMacro), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_toKind = dialog.ToKind();
    // The choice is the default of every later To condition too.
    SetSetting(Settings::ToMacro, m_toKind);
    m_toKindLabel->setText(ToKindText(m_toKind));
}

bool CRecWizHeaders1::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (m_fields->checkedId() != CRecipeCondition::CustomHeader)
        return true;
    const QString header = m_customHeader->text();
    if (header.trimmed().isEmpty()) {
        Prompt::Tell(
            QStringLiteral("You have selected to filter on a custom header but you have not specified a "
                           "custom header.  Please enter a custom header to filter on (or select "
                           "another field to filter on)."),
            QStringLiteral("Custom header not specified."), Prompt::Information);
        m_customHeader->setFocus();
        return false;
    }
    if (WizardServices::RefuseLineBreak(header, m_customHeader))
        return false;
    // procmail joins a condition line that ends in a backslash with the next line of the recipe.
    if (header.endsWith(QLatin1Char('\\'))) {
        Prompt::Tell(
            QStringLiteral("The custom header \"%1\" ends in a backslash (\\).  procmail would join the "
                           "next recipe line to the condition.  Please remove the backslash.")
                .arg(header),
            QStringLiteral("Trailing backslash"), Prompt::Information);
        WizardServices::FocusAndSelect(m_customHeader);
        return false;
    }
    if (!WizardServices::RegexWarningGoOn(header, false, this)) {
        WizardServices::FocusAndSelect(m_customHeader);
        return false;
    }
    return true;
}

void CRecWizHeaders1::Save(CRecipeDefinition& definition)
{
    QList<CRecipeCondition>& conditions = definition.Conditions();
    if (m_condition >= conditions.size())
        conditions.resize(m_condition + 1);
    CRecipeCondition& condition = conditions[m_condition];
    condition.field = m_fields->checkedId();
    condition.toKind = m_toKind;
    condition.invert = condition.field != CRecipeCondition::AllMessages && m_invert->isChecked() ? 1 : 0;
    condition.customHeader
        = condition.field == CRecipeCondition::CustomHeader ? m_customHeader->text().toUtf8() : QByteArray();
}
