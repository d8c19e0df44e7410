#pragma once

#include "core/net/CRemoteHost.h"
#include "core/procmail/CProcmailDisabler.h"

#include <QDialog>

class QPushButton;

// "Disable procmail": renames the procmail files on the host away and back, or deletes every
// remote file ZEPH recorded. The dialog owns its remote connection.
class CDisableProcmailDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDisableProcmailDlg(QWidget* parent);

    QPushButton* DisableButton() const { return m_disable; }
    QPushButton* EnableButton() const { return m_enable; }
    QPushButton* DeleteAllButton() const { return m_deleteAll; }

private:
    CRemoteHost m_host;
    CProcmailDisabler m_disabler;
    QPushButton* m_disable = nullptr;
    QPushButton* m_enable = nullptr;
    QPushButton* m_deleteAll = nullptr;
};
