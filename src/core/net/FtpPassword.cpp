#include "core/net/FtpPassword.h"

#include "core/net/SavedPassword.h"

namespace FtpPassword {

QString Load()
{
    return SavedPassword::Ftp().Load();
}

bool Save(const QString& password, QString* error)
{
    return SavedPassword::Ftp().Save(password, error);
}

void Delete()
{
    SavedPassword::Ftp().Delete();
}

} // namespace FtpPassword
