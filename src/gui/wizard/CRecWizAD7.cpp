#include "gui/wizard/CRecWizAD7.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/settings/SettingsTable.h"
#include "gui/wizard/WizardServices.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

CRecWizAD7::CRecWizAD7(QWidget* parent)
    : CRecWizDetailPage(170, ActionForward, QStringLiteral("Forwarding message"),
        QStringLiteral("rWizPg4Forward.html"), parent)
    , m_addresses(new QPlainTextEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WizardServices::CreateEditToolBar(this));
    const QString address = QLatin1String(Settings::PlaceholderAddress);
    AddExplanation(layout,
        { QStringLiteral("The message will be forwarded to the addresses you enter in the box.  To enter "
                         "multiple addresses, enter one address per line. For example:\r\n\r\n"),
            QStringLiteral("%1\r\nfriend@example.org\r\n").arg(address),
            QStringLiteral(
                "would forward the message to both those addresses.  Enter the email address only, "
                "do not enter the users name or add 'angle brackets'.  e.g. Do"),
            QStringLiteral(" not "), QStringLiteral("enter\r\n"),
            QStringLiteral("Your Name <%1>\r\n").arg(address), QStringLiteral("just enter\r\n"), address });
    auto* label = new QLabel(QStringLiteral("Address(es) to forward message to:"), this);
    label->setBuddy(m_addresses);
    layout->addWidget(label);
    m_addresses->setObjectName(QStringLiteral("forwardAddresses"));
    m_addresses->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_addresses, 1);
    AddCopyBoxes(layout);
}

void CRecWizAD7::Load(const CActionDetails& values)
{
    QString addresses = QString::fromUtf8(values.forwardAddresses);
    addresses.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_addresses->setPlainText(addresses);
    // The newest address is the one a user came back to change.
    m_addresses->moveCursor(QTextCursor::End);
    m_addresses->verticalScrollBar()->setValue(m_addresses->verticalScrollBar()->maximum());
    m_copy->setChecked(values.copy != 0);
    m_another->setChecked(values.anotherAction != 0);
}

CActionDetails CRecWizAD7::Values() const
{
    CActionDetails values;
    QString addresses = m_addresses->toPlainText();
    addresses.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    values.forwardAddresses = addresses.toUtf8();
    values.copy = m_copy->isChecked() ? 1 : 0;
    values.anotherAction = AnotherAction();
    return values;
}

bool CRecWizAD7::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    const ActionProblem problem = ActionChecks::CheckOwnValues(ActionType(), Values());
    return problem.IsNull() || Refuse(m_addresses, problem);
}
