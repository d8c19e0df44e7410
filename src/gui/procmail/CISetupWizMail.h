#pragma once

#include <QWidget>

class CHyperLink;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

// The setup's first page, "Initial Setup": what is still missing from the settings, or the advice
// to mail oneself first; "Modify Setup" opens the Settings; the declaration that procmail is set
// up already.
class CISetupWizMail : public QWidget
{
    Q_OBJECT

public:
    explicit CISetupWizMail(QWidget* parent);

    // Collects the missing settings anew and shows them; true when nothing is missing.
    bool Refresh();

    QPlainTextEdit* TextBox() const { return m_text; }
    QPushButton* ModifyButton() const { return m_modify; }
    CHyperLink* Link() const { return m_link; }
    QPushButton* MailtoFailedButton() const { return m_mailtoFailed; }
    QCheckBox* AlreadySetUpBox() const { return m_alreadySetUp; }

private:
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_modify = nullptr;
    CHyperLink* m_link = nullptr;
    QPushButton* m_mailtoFailed = nullptr;
    QCheckBox* m_alreadySetUp = nullptr;
};
