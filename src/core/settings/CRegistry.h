#pragma once

#include <QString>
#include <QStringList>

// The per-identity "registry": a few values that live outside the data file (toolbar layouts,
// recent files, the bar state). They are kept in one small settings file per identity,
// <app-data folder>/registry/<identity case-folded>.ini, which goes away with the identity.
class CRegistry
{
public:
    // The file of the running identity; tests may point it elsewhere.
    static QString FilePath();
    static QString FilePathFor(const QString& identity);
    static void SetFilePathOverride(const QString& path);

    static QString GetString(const QString& section, const QString& key, const QString& defaultValue = QString());
    // False when the file could not be written.
    static bool SetString(const QString& section, const QString& key, const QString& value);
    static QStringList GetList(const QString& section, const QString& key);
    static bool SetList(const QString& section, const QString& key, const QStringList& values);
    static bool Remove(const QString& section, const QString& key);
    // Deletes the whole file of an identity.
    static bool DeleteIdentity(const QString& identity);
};
