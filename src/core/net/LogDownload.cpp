#include "core/net/LogDownload.h"

#include "core/common/Clock.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

namespace {

// True when the failed rename was refused at its RNFR, which is how hosts answer for a
// missing source file.
bool sourceRefused(const CRemoteHost& host)
{
    if (!host.IsConnected() || host.WasCanceled())
        return false;
    const QList<QByteArray> log = host.Log();
    for (qsizetype i = log.size() - 1; i >= 0; --i) {
        if (log[i].startsWith("RNTO "))
            return false;
        if (log[i].startsWith("RNFR "))
            return host.LastResponse().startsWith(QLatin1Char('5'));
    }
    return false;
}

} // namespace

namespace LogDownload {

QString RemoteLogName()
{
    const QString dir = Workspace::GetRemoteZephDir();
    return dir.isEmpty() ? QStringLiteral("zeph.log") : dir + QStringLiteral("/zeph.log");
}

QString RemoteOldLogName()
{
    return RemoteLogName() + QStringLiteral(".old");
}

QString DateSuffix(const QDateTime& time)
{
    return QStringLiteral(".%1.").arg(time.date().year()) + time.toString(QStringLiteral("MM.dd.HHmmss"));
}

bool Run(CRemoteHost& host, const QString& localLog)
{
    const QString remoteLog = RemoteLogName();
    const QString remoteOld = RemoteOldLogName();
    if (!host.Connect())
        return false;

    // An old log left by an earlier run whose download failed is kept under a dated name rather
    // than overwritten by the next rename.
    QString keptName = remoteLog + DateSuffix(Clock::Now());
    if (!host.Rename(remoteOld, keptName)) {
        if (!sourceRefused(host)) {
            host.ShowResult();
            return false;
        }
        keptName.clear();
    }

    if (!host.Rename(remoteLog, remoteOld)) {
        host.ShowResult();
        return false;
    }
    // Binary keeps the host's bytes and lets the size in the 150 reply be checked.
    if (!host.Transfer(localLog, remoteOld, true, true, CRemoteHost::PassiveSetting() != 0)) {
        host.ShowResult();
        return false;
    }
    if (GetSetting(Settings::DeleteLogAfterDownload) != 0) {
        if (!host.DeleteFile(remoteOld))
            host.ShowResult();
    } else {
        QString dated = remoteLog + DateSuffix(Clock::Now());
        // Never onto the name the left-over log got a moment ago.
        if (dated == keptName)
            dated += QStringLiteral(".1");
        if (!host.Rename(remoteOld, dated))
            host.ShowResult();
    }
    return true;
}

} // namespace LogDownload
