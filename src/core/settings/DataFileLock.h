#pragma once

#include <QLockFile>
#include <QString>

// Held around every read-modify-write of the data file, so that two instances serving different
// identities never lose each other's records.
class DataFileLock
{
public:
    explicit DataFileLock(const QString& dataFilePath);
    bool Acquire(QString* error);

private:
    QLockFile m_lock;
};
