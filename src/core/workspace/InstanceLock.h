#pragma once

#include <QString>

// The names behind "one running instance per identity and user": the instance name, the lock
// file a running instance holds and the local socket it listens on. The program takes the lock
// at start-up; other code only asks whether someone holds it.
namespace InstanceLock {

// "ZEPH USER " + identity + user name, upper case.
QString InstanceName(const QString& identity);
// A safe file and socket name for an instance name (it may hold any character).
QString ServerName(const QString& instanceName);
QString LockFilePath(const QString& instanceName);
// True while a running process (this one included) holds the identity's instance lock. Only
// looks: the lock is never taken, so a copy starting at this moment is not turned away.
bool IsHeld(const QString& identity);

} // namespace InstanceLock
