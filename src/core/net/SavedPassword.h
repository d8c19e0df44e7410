#pragma once

#include "core/settings/Keychain.h"

#include <QString>

// A password the user chose to save. It lives in the desktop's keychain, keyed by the identity and
// its purpose; where no keychain runs, it is a protected value under "Settings" in the current
// identity's registry file (enciphered with the password key), never in the data file. A protected
// value found while a keychain runs is the newer copy (saved while the keychain was away): it
// moves into the keychain and leaves the registry file once the keychain confirmed the write. An
// empty protected value marks a password forgotten while no keychain ran.
// Keychain errors are told to the user; the password then stays, or goes, in the registry file.
class SavedPassword
{
public:
    // The FTP password, "Settings\Password".
    static SavedPassword Ftp();
    // The SMTP (and POP) password of the test mail, "Settings\Smtp Password".
    static SavedPassword Smtp();

    // The saved password, or an empty text when none is saved or it cannot be read.
    QString Load() const;
    // False (with *error) only when the password could be kept nowhere.
    bool Save(const QString& password, QString* error = nullptr) const;
    void Delete() const;

    // Moves the saved passwords of the current identity out of the registry file into the
    // keychain when one runs; done at start-up and by every Load.
    static void MoveIntoKeychain();
    // Where saved passwords go now, in one short line.
    static QString StoreInUse();

private:
    SavedPassword(const char* valueName, Keychain::Purpose purpose)
        : m_valueName(valueName)
        , m_purpose(purpose)
    {
    }
    QString valuePath() const;
    Keychain keychain() const;
    bool readProtected(QString* password) const;
    bool writeProtected(const QString& password, QString* error) const;
    bool deleteProtected() const;
    // The protected value, moved into the keychain when one takes it; false when there is none.
    // *keptReason says why it is still in the registry file (empty once moved).
    bool loadProtected(QString* password, QString* keptReason = nullptr) const;

    const char* m_valueName;
    Keychain::Purpose m_purpose;
};
