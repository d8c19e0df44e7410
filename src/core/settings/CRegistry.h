#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// The per-identity values that would live under the user's registry key elsewhere: one settings
// file per identity (name case-folded) in the application-data folder. Key paths take the form
// "Software\Talvenor\ZEPH\<identity>\<subkey>..."; nothing outside that tree exists here.
class CRegistry
{
public:
    static QString KeyRoot(); // "Software\Talvenor\ZEPH"
    static QString KeyPathOf(const QString& identity, const QString& subkey);
    static QString FileForIdentity(const QString& identity);

    // Binary values under a key path; false (with a reason) when the key path is not one of ours
    // or the file cannot be read or written.
    static bool WriteBinary(const QString& keyPath, const QString& valueName, const QByteArray& value);
    // True when the key path lies inside an identity's tree.
    static bool OpenKey(const QString& keyPath);
    // False when the value is missing or not binary.
    static bool ReadBinary(const QString& keyPath, const QString& valueName, QByteArray* value);
    static bool DeleteValue(const QString& keyPath, const QString& valueName);

    // Plain values of one identity (toolbar layout, recent files), by subkey and name.
    static QVariant Value(const QString& identity, const QString& subkey, const QString& name,
                          const QVariant& defaultValue = QVariant());
    static bool SetValue(const QString& identity, const QString& subkey, const QString& name,
                         const QVariant& value);
    static bool RemoveValue(const QString& identity, const QString& subkey, const QString& name);

    // Removes everything stored for the identity.
    static bool DeleteIdentity(const QString& identity);
};
