#include "gui/wizard/CRecWizAD2.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "gui/wizard/WizardServices.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>

CRecWizAD2::CRecWizAD2(QWidget* parent)
    : CRecWizDetailPage(173, ActionRemoveHeader, QStringLiteral("Removing header from message"),
        QStringLiteral("rWizPg4RemHead.html"), parent)
    , m_header(new QLineEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WizardServices::CreateEditToolBar(this));
    AddExplanation(layout,
        { QStringLiteral("Enter the header you would like to remove.  For example, to remove a \""),
            QStringLiteral("List-Unsubscribe:"), QStringLiteral("\" header enter \""),
            QStringLiteral("List-Unsubscribe:"),
            QStringLiteral(
                "\" (without the quotes).  This will remove all headers that begin with the name you "
                "enter.  For example, if you enter \""),
            QStringLiteral("List"),
            QStringLiteral(
                "\" any header that begins with \"List\" will be removed i.e. \"List-Unsubscribe:\", "
                "\"List-Help:\", \"List-Whatever:\", etc.\n\nDo not enter anything after the colon, "
                "for example entering \""),
            QStringLiteral("List-Unsubscribe: <mailto:mylist-leave@example.com>"),
            QStringLiteral(
                "\" would add that header rather than remove it (if you want to add a header please "
                "hit the \"Back\" button and make the proper selection).") });
    auto* label = new QLabel(QStringLiteral("Header to remove:"), this);
    label->setBuddy(m_header);
    layout->addWidget(label);
    m_header->setObjectName(QStringLiteral("headerToRemove"));
    WizardServices::UseEntryFont(m_header);
    layout->addWidget(m_header);
    AddAnotherBox(layout);
}

void CRecWizAD2::Load(const CActionDetails& values)
{
    m_header->setText(QString::fromUtf8(values.headerToRemove));
    m_another->setChecked(values.anotherAction != 0);
}

CActionDetails CRecWizAD2::Values() const
{
    CActionDetails values;
    values.headerToRemove = m_header->text().toUtf8();
    values.anotherAction = AnotherAction();
    return values;
}

bool CRecWizAD2::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (!CheckSingleLine(m_header))
        return false;
    const ActionProblem problem = ActionChecks::CheckOwnValues(ActionType(), Values());
    if (!problem.IsNull())
        return Refuse(m_header, problem);
    return EscapeWarningGoOn(m_header);
}
