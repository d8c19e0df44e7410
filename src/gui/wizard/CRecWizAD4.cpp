#include "gui/wizard/CRecWizAD4.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "gui/common/CTabPromptEdit.h"
#include "gui/wizard/WizardServices.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <functional>

namespace {

CTabPromptEdit* NewLineBox(QWidget* parent, const QString& name)
{
    auto* box = new CTabPromptEdit(parent);
    box->setObjectName(name);
    box->setMaximumHeight(box->fontMetrics().lineSpacing() * 3);
    WizardServices::UseEntryFont(box);
    return box;
}

} // namespace

CRecWizAD4::CRecWizAD4(QWidget* parent)
    : CRecWizDetailPage(149, ActionModifyBody, QStringLiteral("Modifying message body"),
        QStringLiteral("rWizPg4Body.html"), parent)
    , m_between(new QCheckBox(
          QStringLiteral("Remove everything between the following lines (inclusive and CASE sensitive):"),
          this))
    , m_betweenTop(NewLineBox(this, QStringLiteral("betweenTop")))
    , m_betweenBottom(NewLineBox(this, QStringLiteral("betweenBottom")))
{
    auto* layout = new QVBoxLayout(this);
    m_between->setObjectName(QStringLiteral("removeBetween"));
    layout->addWidget(m_between);
    auto* lines = new QFormLayout;
    lines->addRow(QStringLiteral("Top:"), m_betweenTop);
    lines->addRow(QStringLiteral("Bottom:"), m_betweenBottom);
    layout->addLayout(lines);
    m_top = AddSide(QStringLiteral("Message Top"), QStringLiteral("Do not modify top of message body"),
        QStringLiteral("Remove top"),
        QStringLiteral("Remove everything before the line that reads: (CASE sensitive)"),
        QStringLiteral("top"));
    m_bottom = AddSide(QStringLiteral("Message Bottom"),
        QStringLiteral("Do not modify bottom of message body"), QStringLiteral("Remove bottom"),
        QStringLiteral("Remove everything after the line that reads: (CASE sensitive)"),
        QStringLiteral("bottom"));
    for (const Side* side : { &m_top, &m_bottom }) {
        layout->addWidget(side->modes->button(0)->parentWidget());
        connect(side->modes, &QButtonGroup::idToggled, this, &CRecWizAD4::UpdateStates);
    }
    AddAnotherBox(layout);
    layout->addStretch(1);
    connect(m_between, &QCheckBox::toggled, this, &CRecWizAD4::UpdateStates);
    UpdateStates();
}

CRecWizAD4::Side CRecWizAD4::AddSide(const QString& title, const QString& keep, const QString& removeCount,
    const QString& removeLine, const QString& name)
{
    auto* group = new QGroupBox(title, this);
    auto* grid = new QGridLayout(group);
    Side side;
    side.modes = new QButtonGroup(group);
    const QString texts[] = { keep, removeCount, removeLine };
    for (int mode = 0; mode < 3; ++mode) {
        auto* button = new QRadioButton(texts[mode], group);
        button->setObjectName(QStringLiteral("%1Mode%2").arg(name).arg(mode));
        side.modes->addButton(button, mode);
    }
    side.count = new QSpinBox(group);
    side.count->setObjectName(name + QStringLiteral("Count"));
    // The largest count a definition may hold (the generator adds one to a bottom count).
    side.count->setRange(0, 2147483646);
    side.line = NewLineBox(group, name + QStringLiteral("Line"));
    grid->addWidget(side.modes->button(0), 0, 0, 1, 3);
    grid->addWidget(side.modes->button(1), 1, 0);
    grid->addWidget(side.count, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("lines"), group), 1, 2);
    grid->addWidget(side.modes->button(2), 2, 0, 1, 3);
    grid->addWidget(side.line, 3, 0, 1, 3);
    return side;
}

void CRecWizAD4::UpdateStates()
{
    m_betweenTop->setEnabled(m_between->isChecked());
    m_betweenBottom->setEnabled(m_between->isChecked());
    for (const Side* side : { &m_top, &m_bottom }) {
        side->count->setEnabled(side->modes->checkedId() == 1);
        side->line->setEnabled(side->modes->checkedId() == 2);
    }
}

