#include "gui/wizard/CRecWizEntries.h"

#include "core/common/Prompt.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/RecipeValueRules.h"
#include "core/settings/Profile.h"
#include "gui/common/CTabPromptEdit.h"
#include "gui/wizard/WizardServices.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// procmail reads condition lines into a buffer of LINEBUF bytes, 2048 at most sites.
constexpr int LinebufWarningLength = 2000;

const QString OneAddress = QStringLiteral("joe@example.com\r\n\r\n");
const QString TwoAddresses = QStringLiteral("joe@example.com\r\nsally@example.net\r\n\r\n");
const QString Partial = QStringLiteral("@example.com");
const QString MultipleChoices
    = QStringLiteral("To enter multiple choices, enter one word or phrase per line.  For example:\r\n\r\n");

// "Enter word(s) to filter on in the "X:" field in the box below.  ..." of the From: field and
// the fields worded like it.
QString InTheFieldBelow(const QString& header)
{
    return QStringLiteral(
        "Enter word(s) to filter on in the \"%1\" field in the box below.  To enter multiple "
        "choices, enter one word or phrase per line. For example:\r\n\r\n")
        .arg(header);
}

QString InTheHeadersBelow(const QString& header)
{
    return QStringLiteral("Enter word(s) to filter on in the \"%1\" headers in the box below.  To enter "
                          "multiple choices, enter one word or phrase per line. For example:\r\n\r\n")
        .arg(header);
}

// The To kind inside the page's sentences: the macros are called fields there too.
QString ToKindPhrase(int toKind)
{
    switch (toKind) {
    case CRecipeCondition::ToHeader:
        return QStringLiteral("\"To:\" field");
    case CRecipeCondition::ToMacro:
        return QStringLiteral("\"TO\" macro field");
    case CRecipeCondition::ToUnderscoreMacro:
        return QStringLiteral("\"TO_\" macro field");
    default:
        return QStringLiteral("UNEXPECTED ERROR!");
    }
}

QByteArray HeaderOf(int field)
{
    CRecipeCondition condition;
    condition.field = field;
    return condition.HeaderName();
}

// The field's name in the question about matching all mail.
QString MessageName(int field, int toKind, const QString& customHeader)
{
    switch (field) {
    case CRecipeCondition::To:
        switch (toKind) {
        case CRecipeCondition::ToHeader:
            return QStringLiteral("\"To:\" header");
        case CRecipeCondition::ToMacro:
            return QStringLiteral("\"TO\" macro header");
        case CRecipeCondition::ToUnderscoreMacro:
            return QStringLiteral("\"TO_\" macro header");
        default:
            return QStringLiteral("UNEXPECTED ERROR!");
        }
    case CRecipeCondition::CustomHeader:
        return customHeader + QStringLiteral(" header");
    default:
        return QString::fromUtf8(HeaderOf(field)) + QStringLiteral(" header");
    }
}

// The entry lines that hold more than blanks and tabs, joined without line ends: what the
// condition will test.
QString Content(const QString& text)
{
    QString content;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            content += line;
    }
    return content;
}

// A whole number of bytes as the data file keeps it ("%.0f": the nearest whole number).
QByteArray SizeText(double value)
{
    return QString::asprintf("%.0f", value).toLatin1();
}

QString WithLineFeeds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

