#pragma once

#include <QByteArray>
#include <QString>

// AES-CBC file format with an enciphered SHA-1 check value:
//   check IV (16) | AES(digest + padding) (32) | body IV (16) | body in 4096-byte pieces,
// each piece chained from the body IV again. The last byte of each padded string holds the pad
// length in its low four bits (0 meaning 16).
class CFileCipher
{
public:
    bool SetKey(const QByteArray& keyText);

    // The target file is replaced atomically: on failure the previous file stays as it was.
    bool EncryptToFile(const QByteArray& source, const QString& path, const QByteArray& keyText);
    bool DecryptFromFile(QByteArray* destination, const QString& path, const QByteArray& keyText);

    // Enciphers into one string: IV followed by the CBC blocks of the padded text.
    bool EncryptText(const QByteArray& plain, QByteArray* cipher, const QByteArray& keyText);
    bool DecryptText(QByteArray* plain, const QByteArray& cipher, const QByteArray& keyText);

    // Padded plain bytes (with the pad length in the last byte) in pieces of this size.
    static constexpr int PieceSize = 4096;
    static constexpr int MinimumFileSize = 80;

    QString GetErrorText() const { return m_errorText; }
    QByteArray Key() const { return m_key; }

private:
    bool Encipher(const QByteArray& plain, const QByteArray& iv, QByteArray* out);
    bool Decipher(const QByteArray& cipher, const QByteArray& iv, QByteArray* out);
    bool EncipherBody(const QByteArray& source, const QByteArray& iv, QByteArray* out);

    QByteArray m_key;
    QString m_errorText;
};
