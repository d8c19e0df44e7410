#pragma once

#include "core/settings/SettingsTable.h"

#include <QDateTime>
#include <QString>

class CUserData;

// The settings of the identity this instance serves, in memory. Nothing is written to disk when a
// setting changes; CAppState saves the record at exit and at a few other points.
CUserData& CurrentUserData();

int GetProfileInt(const QString& section, const QString& key, int defaultValue);
bool WriteProfileInt(const QString& section, const QString& key, int value);
QString GetProfileString(const QString& section, const QString& key, const QString& defaultValue);
// A null value (QString()) deletes the key; an empty one stores the empty text.
bool WriteProfileString(const QString& section, const QString& key, const QString& value);

// The same through the settings table, with the table's default.
int GetSetting(const SettingKey& setting);
QString GetSettingString(const SettingKey& setting);
// A time setting; its default when absent or invalid.
QDateTime GetSettingTime(const SettingKey& setting);
bool SetSetting(const SettingKey& setting, int value);
bool SetSetting(const SettingKey& setting, const QString& value);
bool SetSettingTime(const SettingKey& setting, const QDateTime& time);
