#pragma once

#include <QString>

// A password the user chose to save, kept as a protected value under "Settings" in the current
// identity's registry file: enciphered with the password key, never in the data file.
class SavedPassword
{
public:
    // The FTP password, "Settings\Password".
    static SavedPassword Ftp();
    // The SMTP (and POP) password of the test mail, "Settings\Smtp Password".
    static SavedPassword Smtp();

    // The saved password, or an empty text when none is saved or it cannot be read.
    QString Load() const;
    bool Save(const QString& password, QString* error = nullptr) const;
    void Delete() const;

private:
    explicit SavedPassword(const char* valueName)
        : m_valueName(valueName)
    {
    }
    QString valuePath() const;

    const char* m_valueName;
};
