#include "core/net/FtpPassword.h"

#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/CRegistryCipher.h"
#include "core/settings/ProtectedKeys.h"

namespace {

// "HKEY_CURRENT_USER\Software\Talvenor\ZEPH\<identity>\Settings\Password"
QString valuePath()
{
    return QStringLiteral("HKEY_CURRENT_USER\\")
        + CRegistry::KeyPathOf(CAppState::Instance().IdentityName(), QStringLiteral("Settings"))
        + QStringLiteral("\\Password");
}

} // namespace

namespace FtpPassword {

QString Load()
{
    CRegistryCipher cipher;
    QByteArray text;
    if (!cipher.SetKey(PasswordKey()) || !cipher.ReadValue(&text, valuePath()))
        return QString();
    return QString::fromUtf8(text);
}

bool Save(const QString& password, QString* error)
{
    CRegistryCipher cipher;
    if (cipher.SetKey(PasswordKey()) && cipher.WriteValue(password.toUtf8(), valuePath()))
        return true;
    if (error)
        *error = cipher.GetErrorText();
    return false;
}

void Delete()
{
    CRegistryCipher cipher;
    cipher.DeleteValue(valuePath());
}

} // namespace FtpPassword
