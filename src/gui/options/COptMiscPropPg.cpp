#include "gui/options/COptMiscPropPg.h"

#include "core/settings/Profile.h"
#include "gui/options/CColourCaptionButton.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

COptMiscPropPg::COptMiscPropPg(QWidget* parent)
    : QWidget(parent)
    , m_comment(new QLineEdit(this))
    , m_disconnect(new QCheckBox(QStringLiteral("Disconnect after up/downloading custom files"), this))
    , m_backslashSpace(
          new QCheckBox(QStringLiteral("Warn about lines ending with a backslash and whitespace."), this))
    , m_preflight(new QCheckBox(
          QStringLiteral("Try the recipe file with procmail on this computer before uploading it."), this))
    , m_noRegex(new QCheckBox(QStringLiteral("Don't warn when using regular expression characters"), this))
    , m_noSed(new QCheckBox(QStringLiteral("Don't warn when using sed special characters"), this))
    , m_normal(
          new CColourCaptionButton(QStringLiteral("Normal Text"), CColourCaptionButton::TextColour, this))
    , m_emphasized(
          new CColourCaptionButton(QStringLiteral("Emphasized"), CColourCaptionButton::TextColour, this))
    , m_background(new CColourCaptionButton(
          QStringLiteral("Background"), CColourCaptionButton::BackgroundColour, this))
{
    m_comment->setMaxLength(25);
    auto* commentRow = new QHBoxLayout;
    auto* commentLabel = new QLabel(QStringLiteral("Comment string:"), this);
    commentLabel->setBuddy(m_comment);
    commentRow->addWidget(commentLabel);
    commentRow->addWidget(m_comment);
    commentRow->addStretch();
    auto* colours = new QGroupBox(QStringLiteral("Recipe Wizard Colors"), this);
    auto* colourRow = new QHBoxLayout(colours);
    colourRow->addWidget(m_normal);
    colourRow->addWidget(m_emphasized);
    colourRow->addWidget(m_background);
    QFont bold = m_emphasized->font();
    bold.setBold(true);
    m_emphasized->setFont(bold);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(commentRow);
    layout->addWidget(m_disconnect);
    layout->addWidget(m_backslashSpace);
    layout->addWidget(m_preflight);
    layout->addWidget(m_noRegex);
    layout->addWidget(m_noSed);
    layout->addWidget(colours);
    layout->addStretch();

    m_comment->setText(GetSettingString(Settings::CommentString));
    m_disconnect->setChecked(GetSetting(Settings::DisconnectAfterCustom) != 0);
    m_backslashSpace->setChecked(GetSetting(Settings::BackslashSpaceWarning) != 0);
    m_preflight->setChecked(GetSetting(Settings::PreflightUpload) != 0);
    m_noRegex->setChecked(GetSetting(Settings::NoRegexWarning) != 0);
    m_noSed->setChecked(GetSetting(Settings::NoSedRegexWarning) != 0);
    m_normal->SetColour(static_cast<quint32>(GetSetting(Settings::WizTextColor)));
    m_emphasized->SetColour(static_cast<quint32>(GetSetting(Settings::WizHighlightColor)));
    m_background->SetColour(static_cast<quint32>(GetSetting(Settings::WizBackgroundColor)));
}

QWidget* COptMiscPropPg::ControlWidget(int id) const
{
    switch (id) {
    case CommentStringEdit:
        return m_comment;
    case DisconnectBox:
        return m_disconnect;
    case BackslashSpaceBox:
        return m_backslashSpace;
    case PreflightBox:
        return m_preflight;
    case NoRegexWarningBox:
        return m_noRegex;
    case NoSedWarningBox:
        return m_noSed;
    case NormalTextButton:
        return m_normal;
    case EmphasizedButton:
        return m_emphasized;
    case BackgroundButton:
        return m_background;
    default:
        return nullptr;
    }
}

void COptMiscPropPg::Apply()
{
    SetSetting(Settings::DisconnectAfterCustom, m_disconnect->isChecked() ? 1 : 0);
    SetSetting(Settings::BackslashSpaceWarning, m_backslashSpace->isChecked() ? 1 : 0);
    SetSetting(Settings::PreflightUpload, m_preflight->isChecked() ? 1 : 0);
    SetSetting(Settings::NoRegexWarning, m_noRegex->isChecked() ? 1 : 0);
    SetSetting(Settings::NoSedRegexWarning, m_noSed->isChecked() ? 1 : 0);
    const QString comment = m_comment->text();
    SetSetting(Settings::CommentString, comment.isEmpty() ? QStringLiteral("# ") : comment);
    SetSetting(Settings::WizTextColor, static_cast<int>(m_normal->Colour()));
    SetSetting(Settings::WizHighlightColor, static_cast<int>(m_emphasized->Colour()));
    SetSetting(Settings::WizBackgroundColor, static_cast<int>(m_background->Colour()));
}
