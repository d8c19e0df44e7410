#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The per-identity "registry": the few values that live outside the data file (the saved
// password, toolbar layouts, recent files, the bar state). They are kept in one small settings
// file per identity, <app-data folder>/registry/<identity case-folded>.ini, which goes away with
// the identity.
class CRegistry
{
public:
    // The file of the running identity; tests may point it elsewhere.
    static QString FilePath();
    static QString FilePathFor(const QString& identity);
    static void SetFilePathOverride(const QString& path);

    // Values of the running identity, by section and key.
    static QString GetString(
        const QString& section, const QString& key, const QString& defaultValue = QString());
    // False when the file could not be written.
    static bool SetString(const QString& section, const QString& key, const QString& value);
    static QStringList GetList(const QString& section, const QString& key);
    static bool SetList(const QString& section, const QString& key, const QStringList& values);
    static bool Remove(const QString& section, const QString& key);
    // Deletes the whole file of an identity.
    static bool DeleteIdentity(const QString& identity);

    // Binary values by key path, "Software\Talvenor\ZEPH\<identity>\<subkey>...": the form the
    // protected registry value uses. Nothing outside that tree exists here.
    static QString KeyRoot(); // "Software\Talvenor\ZEPH"
    static QString KeyPathOf(const QString& identity, const QString& subkey);
    // True when the key path lies inside an identity's tree.
    static bool OpenKey(const QString& keyPath);
    static bool WriteBinary(const QString& keyPath, const QString& valueName, const QByteArray& value);
    // False when the value is missing or not binary.
    static bool ReadBinary(const QString& keyPath, const QString& valueName, QByteArray* value);
    static bool DeleteValue(const QString& keyPath, const QString& valueName);
};
