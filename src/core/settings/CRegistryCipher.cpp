#include "core/settings/CRegistryCipher.h"

#include "core/settings/CArchive.h"
#include "core/settings/CRegistry.h"
#include "core/settings/SecureRandom.h"

// The low-level Blowfish interface is deprecated in OpenSSL 3 but kept in libcrypto; the EVP
// form would need the legacy provider loaded at run time.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <QStringList>

#include <cstring>
#include <openssl/blowfish.h>
#include <openssl/crypto.h>

namespace {

constexpr int BlockSize = 8;

const char* const RootNames[] = { "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
    "HKEY_USERS", "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA" };

void blowfishCbc(const QByteArray& key, const QByteArray& iv, const QByteArray& in, QByteArray* out, int mode)
{
    BF_KEY schedule;
    BF_set_key(
        &schedule, static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(key.constData()));
    unsigned char ivec[BlockSize];
    std::memcpy(ivec, iv.constData(), BlockSize);
    out->resize(in.size());
    BF_cbc_encrypt(reinterpret_cast<const unsigned char*>(in.constData()),
        reinterpret_cast<unsigned char*>(out->data()), static_cast<long>(in.size()), &schedule, ivec, mode);
    OPENSSL_cleanse(&schedule, sizeof schedule);
}

} // namespace

CRegistryCipher::CRegistryCipher()
    : m_errorText(QStringLiteral("No key was given!"))
{
}

bool CRegistryCipher::SetKey(const QByteArray& keyText)
{
    m_keySet = false;
    if (keyText.isEmpty()) {
        m_errorText = QStringLiteral("No key was given!");
        return false;
    }
    if (keyText.size() < 4) {
        m_errorText = QStringLiteral("The key must be at least four characters long.");
        return false;
    }
    QByteArray key = keyText;
    while (key.size() < 8)
        key += keyText;
    m_key = key.left(56);
    m_keySet = true;
    return true;
}

bool CRegistryCipher::ParsePath(const QString& path)
{
    const qsizetype first = path.indexOf(QLatin1Char('\\'));
    const QString root = first < 0 ? path : path.left(first);
    bool known = false;
    for (const char* name : RootNames)
        known = known || root.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    if (!known || first < 0) {
        m_errorText = QStringLiteral("The registry HKEY value of \"%1\" is invalid.  Valid values are "
                                     "HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, "
                                     "HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, or HKEY_DYN_DATA.")
                          .arg(root);
        return false;
    }
    const qsizetype last = path.lastIndexOf(QLatin1Char('\\'));
    m_keyPath = last > first ? path.mid(first + 1, last - first - 1) : QString();
    m_valueName = path.mid(last + 1);
    // Only the current user's tree is kept on this platform.
    if (root.compare(QLatin1String("HKEY_CURRENT_USER"), Qt::CaseInsensitive) != 0)
        m_keyPath.prepend(root + QLatin1Char('\\'));
    return true;
}

bool CRegistryCipher::Encode(const QByteArray& text, QByteArray* value)
{
    if (!m_keySet)
        return false;
    const QByteArray iv = SecureRandomBytes(BlockSize);
    QByteArray padded = text;
    AppendMarkedPadding(&padded, BlockSize);
    QByteArray cipher;
    blowfishCbc(m_key, iv, padded, &cipher, BF_ENCRYPT);
    CArchive archive;
    archive.WriteCount(static_cast<quint32>(iv.size() + cipher.size()));
    archive.WriteBytes(iv);
    archive.WriteBytes(cipher);
    *value = archive.Data();
    return true;
}

bool CRegistryCipher::Decode(const QByteArray& value, QByteArray* text)
{
    if (!m_keySet)
        return false;
    CArchive archive(value);
    quint32 count = 0;
    QByteArray data;
    const QString sizeError = QStringLiteral("The size of the string stored in the registry was incorrect.");
    // The count must describe exactly the bytes that follow it.
    if (!archive.ReadCount(&count) || qsizetype(count) != archive.BytesLeft() || count % BlockSize != 0
        || count < 2 * BlockSize || !archive.ReadBytes(count, &data)) {
        m_errorText = sizeError;
        return false;
    }
    QByteArray plain;
    blowfishCbc(m_key, data.left(BlockSize), data.mid(BlockSize), &plain, BF_DECRYPT);
    if (!RemoveMarkedPadding(&plain, BlockSize)) {
        m_errorText = sizeError;
        return false;
    }
    *text = plain;
    return true;
}

bool CRegistryCipher::WriteValue(const QByteArray& text, const QString& path)
{
    if (!m_keySet || !ParsePath(path))
        return false;
    QByteArray value;
    Encode(text, &value);
    if (!CRegistry::OpenKey(m_keyPath)) {
        m_errorText = QStringLiteral("Error while trying to create registry key \"%1\"").arg(m_keyPath);
        return false;
    }
    if (!CRegistry::WriteBinary(m_keyPath, m_valueName, value)) {
        m_errorText = QStringLiteral("Unexpected error while trying to write data to registry value \"%1\".")
                          .arg(m_valueName);
        return false;
    }
    return true;
}

bool CRegistryCipher::ReadValue(QByteArray* text, const QString& path)
{
    if (!m_keySet || !ParsePath(path))
        return false;
    if (!CRegistry::OpenKey(m_keyPath)) {
        m_errorText
            = QStringLiteral("Unexpected error while trying to open registry %1 for reading.").arg(m_keyPath);
        return false;
    }
    QByteArray value;
    if (!CRegistry::ReadBinary(m_keyPath, m_valueName, &value)) {
        m_errorText = QStringLiteral("Unexpected error while trying to read data from registry value %1\\%2.")
                          .arg(m_keyPath, m_valueName);
        return false;
    }
    return Decode(value, text);
}

bool CRegistryCipher::DeleteValue(const QString& path)
{
    if (!ParsePath(path))
        return false;
    if (!CRegistry::OpenKey(m_keyPath)) {
        m_errorText = QStringLiteral("Unexpected error while trying to open registry key %1.").arg(m_keyPath);
        return false;
    }
    if (!CRegistry::DeleteValue(m_keyPath, m_valueName)) {
        m_errorText = QStringLiteral("Unexpected error while trying to delete value %1\\%2 from registry.")
                          .arg(m_keyPath, m_valueName);
        return false;
    }
    return true;
}