void CRecWizAD4::Load(const CActionDetails& values)
{
    m_between->setChecked(values.removeBetween != 0);
    m_betweenTop->setPlainText(QString::fromUtf8(values.betweenTop));
    m_betweenBottom->setPlainText(QString::fromUtf8(values.betweenBottom));
    const auto loadSide = [](const Side& side, int mode, int count, const QByteArray& line) {
        if (QAbstractButton* button = side.modes->button(mode >= 0 && mode <= 2 ? mode : 0))
            button->setChecked(true);
        side.count->setValue(count);
        side.line->setPlainText(QString::fromUtf8(line));
    };
    loadSide(m_top, values.topMode, values.topCount, values.topLine);
    loadSide(m_bottom, values.bottomMode, values.bottomCount, values.bottomLine);
    m_another->setChecked(values.anotherAction != 0);
    UpdateStates();
}

CActionDetails CRecWizAD4::Values() const
{
    // Only the values of the choices made are stored; the others keep their reset values.
    CActionDetails values;
    if (m_between->isChecked()) {
        values.removeBetween = 1;
        values.betweenTop = TextOf(m_betweenTop).toUtf8();
        values.betweenBottom = TextOf(m_betweenBottom).toUtf8();
    }
    values.topMode = qMax(0, m_top.modes->checkedId());
    if (values.topMode == 1)
        values.topCount = m_top.count->value();
    if (values.topMode == 2)
        values.topLine = TextOf(m_top.line).toUtf8();
    values.bottomMode = qMax(0, m_bottom.modes->checkedId());
    if (values.bottomMode == 1)
        values.bottomCount = m_bottom.count->value();
    if (values.bottomMode == 2)
        values.bottomLine = TextOf(m_bottom.line).toUtf8();
    values.anotherAction = AnotherAction();
    return values;
}

QWidget* CRecWizAD4::BoxFor(const QString& key) const
{
    if (key == QLatin1String("betweenTop"))
        return m_betweenTop;
    if (key == QLatin1String("betweenBottom"))
        return m_betweenBottom;
    if (key == QLatin1String("topCount"))
        return m_top.count;
    if (key == QLatin1String("topLine"))
        return m_top.line;
    if (key == QLatin1String("bottomCount"))
        return m_bottom.count;
    if (key == QLatin1String("bottomLine"))
        return m_bottom.line;
    return m_between;
}

bool CRecWizAD4::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    const CActionDetails values = Values();
    for (QWidget* box : { m_betweenTop, m_betweenBottom, m_top.line, m_bottom.line }) {
        if (box->isEnabled() && !CheckSingleLine(box))
            return false;
    }
    // The hard checks come from the rule set; the warnings about the strings sed reads sit
    // between them in the order the page presents its boxes.
    const ActionProblem problem = ActionChecks::CheckOwnValues(ActionType(), values);
    const auto warnOn = [this](bool applies, CTabPromptEdit* box) {
        return !applies || PatternWarningsGoOn(box, TextOf(box));
    };
    struct Step
    {
        const char* failingKey; // a check of the rule set, or
        std::function<bool()> warnings; // the warnings on a string
    };
    const Step steps[] = {
        { "removeBetween", nullptr },
        { "betweenTop", nullptr },
        { "betweenBottom", nullptr },
        { nullptr, [&] { return warnOn(values.removeBetween != 0, m_betweenTop); } },
        { nullptr, [&] { return warnOn(values.removeBetween != 0, m_betweenBottom); } },
        { "topCount", nullptr },
        { "topLine", nullptr },
        { nullptr, [&] { return warnOn(values.topMode == 2, m_top.line); } },
        { "bottomCount", nullptr },
        { "bottomLine", nullptr },
        { nullptr, [&] { return warnOn(values.bottomMode == 2, m_bottom.line); } },
    };
    for (const Step& step : steps) {
        if (step.failingKey && problem.key == QLatin1String(step.failingKey))
            return Refuse(BoxFor(problem.key), problem);
        if (step.warnings && !step.warnings())
            return false;
    }
    return problem.IsNull() || Refuse(BoxFor(problem.key), problem);
}
