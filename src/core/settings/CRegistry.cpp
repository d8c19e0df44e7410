#include "core/settings/CRegistry.h"

#include "core/settings/CAppState.h"
#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

QString& overridePath()
{
    static QString path;
    return path;
}

QString keyOf(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

bool sync(QSettings& settings)
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}


} // namespace

QString CRegistry::FilePathFor(const QString& identity)
{
    return Workspace::GetAppDataFolder() + QStringLiteral("registry/") + identity.toCaseFolded()
        + QStringLiteral(".ini");
}

QString CRegistry::FilePath()
{
    if (!overridePath().isEmpty())
        return overridePath();
    return FilePathFor(CAppState::Instance().IdentityName());
}

void CRegistry::SetFilePathOverride(const QString& path)
{
    overridePath() = path;
}

QString CRegistry::GetString(const QString& section, const QString& key, const QString& defaultValue)
{
    QSettings settings(FilePath(), QSettings::IniFormat);
    return settings.value(keyOf(section, key), defaultValue).toString();
}

bool CRegistry::SetString(const QString& section, const QString& key, const QString& value)
{
    QDir().mkpath(QFileInfo(FilePath()).absolutePath());
    QSettings settings(FilePath(), QSettings::IniFormat);
    settings.setValue(keyOf(section, key), value);
    return sync(settings);
}

QStringList CRegistry::GetList(const QString& section, const QString& key)
{
    QSettings settings(FilePath(), QSettings::IniFormat);
    return settings.value(keyOf(section, key)).toStringList();
}

bool CRegistry::SetList(const QString& section, const QString& key, const QStringList& values)
{
    QDir().mkpath(QFileInfo(FilePath()).absolutePath());
    QSettings settings(FilePath(), QSettings::IniFormat);
    settings.setValue(keyOf(section, key), values);
    return sync(settings);
}

bool CRegistry::Remove(const QString& section, const QString& key)
{
    QSettings settings(FilePath(), QSettings::IniFormat);
    settings.remove(keyOf(section, key));
    return sync(settings);
}

bool CRegistry::DeleteIdentity(const QString& identity)
{
    const QString path = FilePathFor(identity);
    return !QFile::exists(path) || QFile::remove(path);
}
