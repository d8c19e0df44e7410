#include "core/settings/CArchive.h"

#include <QtEndian>

#include <cstring>

namespace {

const QString BadFormat = QStringLiteral("The file has a bad format.");

} // namespace

CArchive::CArchive(const QByteArray& data)
    : m_data(data)
    , m_loading(true)
{
}

void CArchive::WriteDword(quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    m_data.append(bytes, 4);
}

void CArchive::WriteWord(quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    m_data.append(bytes, 2);
}

void CArchive::WriteByte(quint8 value)
{
    m_data.append(static_cast<char>(value));
}

void CArchive::WriteDouble(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    qToLittleEndian(bits, bytes);
    m_data.append(bytes, 8);
}

void CArchive::WriteBytes(const QByteArray& bytes)
{
    m_data.append(bytes);
}

void CArchive::WriteString(const QByteArray& text)
{
    const qsizetype length = text.size();
    if (length < 255) {
        WriteByte(static_cast<quint8>(length));
    } else if (length < 65534) {
        WriteByte(0xFF);
        WriteWord(static_cast<quint16>(length));
    } else {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteDword(static_cast<quint32>(length));
    }
    m_data.append(text);
}

void CArchive::WriteCount(quint32 count)
{
    if (count < 0xFFFF) {
        WriteWord(static_cast<quint16>(count));
    } else {
        WriteWord(0xFFFF);
        WriteDword(count);
    }
}

bool CArchive::Fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    return false;
}

bool CArchive::Need(qsizetype count)
{
    if (Failed())
        return false;
    if (count < 0 || count > BytesLeft())
        return Fail(BadFormat);
    return true;
}

bool CArchive::ReadDword(quint32* value)
{
    if (!Need(4))
        return false;
    *value = qFromLittleEndian<quint32>(m_data.constData() + m_offset);
    m_offset += 4;
    return true;
}

bool CArchive::ReadInt32(qint32* value)
{
    quint32 raw = 0;
    if (!ReadDword(&raw))
        return false;
    *value = static_cast<qint32>(raw);
    return true;
}

bool CArchive::ReadWord(quint16* value)
{
    if (!Need(2))
        return false;
    *value = qFromLittleEndian<quint16>(m_data.constData() + m_offset);
    m_offset += 2;
    return true;
}

bool CArchive::ReadByte(quint8* value)
{
    if (!Need(1))
        return false;
    *value = static_cast<quint8>(m_data.at(m_offset));
    m_offset += 1;
    return true;
}

bool CArchive::ReadDouble(double* value)
{
    if (!Need(8))
        return false;
    const quint64 bits = qFromLittleEndian<quint64>(m_data.constData() + m_offset);
    m_offset += 8;
    std::memcpy(value, &bits, sizeof bits);
    return true;
}

bool CArchive::ReadBytes(qsizetype count, QByteArray* bytes)
{
    if (!Need(count))
        return false;
    *bytes = m_data.mid(m_offset, count);
    m_offset += count;
    return true;
}

bool CArchive::ReadString(QByteArray* text)
{
    // The length rule, with 0xFF 0xFFFE announcing 16-bit text that is read as 8-bit.
    bool wide = false;
    for (;;) {
        quint8 small = 0;
        if (!ReadByte(&small))
            return false;
        qsizetype length = small;
        if (small == 0xFF) {
            quint16 medium = 0;
            if (!ReadWord(&medium))
                return false;
            if (medium == 0xFFFE && !wide) {
                wide = true;
                continue;
            }
            length = medium;
            if (medium == 0xFFFF) {
                quint32 large = 0;
                if (!ReadDword(&large))
                    return false;
                length = static_cast<qsizetype>(large);
            }
        }
        if (!wide)
            return ReadBytes(length, text);
        QByteArray raw;
        if (length > BytesLeft() / 2 || !ReadBytes(length * 2, &raw))
            return Fail(BadFormat);
        QString wideText(length, Qt::Uninitialized);
        for (qsizetype i = 0; i < length; ++i)
            wideText[i] = QChar(qFromLittleEndian<quint16>(raw.constData() + 2 * i));
        *text = wideText.toUtf8();
        return true;
    }
}

bool CArchive::ReadText(QString* text)
{
    QByteArray bytes;
    if (!ReadString(&bytes))
        return false;
    *text = QString::fromUtf8(bytes);
    return true;
}

bool CArchive::ReadCount(quint32* count)
{
    quint16 small = 0;
    if (!ReadWord(&small))
        return false;
    if (small != 0xFFFF) {
        *count = small;
        return true;
    }
    return ReadDword(count);
}

bool CArchive::ReadItemCount(quint32* count, qsizetype minItemSize)
{
    if (!ReadCount(count))
        return false;
    if (static_cast<qsizetype>(*count) > BytesLeft() / minItemSize)
        return Fail(BadFormat);
    return true;
}

bool CArchive::ReadCountedDword(quint32* count, qsizetype minItemSize)
{
    if (!ReadDword(count))
        return false;
    if (static_cast<qsizetype>(*count) > BytesLeft() / minItemSize)
        return Fail(BadFormat);
    return true;
}
