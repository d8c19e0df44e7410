#pragma once

#include "gui/common/CDocumentWindow.h"

#include <QList>

class IShell;
class QCheckBox;
class QGridLayout;
class QToolButton;

// The button page: twelve large buttons for the main tasks and "Show this page at startup". The
// buttons follow the states of their commands in `shell` and run them.
class COpeningFormView : public CDocumentWindow
{
    Q_OBJECT

public:
    explicit COpeningFormView(IShell& shell, QWidget* parent = nullptr);
    ~COpeningFormView() override;

    QString Title() const override { return QStringLiteral("Button Page"); }
    QIcon Icon() const override;
    bool HasCommand(int id) const override;
    bool IsCommandEnabled(int id) const override;

    // The buttons' control ids.
    enum Control : int {
        HelpButton = 1001,
        SettingsButton = 1135,
        SendPendingFilesButton = 1166,
        GetLogButton = 1167,
        RecipeWizardButton = 1168,
        PositionEditButton = 1169,
        DisableProcmailButton = 1170,
        RemoteFilesFoldersButton = 1172,
        InitialSetupButton = 1175,
        BackupButton = 1346,
        SendFeedbackButton = 1348,
        OptionsButton = 1350,
    };
    struct ButtonInfo
    {
        const char* text;
        int control;
        int command; // 0 for Help
        const char* tooltip;
    };
    static const QList<ButtonInfo>& Buttons();
    QToolButton* ButtonFor(int control) const;
    QCheckBox* ShowAtStartup() const { return m_showAtStartup; }
    void PressHelp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshStates();

    QList<QToolButton*> m_buttons;
    QGridLayout* m_grid = nullptr;
    QCheckBox* m_showAtStartup;
};
