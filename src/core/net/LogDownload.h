#pragma once

#include <QDateTime>
#include <QString>

class CRemoteHost;

// Fetching the procmail log from the host: the log is renamed aside first so that procmail
// starts a new one, downloaded, and then deleted or kept under a dated name on the host.
namespace LogDownload {

// "zeph.log" in the remote ZEPH directory, and the same followed by ".old".
QString RemoteLogName();
QString RemoteOldLogName();
// ".2007.06.25.140709" for 25 June 2007, 14:07:09.
QString DateSuffix(const QDateTime& time);

// Connects `host` when needed and runs the rename, download and clean-up, telling the user about
// every failure. True when `localLog` now holds the log that was on the host. The caller closes
// a document of `localLog` first and disconnects afterwards.
bool Run(CRemoteHost& host, const QString& localLog);

} // namespace LogDownload
