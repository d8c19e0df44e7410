#pragma once

#include <QDialog>

class QPushButton;

// "Temporary .procmailrc uploaded": asks the user to mail themselves while the retrieval recipe is
// on the host. Accepted when the user received the copies; the other answer and Cancel reject.
// Enter does nothing, so that no button is pressed by accident while the user switches to the
// mail program.
class CBackupSendMsgDlg : public QDialog
{
    Q_OBJECT

public:
    // `toDefault`: the copies go straight to the default mailbox (the text says where to look).
    CBackupSendMsgDlg(
        bool toDefault, const QString& receivedText, const QString& notReceivedText, QWidget* parent);

    QString Text() const;
    QPushButton* ReceivedButton() const { return m_received; }
    QPushButton* NotReceivedButton() const { return m_notReceived; }
    QPushButton* CancelButton() const { return m_cancel; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_text;
    QPushButton* m_received = nullptr;
    QPushButton* m_notReceived = nullptr;
    QPushButton* m_cancel = nullptr;
};
