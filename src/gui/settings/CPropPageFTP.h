#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The FTP page of the Setup sheet: host, user, password (saved when asked: in the keychain, else as
// a protected value), and under "Show advanced >>" the log, passive mode, the secure connection
// (TLS), port and initial directory.
class CPropPageFTP : public QWidget
{
    Q_OBJECT
public:
    explicit CPropPageFTP(QWidget* parent = nullptr);

    // Stores every value; false (with the user told) when a value cannot be used.
    bool OnOK();
    // The user name as typed now.
    QString CurrentUserName() const;

    QLineEdit* HostEdit() const { return m_host; }
    QLineEdit* UserEdit() const { return m_user; }
    QLineEdit* PasswordEdit() const { return m_password; }
    QCheckBox* SavePasswordBox() const { return m_savePassword; }
    // Where a saved password goes: the desktop keychain or the settings file.
    QLabel* PasswordStoreLabel() const { return m_passwordStore; }
    QCheckBox* LogBox() const { return m_log; }
    QCheckBox* PassiveBox() const { return m_passive; }
    // None, explicit (AUTH TLS) or implicit TLS, in the order of the setting's values.
    QComboBox* TlsCombo() const { return m_tls; }
    QLineEdit* PortEdit() const { return m_port; }
    QLineEdit* InitialDirEdit() const { return m_initialDir; }
    QPushButton* AdvancedButton() const { return m_advancedButton; }
    bool AdvancedShown() const { return m_advancedShown; }

private:
    void showAdvanced(bool shown);

    QLineEdit* m_host = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_savePassword = nullptr;
    QLabel* m_passwordStore = nullptr;
    QPushButton* m_advancedButton = nullptr;
    QGroupBox* m_advanced = nullptr;
    QCheckBox* m_log = nullptr;
    QCheckBox* m_passive = nullptr;
    QComboBox* m_tls = nullptr;
    QLineEdit* m_port = nullptr;
    QLineEdit* m_initialDir = nullptr;
    bool m_passwordEdited = false;
    bool m_advancedShown = false;
    QString m_loadedUser;
};
