#pragma once

#include "core/procmail/CInitialSetup.h"

#include <QDialog>

class QCheckBox;

// "Advanced Setup Options": the permission changes the setup's Connect may make. All boxes start
// cleared; the third one names the .forward or .qmail of the Forward page's choice and is hidden
// when neither file is chosen.
class CSetupAdvancedDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSetupAdvancedDlg(QWidget* parent);

    // The ticked boxes, the third one under the file it names; `confirmed` is set.
    CInitialSetup::Permissions Permissions() const;

    QCheckBox* HomeBox() const { return m_home; }
    QCheckBox* ProcmailrcBox() const { return m_procmailrc; }
    QCheckBox* ForwardBox() const { return m_forward; }

private:
    QString m_forwardName;
    QCheckBox* m_home = nullptr;
    QCheckBox* m_procmailrc = nullptr;
    QCheckBox* m_forward = nullptr;
};
