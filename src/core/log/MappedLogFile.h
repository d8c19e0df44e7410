#pragma once

#include <QFile>
#include <QString>

// A log file mapped read-only, so that a log of a gigabyte is read without a copy. The length is
// taken when the file is opened: what procmail appends later is not seen. A file that becomes
// shorter while it is mapped would make every read past its new end a bus error; here such a
// read finds zero bytes instead, and Shrunk() tells that it happened, so that the reader can stop
// at CurrentLength() and say why.
class MappedLogFile
{
public:
    MappedLogFile() = default;
    ~MappedLogFile();
    MappedLogFile(const MappedLogFile&) = delete;
    MappedLogFile& operator=(const MappedLogFile&) = delete;

    // Maps the file; false with a message naming it in `error`. An empty file maps to no data.
    bool Open(const QString& path, QString* error);
    void Close();

    const char* Data() const { return m_data; }
    qint64 Length() const { return m_length; }
    // True once a read of the mapping went past the end of the file.
    bool Shrunk() const;
    // The file's length now, at most the length at open.
    qint64 CurrentLength() const;

private:
    QFile m_file;
    const char* m_data = nullptr;
    qint64 m_length = 0;
    int m_slot = -1;
};
