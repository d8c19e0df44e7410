#pragma once

#include <QString>

// One entry of the desktop's keychain (the Secret Service, through QtKeychain). Every call waits
// at most a bounded time so that a stuck D-Bus never freezes the program; once the keychain has
// not answered in time it counts as unavailable for the rest of the run, so the next call does
// not wait again.
class Keychain
{
public:
    enum class Status {
        Done,
        NotFound, // a read or removal found no entry
        Unavailable, // no keychain runs here: the caller uses its fallback without a fuss
        Failed, // the keychain is there but refused; the error text says why
    };

    // The entry "key" of ZEPH's service.
    explicit Keychain(const QString& key);

    Status Read(QString* text, QString* error = nullptr) const;
    Status Write(const QString& text, QString* error = nullptr) const;
    Status Remove(QString* error = nullptr) const;

    // Whether a keychain can be asked at all; *reason says why not.
    static bool IsReachable(QString* reason = nullptr);
    // The longest wait for one answer, 20 seconds unless changed.
    static void SetWaitLimit(int milliseconds);

private:
    enum class Operation { Read, Write, Remove };
    Status run(Operation operation, QString* text, QString* error) const;

    QString m_key;
};
