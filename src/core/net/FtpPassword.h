#pragma once

#include <QString>

// The saved FTP password of the current identity, kept as a protected value.
namespace FtpPassword {

// The saved password, or an empty text when none is saved or it cannot be read.
QString Load();
bool Save(const QString& password, QString* error = nullptr);
void Delete();

} // namespace FtpPassword
