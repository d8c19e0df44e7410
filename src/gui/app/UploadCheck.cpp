#include "gui/app/UploadCheck.h"

#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"

bool CheckUploadWhitespace(const QString& localPath)
{
    long line = 0;
    QString error;
    if (!FindBackslashSpaceLine(localPath, &line, &error)) {
        Prompt::Tell(QStringLiteral("The file %1 could not be read: %2").arg(localPath, error),
            QStringLiteral("Upload"), Prompt::Stop);
        return false;
    }
    if (line == 0)
        return true;
    Prompt::Tell(
        QStringLiteral("Line %1 in %2 ends with a '\\' character followed by one or more space or tab "
                       "characters.  Please check it and remove the whitespace character(s), that can "
                       "create unexpected problems.\n\nIf you don't want to see this warning anymore and "
                       "have the files uploaded as they are, select 'Options' from the 'Tools' menu, then "
                       "the 'Misc.' tab.  Uncheck 'Warn about lines ending with a backslash and "
                       "whitespace'.")
            .arg(line)
            .arg(localPath),
        QStringLiteral("Whitespace at end of line!"), Prompt::Warning);
    return false;
}
