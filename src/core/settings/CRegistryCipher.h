#pragma once

#include <QByteArray>
#include <QString>

// A short text kept enciphered as a binary value of the per-identity registry store:
//   count (2 bytes, or 0xFFFF + 4) | IV (8) | Blowfish-CBC of the text and its marked padding.
// The path is "ROOT\key path\value name", e.g.
// "HKEY_CURRENT_USER\Software\Talvenor\ZEPH\Work\Settings\Password".
class CRegistryCipher
{
public:
    CRegistryCipher();

    bool SetKey(const QByteArray& keyText);
    bool WriteValue(const QByteArray& text, const QString& path);
    bool ReadValue(QByteArray* text, const QString& path);
    bool DeleteValue(const QString& path); // needs no key

    // The value's bytes for a text, and the text of stored bytes: the format without the store.
    bool Encode(const QByteArray& text, QByteArray* value);
    bool Decode(const QByteArray& value, QByteArray* text);

    QString GetErrorText() const { return m_errorText; }

private:
    bool ParsePath(const QString& path);

    QString m_errorText;
    QByteArray m_key;
    bool m_keySet = false;
    QString m_keyPath;
    QString m_valueName;
};
