// Sends N small pending files to an FTP server in one session and prints the time it took.
// Usage: bench_ftppending HOST PORT USER PASSWORD-ENV-VARIABLE FOLDER [COUNT] [--active]
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/settings/Profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 6) {
        std::fprintf(
            stderr, "usage: bench_ftppending HOST PORT USER PASSWORD-ENV FOLDER [COUNT] [--active]\n");
        return 2;
    }
    const int count = args.size() > 6 && !args[6].startsWith(QLatin1String("--")) ? args[6].toInt() : 20;
    const bool active = args.contains(QStringLiteral("--active"));
    const char* password = std::getenv(args[4].toLocal8Bit().constData());
    QStringList failures;
    Prompt::SetPresenter([&failures](const Prompt::Record& record) {
        if (record.icon == Prompt::Warning)
            failures << record.text;
        return Prompt::Ok;
    });
    SetSetting(Settings::Host, args[1]);
    SetSetting(Settings::Port, args[2].toInt());
    SetSetting(Settings::UserName, args[3]);
    SetSetting(Settings::PasvMode, active ? 0 : 1);
    QDir().mkpath(args[5]);
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(args[5]).filePath(QStringLiteral("pending%1.txt").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(QByteArray("# a small file for the host\n:0\n* ^Subject:.*test\nfolder\n").repeated(20));
        file.close();
        AddPending(path, QStringLiteral("pending%1.txt").arg(i));
    }
    CRemoteHost host;
    CRemoteHost::Overrides overrides;
    overrides.password = QString::fromLocal8Bit(password ? password : "");
    overrides.hasPassword = true;
    host.SetOverrides(overrides);
    QElapsedTimer timer;
    timer.start();
    const bool ok = SendPendingNow(host);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (!ok || !failures.isEmpty()) {
        std::fprintf(stderr, "pending upload failed: %s\n", qUtf8Printable(failures.join(QLatin1Char('\n'))));
        return 1;
    }
    std::printf("%d pending files sent in one session: %.3f s (%.1f ms per file)\n", count, seconds,
        seconds * 1000.0 / count);
    return 0;
}
