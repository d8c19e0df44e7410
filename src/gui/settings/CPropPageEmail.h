#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

// The "Misc" page of the Settings sheet: the user's name and addresses, and the switches for the
// Pending Files offer, lockfiles and the out-of-memory reply form.
class CPropPageEmail : public QWidget
{
    Q_OBJECT
public:
    explicit CPropPageEmail(QWidget* parent = nullptr);

    static QString HelpTopic() { return QStringLiteral("settingsMisc.html"); }

    // Checks the entries and stores the six values; false (the user told, the entry focused) when
    // an entry cannot be used.
    bool OnOK();

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* AddressEdit() const { return m_address; }
    QLineEdit* ReturnAddressEdit() const { return m_returnAddress; }
    QCheckBox* PendingBox() const { return m_pending; }
    QCheckBox* LockfileBox() const { return m_noLockfiles; }
    QCheckBox* OutOfMemoryBox() const { return m_outOfMemory; }

private:
    void lockfileClicked(bool checked);
    bool refuse(QLineEdit* edit, const QString& text, const QString& caption);

    QLineEdit* m_name = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_returnAddress = nullptr;
    QCheckBox* m_pending = nullptr;
    QCheckBox* m_noLockfiles = nullptr;
    QCheckBox* m_outOfMemory = nullptr;
};
