#pragma once

#include <QByteArray>
#include <QString>

// Little-endian binary archive of the data files: DWORDs, counted strings and counts.
// Writing appends to a buffer. Reading checks every length against the bytes left, so a damaged
// or crafted file fails cleanly instead of allocating or looping; after the first failure every
// further read fails too and Error() names the first problem.
class CArchive
{
public:
    CArchive() = default; // for storing
    explicit CArchive(const QByteArray& data); // for loading

    bool IsLoading() const { return m_loading; }
    QByteArray Data() const { return m_data; }

    void WriteDword(quint32 value);
    void WriteInt32(qint32 value) { WriteDword(static_cast<quint32>(value)); }
    void WriteWord(quint16 value);
    void WriteByte(quint8 value);
    void WriteDouble(double value);
    void WriteBytes(const QByteArray& bytes);
    // A string of 8-bit text: length prefix by size class, then the bytes.
    void WriteString(const QByteArray& text);
    void WriteText(const QString& text) { WriteString(text.toUtf8()); }
    // A list length: two bytes, or 0xFFFF and four bytes.
    void WriteCount(quint32 count);

    bool ReadDword(quint32* value);
    bool ReadInt32(qint32* value);
    bool ReadWord(quint16* value);
    bool ReadByte(quint8* value);
    bool ReadDouble(double* value);
    bool ReadBytes(qsizetype count, QByteArray* bytes);
    bool ReadString(QByteArray* text);
    bool ReadText(QString* text);
    bool ReadCount(quint32* count);
    // A count of items that take at least minItemSize bytes each; refused when the rest of the
    // data cannot hold that many.
    bool ReadItemCount(quint32* count, qsizetype minItemSize);
    bool ReadCountedDword(quint32* count, qsizetype minItemSize);

    // Marks the archive as failed with a reason (for checks made by the reader of a record).
    bool Fail(const QString& reason);
    bool Failed() const { return !m_error.isEmpty(); }
    QString Error() const { return m_error; }
    qsizetype BytesLeft() const { return m_data.size() - m_offset; }

private:
    bool Need(qsizetype count);

    QByteArray m_data;
    qsizetype m_offset = 0;
    bool m_loading = false;
    QString m_error;
};
