#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// One custom menu entry, or a new pending file: local file, remote file and (not for pending
// files) the menu label.
class CMenuEntryDlg : public QDialog
{
    Q_OBJECT
public:
    enum Mode { AddUpload = 0, EditUpload = 1, AddDownload = 2, EditDownload = 3, NewPending = 4 };

    CMenuEntryDlg(
        Mode mode, QString* menuName, QString* remoteFile, QString* localFile, QWidget* parent = nullptr);

    void accept() override;
    // What "Select..." does once a file is chosen.
    void ApplySelectedFile(const QString& path);

    QLineEdit* LocalEdit() const { return m_local; }
    QLineEdit* RemoteEdit() const { return m_remote; }
    QLineEdit* MenuNameEdit() const { return m_menuName; }

private:
    bool isDownload() const { return m_mode == AddDownload || m_mode == EditDownload; }
    void select();
    void refuse(QLineEdit* edit, const QString& text, const QString& caption);

    Mode m_mode;
    QString* m_menuNameOut;
    QString* m_remoteOut;
    QString* m_localOut;
    QLineEdit* m_local = nullptr;
    QLineEdit* m_remote = nullptr;
    QLineEdit* m_menuName = nullptr;
};