CRecWizEntries::CRecWizEntries(QWidget* parent)
    : CRecWizPage(142, QStringLiteral("Entries"), QStringLiteral("rWizPg2To.html"), parent)
    , m_heading(new QLabel(this))
    , m_entries(new CTabPromptEdit(this))
    , m_size(new QLineEdit(this))
    , m_explanation(new QTextEdit(this))
    , m_joins(new QButtonGroup(this))
    , m_joinBox(new QWidget(this))
{
    setObjectName(QStringLiteral("RecWizEntries"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WizardServices::CreateEditToolBar(this));
    m_explanation->setReadOnly(true);
    m_explanation->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(m_explanation, 2);
    m_heading->setBuddy(m_entries);
    layout->addWidget(m_heading);
    layout->addWidget(m_entries, 3);
    layout->addWidget(m_size);
    WizardServices::UseEntryFont(m_entries);
    WizardServices::UseEntryFont(m_size);
    m_entries->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* joins = new QVBoxLayout(m_joinBox);
    joins->setContentsMargins(0, 0, 0, 0);
    const char* const texts[] = { "No &additional conditions", "This condition AN&D another condition",
        "This condition O&R another condition" };
    for (int join = CRecipeCondition::JoinNone; join <= CRecipeCondition::JoinOr; ++join) {
        auto* button = new QRadioButton(QString::fromLatin1(texts[join]), m_joinBox);
        m_joins->addButton(button, join);
        joins->addWidget(button);
    }
    layout->addWidget(m_joinBox);
}

QString CRecWizEntries::fieldPhrase() const
{
    switch (m_field) {
    case CRecipeCondition::To:
        return QStringLiteral("the ") + ToKindPhrase(m_toKind);
    case CRecipeCondition::Cc:
        return QStringLiteral("the \"Cc:\" field");
    case CRecipeCondition::From:
    case CRecipeCondition::Sender:
    case CRecipeCondition::Subject:
    case CRecipeCondition::Received:
    case CRecipeCondition::ReplyTo:
        return QStringLiteral("\"%1\" field").arg(QString::fromUtf8(HeaderOf(m_field)));
    case CRecipeCondition::AnyHeader:
        return QStringLiteral("any header");
    case CRecipeCondition::Body:
        return QStringLiteral("the message body");
    default:
        return QStringLiteral("\"%1\" field").arg(m_customHeader);
    }
}

QString CRecWizEntries::Title() const
{
    if (m_field == CRecipeCondition::AllMessages)
        return QStringLiteral("Matching all messages.");
    if (m_field == CRecipeCondition::Size)
        return QStringLiteral("Enter total message size in bytes to filter on.");
    return QStringLiteral("Enter word(s) to match on in %1.").arg(fieldPhrase());
}

QString CRecWizEntries::HelpTopic() const
{
    static const char* const topics[]
        = { "rWizPg2To.html", "rWizPg2Cc.html", "rWizPg2From.html", "rWizPg2Sender.html",
              "rWizPg2Subject.html", "rWizPg2Received.html", "rWizPg2Reply.html", "rWizPg2AllHead.html",
              "rWizPg2Body.html", "rWizPg2Size.html", "rWizPg2All.html", "rWizPg2Custom.html" };
    return m_field >= 0 && m_field <= CRecipeCondition::CustomHeader ? QString::fromLatin1(topics[m_field])
                                                                     : CRecWizPage::HelpTopic();
}

QStringList CRecWizEntries::ExplanationSegments(int field, int toKind, const QString& customHeader)
{
    switch (field) {
    case CRecipeCondition::To:
        return { QStringLiteral("Enter word(s) to filter on in the %1.  For example:\r\n\r\n")
                     .arg(ToKindPhrase(toKind)),
            OneAddress, MultipleChoices, TwoAddresses,
            QStringLiteral(
                "would match mail addressed to either of those addresses. Any partial address will "
                "also match.  For example:\r\n\r\n"),
            Partial };
    case CRecipeCondition::Cc:
        return { QStringLiteral("Enter word(s) to filter on in the\"Cc:\" field.  For example:\r\n\r\n"),
            OneAddress, MultipleChoices, TwoAddresses,
            QStringLiteral("would match mail Cc'd to either of those addresses. Any partial address will "
                           "match.  For example:\r\n\r\n"),
            Partial + QStringLiteral("\r\n\r\n"),
            QStringLiteral("would match all mail Cc'd to %1.").arg(Partial) };
    case CRecipeCondition::From:
        return { InTheFieldBelow(QStringLiteral("From:")), TwoAddresses,
            QStringLiteral("would match any mail from either of those addresses. Paritial addresses are okay "
                           "too, for example:\r\n\r\n"),
            Partial + QStringLiteral("\r\n\r\n"),
            QStringLiteral("would match any mail from %1 (including %2).")
                .arg(Partial, QStringLiteral("joe@example.com")) };
    case CRecipeCondition::Sender:
        return { InTheFieldBelow(QStringLiteral("Sender:")),
            QStringLiteral("owner-list@example.com\r\nlist-owner@example.org\r\n\r\n"),
            QStringLiteral(
                "would match any mail that had either of those addresses in the \"Sender:\" field.  "
                "Any partial word or address will also match, for example:\r\n\r\n"),
            QStringLiteral("owner-\r\n\r\n"), QStringLiteral("would match any mail with a header of \""),
            QStringLiteral("Sender: owner-list@example.com"), QStringLiteral("\".") };
    case CRecipeCondition::Subject:
        return { InTheFieldBelow(QStringLiteral("Subject:")),
            QStringLiteral("Make money fast\r\n!!!!\r\n\r\n"),
            QStringLiteral("would match any mail than had those phrases in the \"Subject:\" line.  e.g. \""),
            QStringLiteral("You can make money fast today!"),
            QStringLiteral("\" would match on the first string and \""),
            QStringLiteral("Free internet stock!!!!!!!"),
            QStringLiteral("\" would match on the second string.") };
    case CRecipeCondition::Received:
        return { InTheHeadersBelow(QStringLiteral("Received:")),
            QStringLiteral("mail.example.com\r\nrelay\r\n\r\n"),
            QStringLiteral(
                "would match any mail than had either of those words in any \"Received:\" header.") };
    case CRecipeCondition::ReplyTo:
        return { InTheHeadersBelow(QStringLiteral("Reply-To:")), TwoAddresses,
            QStringLiteral("would match any mail than had either of those addresses in the \"Reply-To:\" "
                           "header. Any partial word will match.") };
    case CRecipeCondition::AnyHeader:
        return { QStringLiteral(
                     "Enter word(s) to filter on in any  message header in the box below.  To enter "
                     "multiple choices, enter one word or phrase per line. For example:\r\n\r\n"),
            QStringLiteral("mailing-list\r\n%1\r\n\r\n").arg(Partial),
            QStringLiteral("would match any mail than had either of those words in any header. Any partial "
                           "word will match.") };
    case CRecipeCondition::Body:
        return { QStringLiteral(
                     "Enter word(s) to filter on anywhere in the message body in the box below.  To "
                     "enter multiple choices, enter one word or phrase per line. For "
                     "example:\r\n\r\n"),
            QStringLiteral("Dear friend\r\nonline secrets\r\n\r\n"),
            QStringLiteral("would match any mail than had either of those phrases in the message body.  Hit "
                           "the help button for more information.") };
    case CRecipeCondition::Size:
        return { QStringLiteral("Enter the total message size in bytes to filter on in the box below.  For "
                                "example if you want to match messages over 100 kilobytes enter "),
            QStringLiteral("102400"), QStringLiteral(".") };
    case CRecipeCondition::AllMessages:
        return { QStringLiteral("All messages will match "),
            QStringLiteral("and be acted upon by this recipe.  To continue, hit the \"Next\" button.") };
    default:
        return { QStringLiteral("Enter word(s) to filter on in the \""), customHeader,
            QStringLiteral("\" header in the box below.  To enter multiple choices, enter one word or phrase "
                           "per line. For example:\r\n\r\n"),
            QStringLiteral("joe@example.com\r\nurgent\r\n\r\n"),
            QStringLiteral("would match any mail than had those words in the \""), customHeader,
            QStringLiteral("\" header.") };
    }
}

void CRecWizEntries::OnSetActive(CRecipeDefinition& definition)
{
    const CRecipeCondition condition = definition.Conditions().value(m_condition);
    m_field = condition.field;
    m_toKind = condition.toKind;
    m_inverted = condition.invert != 0;
    m_customHeader = QString::fromUtf8(condition.customHeader);
    m_matchesAll = m_condition == 0 && m_field == CRecipeCondition::AllMessages;
    const bool size = m_field == CRecipeCondition::Size;

    m_entries->setPlainText(size || m_matchesAll ? QString() : QString::fromUtf8(condition.entries));
    m_size->setText(size ? QString::fromUtf8(condition.size) : QString());
    QAbstractButton* join = m_joins->button(condition.join);
    (join ? join : m_joins->button(CRecipeCondition::JoinNone))->setChecked(true);

    m_entries->setVisible(!size && !m_matchesAll);
    m_size->setVisible(size);
    m_heading->setVisible(!m_matchesAll);
    m_joinBox->setVisible(!m_matchesAll);
    m_heading->setBuddy(size ? static_cast<QWidget*>(m_size) : m_entries);
    if (!m_matchesAll) {
        QString heading = Title();
        heading.chop(1);
        m_heading->setText(heading + QLatin1Char(':'));
    }
    WizardServices::FillExplanation(m_explanation, ExplanationSegments(m_field, m_toKind, m_customHeader));
    m_entries->moveCursor(QTextCursor::End);
    m_entries->ensureCursorVisible();
    (size ? static_cast<QWidget*>(m_size) : m_entries)->setFocus();
}

bool CRecWizEntries::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (m_matchesAll)
        return true;
    return m_field == CRecipeCondition::Size ? validateSize() : validateEntries();
}

