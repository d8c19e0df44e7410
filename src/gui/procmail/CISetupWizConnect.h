#pragma once

#include "core/procmail/CInitialSetup.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

// The setup's second page, "Ready To Connect": the five steps of Connect as boxes to untick, the
// permission changes chosen in "Advanced", and the Connect button.
class CISetupWizConnect : public QWidget
{
    Q_OBJECT

public:
    explicit CISetupWizConnect(QWidget* parent);

    // Each time the page is shown: labels after the settings, every permission change cleared.
    void Activate();
    CInitialSetup::Options Options() const;
    CInitialSetup::Permissions Permissions() const { return m_permissions; }
    // "Advanced": the dialog, and its choice when OK was pressed.
    void RunAdvanced();

    QCheckBox* OptionBox(int index) const { return m_options[index]; }
    QLabel* PermissionLabel() const { return m_permissionText; }
    QPushButton* ConnectButton() const { return m_connect; }
    QPushButton* AdvancedButton() const { return m_advanced; }

private:
    QCheckBox* m_options[5] = {};
    QLabel* m_permissionText = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_advanced = nullptr;
    CInitialSetup::Permissions m_permissions;
};
