#include "core/settings/DataFileLock.h"

#include <QDir>
#include <QFileInfo>

DataFileLock::DataFileLock(const QString& dataFilePath)
    : m_lock(dataFilePath + QStringLiteral(".lock"))
{
    // A lock left by a crashed instance is taken over after this long.
    m_lock.setStaleLockTime(30000);
}

bool DataFileLock::Acquire(QString* error)
{
    QDir().mkpath(QFileInfo(m_lock.fileName()).absolutePath());
    if (m_lock.tryLock(10000))
        return true;
    if (error)
        *error = QStringLiteral("The ZEPH data file is in use by another ZEPH instance.");
    return false;
}
