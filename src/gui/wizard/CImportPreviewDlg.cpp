#include "gui/wizard/CImportPreviewDlg.h"

#include "gui/common/Help.h"
#include "gui/wizard/WizardServices.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString CImportPreviewDlg::Caption()
{
    return QStringLiteral("Import recipe");
}

Prompt::Button CImportPreviewDlg::Ask(const QString& text, QWidget* parent)
{
    Prompt::Record record;
    record.caption = Caption();
    record.text = text;
    record.icon = Prompt::Question;
    record.buttons = Prompt::Ok | Prompt::Cancel;
    record.defaultButton = Prompt::Ok;
    record.helpTopic = QStringLiteral("rWizard.html");
    return Prompt::Ask(record, [parent](const Prompt::Record& shown) {
        CImportPreviewDlg dialog(shown.text, parent);
        return dialog.exec() == QDialog::Accepted ? Prompt::Ok : Prompt::Cancel;
    });
}

CImportPreviewDlg::CImportPreviewDlg(const QString& text, QWidget* parent)
    : QDialog(parent)
    , m_text(new QPlainTextEdit(text, this))
{
    setWindowTitle(Caption());
    setSizeGripEnabled(true);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    WizardServices::UseEntryFont(m_text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Continue in the wizard"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(buttons);
    resize(640, 480);
    SetHelpTopic(this, QStringLiteral("rWizard.html"));
}
