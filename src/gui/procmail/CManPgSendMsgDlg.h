#pragma once

#include <QDialog>
#include <QStringList>

class CTempRecipeTask;
class QPushButton;

// "Man Page Send Message Dialog": asks the user to mail themselves while the temporary recipe is
// on the host, then downloads what it made. Accepted when the files came back. Enter does nothing,
// so that no button is pressed by accident while the user switches to the mail program.
class CManPgSendMsgDlg : public QDialog
{
    Q_OBJECT

public:
    CManPgSendMsgDlg(CTempRecipeTask& task, QStringList downloads, QWidget* parent);

    QPushButton* ReceivedButton() const { return m_received; }
    QPushButton* NotReceivedButton() const { return m_notReceived; }
    QPushButton* MailtoFailedButton() const { return m_mailtoFailed; }
    QPushButton* CancelButton() const { return m_cancel; }

    void reject() override;

    // "Mailto Link Failed": what to do when no mail program opened.
    static void TellMailtoFailed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void finishWith(bool received);

    CTempRecipeTask& m_task;
    QStringList m_downloads;
    QPushButton* m_received = nullptr;
    QPushButton* m_notReceived = nullptr;
    QPushButton* m_mailtoFailed = nullptr;
    QPushButton* m_cancel = nullptr;
};
