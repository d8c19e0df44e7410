#include "core/settings/CProtectedFile.h"

#include "core/settings/CArchive.h"
#include "core/settings/CFileCipher.h"
#include "core/settings/Serializable.h"

bool CProtectedFile::SaveObject(const Serializable& object, const QString& path, const QByteArray& keyText)
{
    CArchive archive;
    object.Store(archive);
    CFileCipher cipher;
    if (!cipher.EncryptToFile(archive.Data(), path, keyText)) {
        m_errorText = cipher.GetErrorText();
        return false;
    }
    return true;
}

bool CProtectedFile::LoadObject(Serializable& object, const QString& path, const QByteArray& keyText)
{
    CFileCipher cipher;
    QByteArray plain;
    if (!cipher.DecryptFromFile(&plain, path, keyText)) {
        m_errorText = cipher.GetErrorText();
        return false;
    }
    CArchive archive(plain);
    if (!object.Load(archive)) {
        m_errorText = archive.Error();
        return false;
    }
    return true;
}

QString CProtectedFile::GetErrorText() const
{
    return m_errorText.isEmpty() ? QStringLiteral("Unknown error.") : m_errorText;
}
