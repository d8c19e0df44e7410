#include "gui/wizard/CRecWizAction.h"

#include "core/common/Prompt.h"
#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

CRecWizAction::CRecWizAction(QWidget* parent)
    : CRecWizPage(143, QStringLiteral("Select action to perform"), QStringLiteral("rWizPg3.html"), parent)
    , m_types(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    // In the order of the type numbers stored in the definition.
    const char* const texts[] = { "Add string to Subject: line", "Remove string from Subject: line",
        "Add header to message", "Remove header from message", "Modify message body", "Set exitcode",
        "Delete message", "Forward message", "Send reply to message", "Save message" };
    int type = 0;
    for (const char* text : texts) {
        auto* button = new QRadioButton(QString::fromLatin1(text), this);
        button->setObjectName(QStringLiteral("type%1").arg(type));
        m_types->addButton(button, type++);
        layout->addWidget(button);
    }
    layout->addStretch(1);
}

int CRecWizAction::ChosenType() const
{
    QAbstractButton* button = m_types->checkedButton();
    return button && button->isEnabled() ? m_types->id(button) : -1;
}

void CRecWizAction::OnSetActive(CRecipeDefinition& definition)
{
    const QList<qint32>& types = definition.ActionTypes();
    for (QAbstractButton* button : m_types->buttons()) {
        const int type = m_types->id(button);
        bool chosenElsewhere = false;
        for (int i = 0; i < types.size(); ++i)
            chosenElsewhere = chosenElsewhere || (i != m_position && types.at(i) == type);
        button->setEnabled(!ActionChecks::OnceOnly(type) || !chosenElsewhere);
    }
    const int stored = m_position >= 0 && m_position < types.size() ? types.at(m_position) : ActionSave;
    // A type the page does not offer (a damaged file) leaves nothing chosen: Next then asks for one.
    m_types->setExclusive(false);
    for (QAbstractButton* button : m_types->buttons())
        button->setChecked(false);
    m_types->setExclusive(true);
    if (QAbstractButton* button = m_types->button(stored); button && button->isEnabled())
        button->setChecked(true);
}

bool CRecWizAction::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (ChosenType() >= 0)
        return true;
    Prompt::Tell(QStringLiteral("Please select an action to perform."), QStringLiteral("Nothing selected"),
        Prompt::Information);
    return false;
}

void CRecWizAction::Save(CRecipeDefinition& definition)
{
    const int type = ChosenType();
    if (type < 0)
        return;
    QList<qint32>& types = definition.ActionTypes();
    if (m_position >= 0 && m_position < types.size())
        types[m_position] = type;
    else if (m_position == types.size())
        types.append(type);
}
