#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// The page that explains the steps of the temporary recipe and starts them with "Connect".
class CManPgConnect : public QWidget
{
    Q_OBJECT

public:
    explicit CManPgConnect(QWidget* parent);

    // versionMode: the version only; otherwise `fileCount` files are to be fetched.
    void SetTexts(bool versionMode, int fileCount);
    // The page's tab text for that request.
    static QString TabText(bool versionMode, int fileCount);

    QLabel* Text() const { return m_text; }
    QLineEdit* AddressEdit() const { return m_address; }
    QPushButton* ConnectButton() const { return m_connect; }

private:
    QLabel* m_text = nullptr;
    QLineEdit* m_address = nullptr;
    QPushButton* m_connect = nullptr;
};
