#pragma once

#include "core/settings/SettingsTable.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class CUserData;

// The settings of the identity this instance serves, in memory. Nothing is written to disk when a
// setting changes; CAppState saves the record at exit and at a few other points.
CUserData& CurrentUserData();

int GetProfileInt(const QString& section, const QString& key, int defaultValue);
bool WriteProfileInt(const QString& section, const QString& key, int value);
QString GetProfileString(const QString& section, const QString& key, const QString& defaultValue);
// A null value (QString()) deletes the key; an empty one stores the empty text.
bool WriteProfileString(const QString& section, const QString& key, const QString& value);

// One setting of the table; a family ("%1" in its key) also needs the argument that fills it in:
// GetSettingString({ Settings::UploadMenuName, QString::number(index) }).
struct SettingRef
{
    SettingRef(Settings::Key key, QString arg = QString())
        : key(key)
        , arg(std::move(arg))
    {
    }
    Settings::Key key;
    QString arg;
};

// The setting through the table, with the table's default when it is absent.
int GetSetting(const SettingRef& setting);
QString GetSettingString(const SettingRef& setting);
// A time setting; its default when absent or invalid.
QDateTime GetSettingTime(const SettingRef& setting);
bool SetSetting(const SettingRef& setting, int value);
bool SetSetting(const SettingRef& setting, const QString& value);
bool SetSettingTime(const SettingRef& setting, const QDateTime& time);
bool DeleteSetting(const SettingRef& setting);
// Array settings; an absent array reads as empty.
QList<qint32> GetSettingIntArray(Settings::Key array);
bool SetSettingIntArray(Settings::Key array, const QList<qint32>& values);
QStringList GetSettingStringArray(Settings::Key array);
bool SetSettingStringArray(Settings::Key array, const QStringList& values);
