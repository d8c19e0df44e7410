#include "core/settings/ProtectedKeys.h"

#include "core/settings/CSha1.h"

#include <QSysInfo>
#include <QtEndian>

namespace {

// These texts only keep the files from being read as plain text; they are not secrets.
const char DataFileText[] = "ZephIdentityStore/v1:Kx7!qP2#mW9z";
const char RecipeTextA[] = "ZephRecipeData:8fJ2#kLq9@Wm4^Rt6&Yp1*Vb3$";
const char RecipeTextB[] = "procmail-recipe-wizard-data";
const char PasswordText[] = "ZephSavedPassword:5Tg#8Lm";
const char PasswordLabel[] = "LNX1";

} // namespace

QByteArray DataFileKey()
{
    return QByteArray(DataFileText);
}

QByteArray RecipeDataKey()
{
    // A copy of the first text whose first 21 characters are the first text's character twelve
    // places on, combined with the second text's character at the same place.
    const QByteArray a(RecipeTextA);
    const QByteArray b(RecipeTextB);
    QByteArray key = a;
    for (int i = 0; i < 21; ++i)
        key[i] = static_cast<char>(a.at(i + 12) ^ b.at(i));
    return key;
}

QByteArray PasswordKey()
{
    const QByteArray machineId = QSysInfo::machineUniqueId();
    if (machineId.isEmpty())
        return QByteArray(PasswordText);
    const QByteArray digest = CSha1::Hash(machineId);
    const qint32 number = qFromLittleEndian<qint32>(digest.constData());
    return QByteArray(PasswordText) + PasswordLabel + QByteArray::number(number);
}
