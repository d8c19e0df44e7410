#include "core/settings/AppDataFolder.h"

#include <QCoreApplication>
#include <QStandardPaths>

QString GetAppDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Without a data location (no HOME at all) the files stay beside the program.
    const QString folder
        = base.isEmpty() ? QCoreApplication::applicationDirPath() : base + QStringLiteral("/ZEPH");
    return folder + QLatin1Char('/');
}
