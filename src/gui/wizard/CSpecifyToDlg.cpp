#include "gui/wizard/CSpecifyToDlg.h"

#include "core/recipes/CRecipeDefinition.h"
#include "gui/common/Help.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const QString HelpTopic = QStringLiteral("rWizPg1.html#to_overview");
}

CSpecifyToDlg::CSpecifyToDlg(int toKind, QWidget* parent)
    : QDialog(parent)
    , m_choices(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Specify \"To:\" field"));
    auto* layout = new QVBoxLayout(this);
    const struct
    {
        const char* text;
        int kind;
    } choices[] = {
        { "\"&To:\" field only", CRecipeCondition::ToHeader },
        { "\"T&O\" macro", CRecipeCondition::ToMacro },
        { "\"TO&_\" macro", CRecipeCondition::ToUnderscoreMacro },
    };
    for (const auto& choice : choices) {
        auto* button = new QRadioButton(QString::fromLatin1(choice.text), this);
        m_choices->addButton(button, choice.kind);
        layout->addWidget(button);
    }
    QAbstractButton* preset = m_choices->button(toKind);
    (preset ? preset : m_choices->button(CRecipeCondition::ToHeader))->setChecked(true);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] { ShowHelpTopic(this, HelpTopic); });
    layout->addWidget(buttons);
    SetHelpTopic(this, HelpTopic);
}

int CSpecifyToDlg::ToKind() const
{
    return m_choices->checkedId();
}
