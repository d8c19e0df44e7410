#include "gui/wizard/CRecWizLog.h"

#include "core/common/Prompt.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/RecipeValueRules.h"
#include "gui/common/CMessageLine.h"
#include "gui/wizard/WizardServices.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

CRecWizLog::CRecWizLog(QWidget* parent)
    : CRecWizPage(156, QStringLiteral("Recipe name and logging"), QStringLiteral("rWizPg5.html"), parent)
    , m_name(new QLineEdit(this))
    , m_nameHeader(new QCheckBox(QStringLiteral("A&dd X-ZEPH-RECIPE: (recipe name) header to message"), this))
    , m_logging(new QButtonGroup(this))
    , m_note(new CMessageLine(this,
          QStringLiteral("This is not the final delivering recipe for messages filtered by this recipe.  For "
                         "more information press the help button.")))
{
    setObjectName(QStringLiteral("RecWizLog"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Recipe na&me:"), this);
    label->setBuddy(m_name);
    m_name->setMaxLength(RecipeValueRules::MaxNameLength);
    WizardServices::UseEntryFont(m_name);
    layout->addWidget(label);
    layout->addWidget(m_name);
    layout->addWidget(m_nameHeader);

    auto* group = new QGroupBox(QStringLiteral("Logging"), this);
    auto* choices = new QVBoxLayout(group);
    const char* const texts[] = { "No &logging", "Norm&al logging", "E&xtended logging" };
    for (int choice = 0; choice < 3; ++choice) {
        auto* button = new QRadioButton(QString::fromLatin1(texts[choice]), group);
        m_logging->addButton(button, choice);
        choices->addWidget(button);
    }
    layout->addWidget(group);
    m_note->setWordWrap(true);
    layout->addWidget(m_note);
    layout->addStretch(1);
}

void CRecWizLog::OnSetActive(CRecipeDefinition& definition)
{
    m_name->setText(QString::fromUtf8(definition.GetName()));
    m_nameHeader->setChecked(definition.HasNameHeader());
    QAbstractButton* choice = m_logging->button(definition.GetLoggingChoice());
    (choice ? choice : m_logging->button(1))->setChecked(true);
    m_note->setVisible(!definition.Delivers());
    m_name->setFocus();
}

bool CRecWizLog::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    const QString name = m_name->text();
    if (WizardServices::RefuseLineBreak(name, m_name))
        return false;
    const RecipeValueRules::NameProblem problem = RecipeValueRules::CheckName(name.toUtf8());
    switch (problem.kind) {
    case RecipeValueRules::NameProblem::None:
        return true;
    case RecipeValueRules::NameProblem::Empty:
        Prompt::Tell(problem.text, QStringLiteral("Please enter a name"), Prompt::Warning);
        m_name->setFocus();
        return false;
    default:
        Prompt::Tell(problem.text, QStringLiteral("Modify Recipe Name"), Prompt::Information);
        WizardServices::FocusAndSelect(m_name);
        return false;
    }
}

void CRecWizLog::Save(CRecipeDefinition& definition)
{
    definition.SetName(m_name->text().toUtf8());
    definition.SetNameHeader(m_nameHeader->isChecked());
    definition.SetLoggingChoice(m_logging->checkedId());
}
