#pragma once

#include <QWidget>

class CColourCaptionButton;
class QCheckBox;
class QLineEdit;

// Options page "Misc": the editor's comment string, the warnings, disconnecting after custom
// transfers and the colours of the Recipe Wizard's explanations.
class COptMiscPropPg : public QWidget
{
    Q_OBJECT
public:
    explicit COptMiscPropPg(QWidget* parent = nullptr);

    enum Control : int {
        CommentStringEdit = 1066,
        DisconnectBox = 1025,
        BackslashSpaceBox = 1024,
        NoRegexWarningBox = 1125,
        NoSedWarningBox = 1126,
        NormalTextButton = 1331,
        EmphasizedButton = 1341,
        BackgroundButton = 1340,
        PreflightBox = 1400,
    };
    QWidget* ControlWidget(int id) const;

    void Apply();
    static QString HelpTopic() { return QStringLiteral("optionsMisc.html"); }

private:
    QLineEdit* m_comment;
    QCheckBox* m_disconnect;
    QCheckBox* m_backslashSpace;
    QCheckBox* m_preflight;
    QCheckBox* m_noRegex;
    QCheckBox* m_noSed;
    CColourCaptionButton* m_normal;
    CColourCaptionButton* m_emphasized;
    CColourCaptionButton* m_background;
};
