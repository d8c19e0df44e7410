#pragma once

#include <QByteArray>
#include <QString>

class Serializable;

// A record stored enciphered in a file (see CFileCipher for the format).
class CProtectedFile
{
public:
    bool SaveObject(const Serializable& object, const QString& path, const QByteArray& keyText);
    bool LoadObject(Serializable& object, const QString& path, const QByteArray& keyText);
    QString GetErrorText() const;

private:
    QString m_errorText;
};
