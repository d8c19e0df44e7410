#include "core/net/SavedPassword.h"

#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/CRegistryCipher.h"
#include "core/settings/ProtectedKeys.h"

SavedPassword SavedPassword::Ftp()
{
    return SavedPassword("Password");
}

SavedPassword SavedPassword::Smtp()
{
    return SavedPassword("Smtp Password");
}

// "HKEY_CURRENT_USER\Software\Talvenor\ZEPH\<identity>\Settings\<value name>"
QString SavedPassword::valuePath() const
{
    return QStringLiteral("HKEY_CURRENT_USER\\")
        + CRegistry::KeyPathOf(CAppState::Instance().IdentityName(), QStringLiteral("Settings"))
        + QLatin1Char('\\') + QLatin1String(m_valueName);
}

QString SavedPassword::Load() const
{
    CRegistryCipher cipher;
    QByteArray text;
    if (!cipher.SetKey(PasswordKey()) || !cipher.ReadValue(&text, valuePath()))
        return QString();
    return QString::fromUtf8(text);
}

bool SavedPassword::Save(const QString& password, QString* error) const
{
    CRegistryCipher cipher;
    if (cipher.SetKey(PasswordKey()) && cipher.WriteValue(password.toUtf8(), valuePath()))
        return true;
    if (error)
        *error = cipher.GetErrorText();
    return false;
}

void SavedPassword::Delete() const
{
    CRegistryCipher cipher;
    cipher.DeleteValue(valuePath());
}
