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

namespace {

QString sectionOf(const SettingRef& s)
{
    return SettingSection(s.key);
}

QString keyOf(const SettingRef& s)
{
    return SettingName(s.key, s.arg);
}

QString defaultOf(const SettingRef& s)
{
    return QLatin1String(SettingRow(s.key).defaultValue);
}

} // namespace

int GetSetting(const SettingRef& s)
{
    Q_ASSERT(SettingRow(s.key).type == SettingType::Int);
    return GetProfileInt(sectionOf(s), keyOf(s), CUserData::LeadingInt(defaultOf(s)));
}

QString GetSettingString(const SettingRef& s)
{
    Q_ASSERT(SettingRow(s.key).type == SettingType::String);
    return GetProfileString(sectionOf(s), keyOf(s), defaultOf(s));
}

QDateTime GetSettingTime(const SettingRef& s)
{
    Q_ASSERT(SettingRow(s.key).type == SettingType::Time);
    QDateTime time;
    if (!CurrentUserData().GetTime(sectionOf(s), keyOf(s), &time))
        CUserData::ParseTime(defaultOf(s), &time);
    return time;
}

bool SetSetting(const SettingRef& s, int value)
{
    Q_ASSERT(SettingRow(s.key).type == SettingType::Int);
    return WriteProfileInt(sectionOf(s), keyOf(s), value);
}

bool SetSetting(const SettingRef& s, const QString& value)
{
    Q_ASSERT(SettingRow(s.key).type == SettingType::String);
    return WriteProfileString(sectionOf(s), keyOf(s), value);
}

bool SetSettingTime(const SettingRef& s, const QDateTime& time)
{
    Q_ASSERT(SettingRow(s.key).type == SettingType::Time);
    return CurrentUserData().SetTime(sectionOf(s), keyOf(s), time);
}

bool DeleteSetting(const SettingRef& s)
{
    return CurrentUserData().DeleteKey(sectionOf(s), keyOf(s));
}

QList<qint32> GetSettingIntArray(Settings::Key array)
{
    Q_ASSERT(SettingRow(array).type == SettingType::IntArray);
    QList<qint32> values;
    CurrentUserData().GetIntArray(SettingName(array), &values);
    return values;
}

bool SetSettingIntArray(Settings::Key array, const QList<qint32>& values)
{
    Q_ASSERT(SettingRow(array).type == SettingType::IntArray);
    return CurrentUserData().SetIntArray(SettingName(array), values);
}

QStringList GetSettingStringArray(Settings::Key array)
{
    Q_ASSERT(SettingRow(array).type == SettingType::StringArray);
    QStringList values;
    CurrentUserData().GetStringArray(SettingName(array), &values);
    return values;
}

bool SetSettingStringArray(Settings::Key array, const QStringList& values)
{
    Q_ASSERT(SettingRow(array).type == SettingType::StringArray);
    return CurrentUserData().SetStringArray(SettingName(array), values);
}
