#pragma once

#include <QString>

// A saved password in the desktop's keychain (the Secret Service, through QtKeychain), one entry
// per identity and purpose. Every call waits at most a bounded time so that a stuck D-Bus never
// freezes the program; once the keychain has not answered in time it counts as unavailable for
// the rest of the run, so the next call does not wait again.
class Keychain
{
public:
    enum class Status {
        Done,
        NotFound, // a read found no entry
        Unavailable, // no keychain runs here: the caller uses its fallback without a fuss
        Failed, // the keychain is there but refused; the error text says why
    };

    enum class Purpose {
        Ftp,
        Smtp, // also the POP login of "POP before send", which uses the same account
    };

    Keychain(const QString& identity, Purpose purpose);

    Status Read(QString* text, QString* error = nullptr) const;
    Status Write(const QString& text, QString* error = nullptr) const;
    Status Remove(QString* error = nullptr) const;

    // Removes every entry of the identity; false (with *error) when the keychain refused.
    static bool ForgetIdentity(const QString& identity, QString* error = nullptr);
    // Whether a keychain can be asked at all; *reason says why not.
    static bool IsReachable(QString* reason = nullptr);
    // The longest wait for one answer, 20 seconds unless changed.
    static void SetWaitLimit(int milliseconds);

private:
    enum class Operation { Read, Write, Remove };
    Status run(Operation operation, QString* text, QString* error) const;

    QString m_key;
};
