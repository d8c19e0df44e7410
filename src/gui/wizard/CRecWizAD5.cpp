#include "gui/wizard/CRecWizAD5.h"

#include "core/recipes/CRecipeDefinition.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

CRecWizAD5::CRecWizAD5(QWidget* parent)
    : CRecWizDetailPage(
        172, ActionExitCode, QStringLiteral("Setting exitcode"), QStringLiteral("rWizPg4Exit.html"), parent)
    , m_exitCode(new QSpinBox(this))
{
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Enter exitcode:"), this);
    label->setBuddy(m_exitCode);
    row->addWidget(label);
    m_exitCode->setObjectName(QStringLiteral("exitCode"));
    // Every number a stored definition may hold, so that loading one never changes it.
    m_exitCode->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    row->addWidget(m_exitCode);
    row->addStretch(1);
    layout->addLayout(row);
    AddWarning(layout,
        QStringLiteral(
            "\r\nDo not use this option to attempt to bounce spam.  Spammers will never see the bounce "
            "and you are likely to bounce spam to innocent people.  You might also accidentally "
            "bounce legitimate mail.  Click the help button for more information."));
    AddAnotherBox(layout);
    layout->addStretch(1);
}

void CRecWizAD5::Load(const CActionDetails& values)
{
    m_exitCode->setValue(values.exitCode);
    m_another->setChecked(values.anotherAction != 0);
}

CActionDetails CRecWizAD5::Values() const
{
    CActionDetails values;
    values.exitCode = m_exitCode->value();
    values.anotherAction = AnotherAction();
    return values;
}
