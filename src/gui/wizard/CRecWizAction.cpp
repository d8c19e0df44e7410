#include "gui/wizard/CRecWizAction.h"

#include "core/recipes/CRecipeDefinition.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

CRecWizAction::CRecWizAction(QWidget* parent)
    : CRecWizPage(143, QStringLiteral("Select action to perform"), QStringLiteral("rWizPg3.html"), parent)
    , m_types(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    const char* const texts[] = { "Add string to Subject: line", "Remove string from Subject: line",
        "Add header to message", "Remove header from message", "Modify message body", "Set exitcode",
        "Delete message", "Forward message", "Send reply to message", "Save message" };
    int type = 0;
    for (const char* text : texts) {
        auto* button = new QRadioButton(QString::fromLatin1(text), this);
        m_types->addButton(button, type++);
        layout->addWidget(button);
    }
    layout->addStretch(1);
}

int CRecWizAction::ChosenType() const
{
    return m_types->checkedId();
}

void CRecWizAction::OnSetActive(CRecipeDefinition& definition)
{
    const QList<qint32>& types = definition.ActionTypes();
    const int stored = m_position >= 0 && m_position < types.size() ? types.at(m_position) : ActionSave;
    if (QAbstractButton* button = m_types->button(stored))
        button->setChecked(true);
}

bool CRecWizAction::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    return ChosenType() >= 0;
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
