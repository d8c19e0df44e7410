#include "NetTestFixture.h"

#include "FtpServers.h"
#include "core/net/FtpPassword.h"
#include "core/settings/Profile.h"

#include <QFile>

#include <sys/stat.h>

QByteArray ReadTestFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

bool WriteTestFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

int FileMode(const QString& path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return static_cast<int>(info.st_mode & 0777);
}

void UseServerSettings(const TestFtpServer& server, bool passive)
{
    SetSetting(Settings::Host, QStringLiteral("127.0.0.1"));
    SetSetting(Settings::Port, server.Port());
    SetSetting(Settings::UserName, server.User());
    SetSetting(Settings::PasvMode, passive ? 1 : 0);
    SetSetting(Settings::FtpTls, server.TlsMode());
}

bool StartServerForSettings(TestFtpServer& server)
{
    if (!StartTestServer(server))
        return false;
    UseServerSettings(server, true);
    return FtpPassword::Save(server.Password());
}
