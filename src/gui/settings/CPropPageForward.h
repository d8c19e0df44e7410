#pragma once

#include "core/procmail/ForwardFile.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The ".forward/.qmail" page of the Settings sheet: whether the account needs a .forward, a
// .qmail or neither, and the one line that file holds. OK writes the local file when its line
// changed and marks it for upload.
class CPropPageForward : public QWidget
{
    Q_OBJECT
public:
    // `userName` gives the FTP user name as currently entered (the examples carry it).
    explicit CPropPageForward(std::function<QString()> userName, QWidget* parent = nullptr);

    static QString HelpTopic() { return QStringLiteral("settingsForward.html"); }

    bool OnOK();
    void EditFile();
    // Fills the example lists again; done whenever the page is shown.
    void FillExamples();

    ForwardFile::Kind Choice() const;
    QRadioButton* ChoiceButton(ForwardFile::Kind kind) const;
    QComboBox* ForwardBox() const { return m_forward; }
    QComboBox* QmailBox() const { return m_qmail; }
    QLabel* Label() const { return m_label; }
    QLabel* Message() const { return m_message; }
    QPushButton* EditButton() const { return m_edit; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showChoice();
    QComboBox* boxOf(ForwardFile::Kind kind) const
    {
        return kind == ForwardFile::Qmail ? m_qmail : m_forward;
    }
    QString& readTextOf(ForwardFile::Kind kind)
    {
        return kind == ForwardFile::Qmail ? m_qmailRead : m_forwardRead;
    }

    std::function<QString()> m_userName;
    QButtonGroup* m_choices = nullptr;
    QLabel* m_label = nullptr;
    QComboBox* m_forward = nullptr;
    QComboBox* m_qmail = nullptr;
    QLabel* m_message = nullptr;
    QPushButton* m_edit = nullptr;
    QString m_forwardRead;
    QString m_qmailRead;
};
