#include "core/settings/CRegistry.h"

#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

// Splits a key path into the identity and the group inside that identity's file.
bool splitKeyPath(const QString& keyPath, QString* identity, QString* group)
{
    const QStringList parts = keyPath.split(QLatin1Char('\\'));
    if (parts.size() < 4 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0
        || parts[1].compare(QLatin1String("Talvenor"), Qt::CaseInsensitive) != 0
        || parts[2].compare(QLatin1String("ZEPH"), Qt::CaseInsensitive) != 0 || parts[3].isEmpty())
        return false;
    *identity = parts[3];
    *group = parts.mid(4).join(QLatin1Char('/'));
    return true;
}

QString settingsKey(const QString& group, const QString& name)
{
    return group.isEmpty() ? name : group + QLatin1Char('/') + name;
}

bool synced(QSettings& settings)
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace

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

QString CRegistry::FileForIdentity(const QString& identity)
{
    return Workspace::GetAppDataFolder() + QStringLiteral("registry/") + identity.toCaseFolded()
        + QStringLiteral(".ini");
}

bool CRegistry::OpenKey(const QString& keyPath)
{
    QString identity, group;
    return splitKeyPath(keyPath, &identity, &group);
}

bool CRegistry::WriteBinary(const QString& keyPath, const QString& valueName, const QByteArray& value)
{
    QString identity, group;
    if (!splitKeyPath(keyPath, &identity, &group))
        return false;
    const QString file = FileForIdentity(identity);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(settingsKey(group, valueName), value);
    return synced(settings);
}

bool CRegistry::ReadBinary(const QString& keyPath, const QString& valueName, QByteArray* value)
{
    QString identity, group;
    if (!splitKeyPath(keyPath, &identity, &group))
        return false;
    QSettings settings(FileForIdentity(identity), QSettings::IniFormat);
    const QVariant stored = settings.value(settingsKey(group, valueName));
    if (stored.typeId() != QMetaType::QByteArray)
        return false;
    *value = stored.toByteArray();
    return true;
}

bool CRegistry::DeleteValue(const QString& keyPath, const QString& valueName)
{
    QString identity, group;
    if (!splitKeyPath(keyPath, &identity, &group))
        return false;
    QSettings settings(FileForIdentity(identity), QSettings::IniFormat);
    const QString key = settingsKey(group, valueName);
    if (!settings.contains(key))
        return false;
    settings.remove(key);
    return synced(settings);
}

QVariant CRegistry::Value(const QString& identity, const QString& subkey, const QString& name,
                          const QVariant& defaultValue)
{
    QSettings settings(FileForIdentity(identity), QSettings::IniFormat);
    return settings.value(settingsKey(subkey, name), defaultValue);
}

bool CRegistry::SetValue(const QString& identity, const QString& subkey, const QString& name,
                         const QVariant& value)
{
    const QString file = FileForIdentity(identity);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(settingsKey(subkey, name), value);
    return synced(settings);
}

bool CRegistry::RemoveValue(const QString& identity, const QString& subkey, const QString& name)
{
    QSettings settings(FileForIdentity(identity), QSettings::IniFormat);
    settings.remove(settingsKey(subkey, name));
    return synced(settings);
}

bool CRegistry::DeleteIdentity(const QString& identity)
{
    const QString file = FileForIdentity(identity);
    return !QFileInfo::exists(file) || QFile::remove(file);
}
