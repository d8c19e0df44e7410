#pragma once

#include "gui/common/CResizingDialog.h"

class QLabel;
class QPushButton;
class QTreeWidget;

// The files waiting for upload, with Send Files Now, Add File and Remove File.
class CPendingFilesDlg : public CResizingDialog
{
    Q_OBJECT
public:
    CPendingFilesDlg(bool quitting, QWidget* parent = nullptr);

    void AddFile();
    void RemoveFiles();
    void Reload();
    QTreeWidget* List() const { return m_list; }
    QLabel* Text() const { return m_text; }
    QPushButton* SendButton() const { return m_send; }
    QPushButton* AddButton() const { return m_add; }

private:
    bool m_quitting;
    QLabel* m_text = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
};

// Opens the pending files dialog and sends the files when the user chooses "Send Files Now".
// Returns true when files were sent (or there was nothing to send) and false after Close.
bool SendPending(bool showSetupMessage, bool quitting, QWidget* parent);
