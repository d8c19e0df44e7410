#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

// "SMTP Configuration": the server and its secure connection, the login method with user and
// password, and the POP host of "POP before send" with its own. OK stores the settings; the password is saved
// (as a protected value) only when "Save Password" is on and it was edited, and the send dialog gets the
// typed password either way.
class CSmtpConfigDlg : public QDialog
{
    Q_OBJECT

public:
    // `password`: what the send dialog holds now (typed earlier, or the saved one).
    CSmtpConfigDlg(const QString& password, QWidget* parent);

    QString Password() const;
    void accept() override;

private:
    void updateEnabled();

    QLineEdit* m_host;
    QSpinBox* m_port;
    QComboBox* m_smtpTls;
    QComboBox* m_method;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QCheckBox* m_savePassword;
    QLineEdit* m_popHost;
    QSpinBox* m_popPort;
    QComboBox* m_popTls;
    bool m_passwordEdited = false;
};
