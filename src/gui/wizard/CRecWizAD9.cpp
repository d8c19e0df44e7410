#include "gui/wizard/CRecWizAD9.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/settings/Profile.h"
#include "gui/common/CCheckQuestionDlg.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

CRecWizAD9::CRecWizAD9(QWidget* parent)
    : CRecWizDetailPage(
        168, ActionSave, QStringLiteral("Saving message"), QStringLiteral("rWizPg4Save.html"), parent)
    , m_default(new QRadioButton(QStringLiteral("Save to my default mailbox"), this))
    , m_custom(new QRadioButton(QStringLiteral("Save to custom mailbox:"), this))
    , m_mailbox(new QLineEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    AddExplanation(layout,
        { QStringLiteral(
            "Where would you like to save the message to?  You should select \"Save to my default "
            "mailbox\" unless you are an advanced user.") });
    m_default->setObjectName(QStringLiteral("defaultMailbox"));
    m_custom->setObjectName(QStringLiteral("customMailboxChoice"));
    m_mailbox->setObjectName(QStringLiteral("customMailbox"));
    layout->addWidget(m_default);
    layout->addWidget(m_custom);
    layout->addWidget(m_mailbox);
    AddCopyBoxes(layout);
    m_default->setChecked(true);
    m_mailbox->setEnabled(false);
    connect(m_custom, &QRadioButton::toggled, m_mailbox, &QWidget::setEnabled);
}

void CRecWizAD9::Load(const CActionDetails& values)
{
    (values.mailboxMode == 1 ? m_custom : m_default)->setChecked(true);
    m_mailbox->setText(QString::fromUtf8(values.customMailbox));
    m_copy->setChecked(values.copy != 0);
    m_another->setChecked(values.anotherAction != 0);
}

CActionDetails CRecWizAD9::Values() const
{
    CActionDetails values;
    values.mailboxMode = m_custom->isChecked() ? 1 : 0;
    if (values.mailboxMode == 1)
        values.customMailbox = m_mailbox->text().toUtf8();
    values.copy = m_copy->isChecked() ? 1 : 0;
    values.anotherAction = AnotherAction();
    return values;
}

bool CRecWizAD9::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (!m_custom->isChecked())
        return true;
    if (!CheckSingleLine(m_mailbox))
        return false;
    const ActionProblem problem = ActionChecks::CheckOwnValues(ActionType(), Values());
    if (!problem.IsNull())
        return Refuse(m_mailbox, problem);
    const QString name = m_mailbox->text();
    // Without a lockfile, a mailbox that is a plain file can be garbled by two deliveries at once.
    if (GetSetting(Settings::DontShowLockfileWarning) == 0 && GetSetting(Settings::MaildirFormat) != 0
        && !name.endsWith(QLatin1Char('/'))) {
        bool dontShow = false;
        const Prompt::Button answer = CCheckQuestionDlg::Ask(
            QStringLiteral(
                "You have specified that you are always delivering mail to a directory and do not "
                "require a lockfile.  If you are not certain you are delivering to a directory you "
                "should modify that setting ('Tools' - 'Settings' - 'Misc' tab) before completing "
                "this recipe.\r\n\r\nA common directory format is 'maildir' with which you typically "
                "would put a slash (/) at the end of the name (your entry does not end with a "
                "slash).  Would you like to modify your entry?"),
            QStringLiteral("Edit name?"), QStringLiteral("Don't show this warning again"), &dontShow, this,
            QString(), CCheckQuestionDlg::YesNoCancel, true);
        SetSetting(Settings::DontShowLockfileWarning, dontShow ? 1 : 0);
        if (answer != Prompt::No) {
            FocusAndSelect(m_mailbox);
            return false;
        }
    }
    static const QString special = QStringLiteral(" ~!#^&*(){}[]'\"<>?\\|");
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return special.contains(c); })) {
        const Prompt::Button answer = Prompt::Ask(
            QStringLiteral(
                "Although it's permitted, you should try to avoid Unix filenames that contain spaces or "
                "the characters:\n~!#^&*(){}[]'\"<>?\\| \nYour mailbox name either contains one (or "
                "more) of those characters or a space.  Would you like to change the filename?  (It's "
                "recommend you do so unless you are sure of what you are doing.)"),
            QStringLiteral("Change filename?"), Prompt::Question, Prompt::Yes | Prompt::No, Prompt::Yes);
        if (answer == Prompt::Yes) {
            FocusAndSelect(m_mailbox);
            return false;
        }
    }
    return true;
}
