#include "core/settings/CFileCipher.h"

#include "core/common/AtomicFile.h"
#include "core/settings/CSha1.h"
#include "core/settings/SecureRandom.h"

#include <QFile>

#include <memory>
#include <openssl/evp.h>

namespace {

constexpr int BlockSize = 16;
constexpr int CheckBlockSize = 48;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

const EVP_CIPHER* cipherFor(const QByteArray& key)
{
    switch (key.size()) {
    case 16:
        return EVP_aes_128_cbc();
    case 24:
        return EVP_aes_192_cbc();
    default:
        return EVP_aes_256_cbc();
    }
}

// One CBC run over whole blocks, no padding of OpenSSL's own.
bool runCbc(const QByteArray& key, const QByteArray& iv, const QByteArray& in, QByteArray* out, bool encrypt)
{
    CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!context)
        return false;
    const auto* keyBytes = reinterpret_cast<const unsigned char*>(key.constData());
    const auto* ivBytes = reinterpret_cast<const unsigned char*>(iv.constData());
    if (EVP_CipherInit_ex(context.get(), cipherFor(key), nullptr, keyBytes, ivBytes, encrypt ? 1 : 0) != 1)
        return false;
    EVP_CIPHER_CTX_set_padding(context.get(), 0);
    const qsizetype start = out->size();
    out->resize(start + in.size());
    int written = 0;
    if (EVP_CipherUpdate(context.get(), reinterpret_cast<unsigned char*>(out->data() + start), &written,
            reinterpret_cast<const unsigned char*>(in.constData()), static_cast<int>(in.size()))
        != 1)
        return false;
    int tail = 0;
    if (EVP_CipherFinal_ex(
            context.get(), reinterpret_cast<unsigned char*>(out->data() + start + written), &tail)
        != 1)
        return false;
    return written + tail == in.size();
}

} // namespace

bool CFileCipher::SetKey(const QByteArray& keyText)
{
    m_key.clear();
    if (keyText.isEmpty()) {
        m_errorText = QStringLiteral("No key was given!");
        return false;
    }
    if (keyText.size() < 4) {
        m_errorText = QStringLiteral("The key must be at least four characters long.");
        return false;
    }
    const int keySize = keyText.size() <= 16 ? 16 : keyText.size() <= 24 ? 24 : 32;
    QByteArray key = keyText;
    while (key.size() < keySize)
        key += key;
    m_key = key.left(keySize);
    return true;
}

bool CFileCipher::Encipher(const QByteArray& plain, const QByteArray& iv, QByteArray* out)
{
    if (!runCbc(m_key, iv, plain, out, true)) {
        m_errorText = QStringLiteral("The cipher could not be run.");
        return false;
    }
    return true;
}

bool CFileCipher::Decipher(const QByteArray& cipher, const QByteArray& iv, QByteArray* out)
{
    if (!runCbc(m_key, iv, cipher, out, false)) {
        m_errorText = QStringLiteral("The cipher could not be run.");
        return false;
    }
    return true;
}

bool CFileCipher::EncryptText(const QByteArray& plain, QByteArray* cipher, const QByteArray& keyText)
{
    if (!SetKey(keyText))
        return false;
    const QByteArray iv = SecureRandomBytes(BlockSize);
    QByteArray padded = plain;
    AppendMarkedPadding(&padded, BlockSize);
    QByteArray result = iv;
    if (!Encipher(padded, iv, &result))
        return false;
    *cipher = result;
    return true;
}

bool CFileCipher::DecryptText(QByteArray* plain, const QByteArray& cipher, const QByteArray& keyText)
{
    if (!SetKey(keyText))
        return false;
    // An IV alone carries no text: it can only be damage.
    if (cipher.size() % BlockSize != 0 || cipher.size() < 2 * BlockSize) {
        m_errorText = QStringLiteral("The size of the cipher text must be a multiple of sixteen bytes.");
        return false;
    }
    QByteArray result;
    if (!Decipher(cipher.mid(BlockSize), cipher.left(BlockSize), &result))
        return false;
    if (!RemoveMarkedPadding(&result, BlockSize)) {
        m_errorText = QStringLiteral("File check value is incorrect.");
        return false;
    }
    *plain = result;
    return true;
}

bool CFileCipher::EncipherBody(const QByteArray& source, const QByteArray& iv, QByteArray* out)
{
    // Every piece restarts from the body IV; the last piece carries the padding.
    qsizetype offset = 0;
    for (;;) {
        const qsizetype left = source.size() - offset;
        if (left >= PieceSize) {
            if (!Encipher(source.mid(offset, PieceSize), iv, out))
                return false;
            offset += PieceSize;
            continue;
        }
        QByteArray last = source.mid(offset);
        AppendMarkedPadding(&last, BlockSize);
        return Encipher(last, iv, out);
    }
}

bool CFileCipher::EncryptToFile(const QByteArray& source, const QString& path, const QByteArray& keyText)
{
    if (!SetKey(keyText))
        return false;
    const QByteArray digest = CSha1::Hash(source);
    QByteArray content;
    content.reserve(CheckBlockSize + BlockSize + source.size() + BlockSize);
    QByteArray checkBlock;
    if (!EncryptText(digest, &checkBlock, keyText))
        return false;
    const QByteArray bodyIv = SecureRandomBytes(BlockSize);
    content += checkBlock;
    content += bodyIv;
    if (!EncipherBody(source, bodyIv, &content))
        return false;

    QString error;
    if (!SaveFileAtomically(path, content, &error)) {
        m_errorText = error.left(99);
        return false;
    }
    return true;
}

bool CFileCipher::DecryptFromFile(QByteArray* destination, const QString& path, const QByteArray& keyText)
{
    if (!SetKey(keyText))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errorText = file.errorString().left(99);
        return false;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_errorText = file.errorString().left(99);
        return false;
    }
    // Checked before any deciphering so a cut or padded file is named for what it is.
    if (content.size() < MinimumFileSize || content.size() % BlockSize != 0) {
        m_errorText = QStringLiteral("The file size was incorrect.");
        return false;
    }
    QByteArray expectedDigest;
    if (!DecryptText(&expectedDigest, content.left(CheckBlockSize), keyText))
        return false;
    if (expectedDigest.size() != 20) {
        m_errorText = QStringLiteral("File check value is incorrect.");
        return false;
    }
    const QByteArray bodyIv = content.mid(CheckBlockSize, BlockSize);
    QByteArray plain;
    plain.reserve(content.size());
    for (qsizetype offset = CheckBlockSize + BlockSize; offset < content.size(); offset += PieceSize) {
        if (!Decipher(content.mid(offset, PieceSize), bodyIv, &plain))
            return false;
    }
    if (!RemoveMarkedPadding(&plain, BlockSize) || CSha1::Hash(plain) != expectedDigest) {
        m_errorText = QStringLiteral("File check value is incorrect.");
        return false;
    }
    *destination = plain;
    return true;
}