bool CRecWizEntries::validateSize()
{
    bool number = false;
    const double value = m_size->text().trimmed().toDouble(&number);
    const QByteArray size = number ? SizeText(value) : QByteArray();
    if (number && RecipeValueRules::IsSize(size))
        return true;
    if (number && value >= 1) {
        Prompt::Tell(
            QStringLiteral("The size %1 is too large.  Please enter a number of bytes from 1 to %2.")
                .arg(m_size->text().trimmed(), QString(RecipeValueRules::MaxSizeDigits, QLatin1Char('9'))),
            QStringLiteral("Size too large"), Prompt::Information);
    } else {
        Prompt::Tell(QStringLiteral("Please enter a positive number.  That number represents the size of the "
                                    "message in bytes that you want to match on. For example if you want to "
                                    "match messages over 100 kilobytes enter 102400."),
            QStringLiteral("Positive number not entered"), Prompt::Information);
    }
    WizardServices::FocusAndSelect(m_size);
    return false;
}

bool CRecWizEntries::validateEntries()
{
    const QString text = WithLineFeeds(m_entries->toPlainText());
    const QString content = Content(text);
    if (content.isEmpty()) {
        if (m_field == CRecipeCondition::AnyHeader || m_field == CRecipeCondition::Body) {
            Prompt::Tell(
                QStringLiteral("You have not entered a word or character to filter on.  Please enter "
                               "something to filter on."),
                QStringLiteral("Nothing entered!"), Prompt::Warning);
            m_entries->setFocus();
            return false;
        }
        const QString question
            = QStringLiteral(
                  "You have not entered a word or character to filter on.  Are you sure you want to "
                  "match all mail")
            + (m_inverted ? QStringLiteral(" without a ") : QStringLiteral(" with a "))
            + MessageName(m_field, m_toKind, m_customHeader) + QLatin1Char('?');
        if (Prompt::Ask(question, QStringLiteral("No filter specified!"), Prompt::Question,
                Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
            != Prompt::Yes) {
            m_entries->setFocus();
            return false;
        }
        return true;
    }
    if (const int line = RecipeValueRules::LineEndingInBackslash(text.toUtf8())) {
        Prompt::Tell(
            QStringLiteral("Line %1 of your entries ends with a backslash (\\).  procmail would join the "
                           "next recipe line to it.  Please remove the backslash, or double it to "
                           "match a backslash.")
                .arg(line),
            QStringLiteral("Trailing backslash"), Prompt::Information);
        m_entries->setFocus();
        return false;
    }
    const qsizetype length = content.toUtf8().size();
    if (length > LinebufWarningLength && GetSetting(Settings::LinebufWarning) != 0) {
        const Prompt::Button answer = Prompt::Ask(
            QStringLiteral(
                "You may have a LINEBUF problem.  At most sites the default LINEBUF value is 2048 (that is "
                "the maximum length for a line).  Your condition is at least %1 characters long.\n\nYou "
                "could increase the value of the LINEBUF however that slows procmail down.  You could also "
                "break the recipe into multiple recipes.  For example, if you are matching on messages "
                "from 100 different addresses simply create two recipes, one that matches the first 50 "
                "addresses and the second that matches the remaining 50.\n\nYou are strongly encouraged to "
                "do something to correct this.  To stop and correct the problem hit 'Yes'(recommended).  "
                "To ignore this warning and continue, hit 'No'.  If you want to continue and do not want "
                "to receive this warning again, hit 'Cancel'.  Please see the help file for more "
                "information on LINEBUF.")
                .arg(length),
            QStringLiteral("Edit your entries?"), Prompt::Stop, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::Yes);
        if (answer == Prompt::Yes) {
            m_entries->setFocus();
            return false;
        }
        if (answer == Prompt::Cancel)
            SetSetting(Settings::LinebufWarning, 0);
    }
    if (!WizardServices::RegexWarningGoOn(content, false, this)) {
        WizardServices::FocusAndSelect(m_entries);
        return false;
    }
    return true;
}

void CRecWizEntries::Save(CRecipeDefinition& definition)
{
    if (m_condition >= definition.GetConditionCount())
        return;
    CRecipeCondition& condition = definition.Conditions()[m_condition];
    if (m_matchesAll) {
        condition.entries.clear();
        condition.size.clear();
        condition.join = CRecipeCondition::JoinNone;
        return;
    }
    if (m_field == CRecipeCondition::Size) {
        bool number = false;
        const double value = m_size->text().trimmed().toDouble(&number);
        // What was typed stays when it is no number, so Back keeps it for the user to correct.
        condition.size = number ? SizeText(value) : m_size->text().toUtf8();
        condition.entries.clear();
    } else {
        condition.entries = WithLineFeeds(m_entries->toPlainText())
                                .replace(QLatin1Char('\n'), QLatin1String("\r\n"))
                                .toUtf8();
        condition.size.clear();
    }
    condition.join = m_joins->checkedId();
}
