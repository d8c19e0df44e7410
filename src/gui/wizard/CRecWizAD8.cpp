#include "gui/wizard/CRecWizAD8.h"

#include "core/recipes/ActionChecks.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/ResponseFile.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CFileEditorDlg.h"
#include "gui/common/FileDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CRecWizAD8::CRecWizAD8(QWidget* parent)
    : CRecWizDetailPage(169, ActionReply, QStringLiteral("Automated reply to message"),
        QStringLiteral("rWizPg4Reply.html"), parent)
    , m_file(new QLineEdit(this))
    , m_headers(new QCheckBox(QStringLiteral("Include original message headers"), this))
    , m_body(new QCheckBox(QStringLiteral("Include original message body"), this))
    , m_atTop(new QCheckBox(QStringLiteral("Put my response at top of reply"), this))
{
    auto* layout = new QVBoxLayout(this);
    auto* fileRow = new QGridLayout;
    auto* label = new QLabel(QStringLiteral("Response file name:"), this);
    label->setBuddy(m_file);
    fileRow->addWidget(label, 0, 0, 1, 3);
    m_file->setObjectName(QStringLiteral("responseFile"));
    fileRow->addWidget(m_file, 1, 0);
    auto* select = new QPushButton(QStringLiteral("Select...."), this);
    select->setObjectName(QStringLiteral("select"));
    fileRow->addWidget(select, 1, 1);
    auto* create = new QPushButton(QStringLiteral("Create...."), this);
    create->setObjectName(QStringLiteral("create"));
    fileRow->addWidget(create, 1, 2);
    fileRow->setColumnStretch(0, 1);
    layout->addLayout(fileRow);
    m_headers->setObjectName(QStringLiteral("includeHeaders"));
    m_body->setObjectName(QStringLiteral("includeBody"));
    m_atTop->setObjectName(QStringLiteral("responseAtTop"));
    for (QCheckBox* box : { m_headers, m_body, m_atTop })
        layout->addWidget(box);
    AddCopyBoxes(layout);
    AddWarning(layout,
        QStringLiteral(
            "Some people regard automatically replying to mail to be unwise and/or rude.  Carefully "
            "consider the pros and cons of this action before instituting it.  Click on the help "
            "button for more information on this topic."));
    layout->addStretch(1);
    connect(select, &QPushButton::clicked, this, &CRecWizAD8::SelectFile);
    connect(create, &QPushButton::clicked, this, &CRecWizAD8::CreateFile);
    connect(m_headers, &QCheckBox::toggled, this, &CRecWizAD8::UpdateStates);
    connect(m_body, &QCheckBox::toggled, this, &CRecWizAD8::UpdateStates);
    UpdateStates();
}

void CRecWizAD8::UpdateStates()
{
    m_atTop->setEnabled(m_headers->isChecked() || m_body->isChecked());
}

void CRecWizAD8::SelectFile()
{
    const QString path = FileDialogs::GetOpenFileName(this, QStringLiteral("Select reply message"),
        Workspace::GetDocumentFolder(), QStringLiteral("Text files (*.txt);;All files (*)"));
    if (!path.isEmpty())
        m_file->setText(path);
}

void CRecWizAD8::CreateFile()
{
    QString saved;
    CFileEditorDlg editor(&saved, this, GetSetting(Settings::WordWrapOn) != 0);
    if (editor.exec() == QDialog::Accepted && !saved.isEmpty())
        m_file->setText(saved);
}

void CRecWizAD8::Load(const CActionDetails& values)
{
    m_file->setText(QString::fromUtf8(values.responseFile));
    m_headers->setChecked(values.includeHeaders != 0);
    m_body->setChecked(values.includeBody != 0);
    // Without the original message the response is all there is: "at top", as a new action starts.
    m_atTop->setChecked(values.responseAtTop != 0 || (values.includeHeaders == 0 && values.includeBody == 0));
    m_copy->setChecked(values.copy != 0);
    m_another->setChecked(values.anotherAction != 0);
    UpdateStates();
}

CActionDetails CRecWizAD8::Values() const
{
    CActionDetails values;
    values.responseFile = m_file->text().toUtf8();
    values.includeHeaders = m_headers->isChecked() ? 1 : 0;
    values.includeBody = m_body->isChecked() ? 1 : 0;
    values.responseAtTop = m_atTop->isChecked() || !m_atTop->isEnabled() ? 1 : 0;
    values.copy = m_copy->isChecked() ? 1 : 0;
    values.anotherAction = AnotherAction();
    return values;
}

bool CRecWizAD8::Validate(CRecipeDefinition& definition)
{
    Q_UNUSED(definition);
    if (!CheckSingleLine(m_file))
        return false;
    if (!ResponseFile::ConfirmForUse(m_file->text())) {
        FocusAndSelect(m_file);
        return false;
    }
    const ActionProblem problem = ActionChecks::CheckOwnValues(ActionType(), Values());
    return problem.IsNull() || Refuse(m_file, problem);
}
