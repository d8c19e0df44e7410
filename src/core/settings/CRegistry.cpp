#include "core/settings/CRegistry.h"

#include "core/settings/AppDataFolder.h"
#include "core/settings/CAppState.h"

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

QString fileOf(const QString& identity)
{
    return overridePath().isEmpty() ? CRegistry::FilePathFor(identity) : overridePath();
}

QString keyOf(const QString& section, const QString& key)
{
    return section.isEmpty() ? key : section + QLatin1Char('/') + key;
}

bool sync(QSettings& settings)
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool write(const QString& file, const QString& key, const QVariant& value)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(key, value);
    return sync(settings);
}

// Splits a key path into the identity and the section inside that identity's file.
bool splitKeyPath(const QString& keyPath, QString* identity, QString* section)
{
    const QStringList parts = keyPath.split(QLatin1Char('\\'));
    if (parts.size() < 4 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0
        || parts[1].compare(QLatin1String("Talvenor"), Qt::CaseInsensitive) != 0
        || parts[2].compare(QLatin1String("ZEPH"), Qt::CaseInsensitive) != 0 || parts[3].isEmpty())
        return false;
    *identity = parts[3];
    *section = parts.mid(4).join(QLatin1Char('/'));
    return true;
}

} // namespace

QString CRegistry::FilePathFor(const QString& identity)
{
    return GetAppDataFolder() + QStringLiteral("registry/") + identity.toCaseFolded()
        + QStringLiteral(".ini");
}

QString CRegistry::FilePath()
{
    return fileOf(CAppState::Instance().IdentityName());
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
    return write(FilePath(), keyOf(section, key), value);
}

QStringList CRegistry::GetList(const QString& section, const QString& key)
{
    QSettings settings(FilePath(), QSettings::IniFormat);
    return settings.value(keyOf(section, key)).toStringList();
}

bool CRegistry::SetList(const QString& section, const QString& key, const QStringList& values)
{
    return write(FilePath(), keyOf(section, key), values);
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

QString CRegistry::KeyRoot()
{
    return QStringLiteral("Software\\Talvenor\\ZEPH");
}

QString CRegistry::KeyPathOf(const QString& identity, const QString& subkey)
{
    QString path = KeyRoot() + QLatin1Char('\\') + identity;
    if (!subkey.isEmpty())
        path += QLatin1Char('\\') + subkey;
    return path;
}

bool CRegistry::OpenKey(const QString& keyPath)
{
    QString identity, section;
    return splitKeyPath(keyPath, &identity, &section);
}

bool CRegistry::WriteBinary(const QString& keyPath, const QString& valueName, const QByteArray& value)
{
    QString identity, section;
    return splitKeyPath(keyPath, &identity, &section)
        && write(fileOf(identity), keyOf(section, valueName), value);
}

bool CRegistry::ReadBinary(const QString& keyPath, const QString& valueName, QByteArray* value)
{
    QString identity, section;
    if (!splitKeyPath(keyPath, &identity, &section))
        return false;
    QSettings settings(fileOf(identity), QSettings::IniFormat);
    const QVariant stored = settings.value(keyOf(section, valueName));
    if (stored.typeId() != QMetaType::QByteArray)
        return false;
    *value = stored.toByteArray();
    return true;
}

bool CRegistry::DeleteValue(const QString& keyPath, const QString& valueName)
{
    QString identity, section;
    if (!splitKeyPath(keyPath, &identity, &section))
        return false;
    QSettings settings(fileOf(identity), QSettings::IniFormat);
    const QString key = keyOf(section, valueName);
    if (!settings.contains(key))
        return false;
    settings.remove(key);
    return sync(settings);
}
