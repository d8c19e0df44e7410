#pragma once

#include "core/procmail/CProcmailrcSettings.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The ".procmailrc" page of the Settings sheet: logging and verbose, the reset and the editor,
// and under "Show advanced >>" the two directories. Its decisions are CProcmailrcSettings'.
class CPropPageProcmailrc : public QWidget
{
    Q_OBJECT
public:
    explicit CPropPageProcmailrc(QWidget* parent = nullptr);

    static QString HelpTopic() { return QStringLiteral("settingsProcmailrc.html"); }

    // The sheet's OK; false keeps the sheet open on this page.
    bool OnOK();
    void Reset();
    void EditFile();
    void ToggleAdvanced();

    QCheckBox* LoggingBox() const { return m_logging; }
    QCheckBox* VerboseBox() const { return m_verbose; }
    QPushButton* ResetButton() const { return m_reset; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* AdvancedButton() const { return m_advancedButton; }
    QGroupBox* AdvancedGroup() const { return m_advanced; }
    QLineEdit* ZephDirEdit() const { return m_zephDir; }
    QLineEdit* MailDirEdit() const { return m_mailDir; }

private:
    void showValues();
    void showAdvanced();

    CProcmailrcSettings m_settings;
    QCheckBox* m_logging = nullptr;
    QCheckBox* m_verbose = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_advancedButton = nullptr;
    QGroupBox* m_advanced = nullptr;
    QLineEdit* m_zephDir = nullptr;
    QLineEdit* m_mailDir = nullptr;
};
