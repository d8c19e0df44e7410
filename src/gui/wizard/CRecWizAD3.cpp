#include "gui/wizard/CRecWizAD3.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "gui/common/CTabPromptEdit.h"
#include "gui/wizard/WizardServices.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

CRecWizAD3::CRecWizAD3(QWidget* parent)
    : CRecWizDetailPage(148, ActionRemoveSubject, QStringLiteral("Removing a string from the Subject"),
        QStringLiteral("rWizPg4RemSub.html"), parent)
    , m_subject(new CTabPromptEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WizardServices::CreateEditToolBar(this));
    AddExplanation(layout,
        { QStringLiteral(
              "Enter a string you want to remove from the  \"Subject:\" line.  For example, if all "
              "messages from a mailing list MYLIST have the tag \""),
            QStringLiteral("[MYLIST]"), QStringLiteral("\" added to the Subject line, enter \""),
            QStringLiteral("\\[MYLIST]"),
            QStringLiteral(
                "\" (without the quotes).  That string will be removed from the Subject line while "
                "leaving the rest of the Subject intact.\n\nThis entry is case sensitive i.e., "
                "\"\\[MYLIST]\" and \"\\[MyList]\" are not the same string.  Note that the opening "
                "bracket needs to be \"escaped\" by putting a backslash in front of it.  For more "
                "information hit the help button.") });
    auto* label = new QLabel(QStringLiteral("String to remove from Subject:"), this);
    label->setBuddy(m_subject);
    layout->addWidget(label);
    layout->addWidget(new QLabel(QStringLiteral("(CASE sensitive)"), this));
    m_subject->setObjectName(QStringLiteral("removeSubject"));
    m_subject->setMaximumHeight(m_subject->fontMetrics().lineSpacing() * 3);
    WizardServices::UseEntryFont(m_subject);
    layout->addWidget(m_subject);
    AddAnotherBox(layout);
}

void CRecWizAD3::Load(const CActionDetails& values)
{
    m_subject->setPlainText(QString::fromUtf8(values.removeSubject));
    m_another->setChecked(values.anotherAction != 0);
}

CActionDetails CRecWizAD3::Values() const
{
    CActionDetails values;
    values.removeSubject = TextOf(m_subject).toUtf8();
    values.anotherAction = AnotherAction();
    return values;
}

bool CRecWizAD3::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (!CheckSingleLine(m_subject))
        return false;
    const ActionProblem problem = ActionChecks::CheckOwnValues(ActionType(), Values());
    if (!problem.IsNull())
        return Refuse(m_subject, problem);
    const QString text = TextOf(m_subject);
    if (text.startsWith(QLatin1Char('['))) {
        Prompt::Record question;
        question.text = QStringLiteral(
            "The first character in the string is \"[\" which is a special character.  If you are simply "
            "trying to remove a listname tag in the form of \"[MYLIST]\" you should escape the opening "
            "bracket with a backslash so it's taken literally.  i.e., enter \"\\[MYLIST]\" (without the "
            "quotes).\n\nUnless you are an advanced user who is familiar with regular expressions you "
            "should avoid using unescaped brackets, you may unintentionally remove the entire Subject: "
            "line.  For more information hit the help button.\n\nWould you like to edit your entry?  (It is "
            "recommend you do so to add a leading \"\\\" {backslash} ).");
        question.caption = QStringLiteral("Edit the Subject string?");
        question.icon = Prompt::Question;
        question.buttons = Prompt::Yes | Prompt::No | Prompt::Cancel;
        question.defaultButton = Prompt::Yes;
        question.helpTopic = HelpTopic();
        if (Prompt::Ask(question) != Prompt::No) {
            m_subject->setFocus();
            return false;
        }
    }
    // A tag the user escaped as advised is not what the regular-expression warning is about.
    QString tested = text;
    if (tested.startsWith(QLatin1Char('[')))
        tested.remove(0, 1);
    else if (tested.startsWith(QLatin1String("\\[")))
        tested.remove(0, 2);
    return PatternWarningsGoOn(m_subject, tested);
}
