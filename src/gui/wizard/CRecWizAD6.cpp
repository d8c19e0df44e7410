#include "gui/wizard/CRecWizAD6.h"

#include "core/recipes/CRecipeDefinition.h"

#include <QVBoxLayout>

CRecWizAD6::CRecWizAD6(QWidget* parent)
    : CRecWizDetailPage(
        171, ActionDelete, QStringLiteral("Deleting message"), QStringLiteral("rWizPg4Delete.html"), parent)
{
    auto* layout = new QVBoxLayout(this);
    AddWarning(layout,
        QStringLiteral(
            "\nThe message will be deleted.\n\nBe certain this is what you want before continuing.  "
            "If you're sure you want the message deleted, hit the \"Next\" button to continue."));
    layout->addStretch(1);
}

void CRecWizAD6::Load(const CActionDetails& values)
{
    Q_UNUSED(values);
}

CActionDetails CRecWizAD6::Values() const
{
    return CActionDetails();
}
