#pragma once

#include <QString>

// The check before a file goes to the host: a line that ends in a backslash followed by blanks
// is refused, because procmail then joins it with the next line in a way the user does not see.
// True when the upload may go on; otherwise the user was told why not.
bool CheckUploadWhitespace(const QString& localPath);
