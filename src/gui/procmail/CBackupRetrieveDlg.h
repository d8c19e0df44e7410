#pragma once

#include "core/net/CRemoteHost.h"
#include "core/procmail/CTempRecipeTask.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Retrieving backup mail": puts the retrieval recipe on the host, asks the user to mail
// themselves, and takes the recipe off again. Accepted when the user received the copies; after
// anything else it stays open for another try. Enter does nothing. The dialog owns its remote
// connection.
class CBackupRetrieveDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CBackupRetrieveDlg(QWidget* parent);

    QString Text() const;
    QLineEdit* AddressEdit() const { return m_address; }
    QCheckBox* DefaultMailboxBox() const { return m_toDefault; }
    QPushButton* ConnectButton() const { return m_connect; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onConnect();
    void onDefaultMailboxClicked(bool checked);

    CRemoteHost m_host;
    CTempRecipeTask m_task;
    QString m_text;
    QLineEdit* m_address = nullptr;
    QCheckBox* m_toDefault = nullptr;
    QPushButton* m_connect = nullptr;
};
