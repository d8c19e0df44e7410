#include "core/settings/Profile.h"

#include "core/settings/CAppState.h"
#include "core/settings/CUserData.h"

CUserData& CurrentUserData()
{
    return CAppState::Instance().UserData();
}

int GetProfileInt(const QString& section, const QString& key, int defaultValue)
{
    return CurrentUserData().GetInt(section, key, defaultValue);
}

bool WriteProfileInt(const QString& section, const QString& key, int value)
{
    return CurrentUserData().SetInt(section, key, value);
}

QString GetProfileString(const QString& section, const QString& key, const QString& defaultValue)
{
    return CurrentUserData().GetString(section, key, defaultValue);
}

bool WriteProfileString(const QString& section, const QString& key, const QString& value)
{
    if (value.isNull()) {
        CurrentUserData().DeleteKey(section, key);
        return true;
    }
    return CurrentUserData().SetString(section, key, value);
}

int GetSetting(const SettingKey& s)
{
    return GetProfileInt(
        QLatin1String(s.section), QLatin1String(s.key), CUserData::LeadingInt(QLatin1String(s.defaultValue)));
}

QString GetSettingString(const SettingKey& s)
{
    return GetProfileString(QLatin1String(s.section), QLatin1String(s.key), QLatin1String(s.defaultValue));
}

QDateTime GetSettingTime(const SettingKey& s)
{
    QDateTime time;
    if (!CurrentUserData().GetTime(QLatin1String(s.section), QLatin1String(s.key), &time))
        CUserData::ParseTime(QLatin1String(s.defaultValue), &time);
    return time;
}

bool SetSetting(const SettingKey& s, int value)
{
    return WriteProfileInt(QLatin1String(s.section), QLatin1String(s.key), value);
}

bool SetSetting(const SettingKey& s, const QString& value)
{
    return WriteProfileString(QLatin1String(s.section), QLatin1String(s.key), value);
}

bool SetSettingTime(const SettingKey& s, const QDateTime& time)
{
    return CurrentUserData().SetTime(QLatin1String(s.section), QLatin1String(s.key), time);
}
