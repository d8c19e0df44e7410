#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// SHA-1 of a file or of bytes in memory.
class CSha1
{
public:
    // Reads the device from its start; false with an error text on a read error.
    bool HashFile(QIODevice& file, QByteArray* digest);
    static QByteArray Hash(const QByteArray& data);
    QString GetErrorText() const { return m_errorText; }

private:
    QString m_errorText;
};
