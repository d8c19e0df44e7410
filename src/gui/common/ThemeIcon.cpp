#include "gui/common/ThemeIcon.h"

#include <QFile>

QIcon ThemeIcon(const QString& name)
{
    QIcon bundled;
    for (const QLatin1String size : { QLatin1String("16x16"), QLatin1String("32x32") }) {
        const QString path = QStringLiteral(":/icons/%1/%2.png").arg(size, name);
        if (QFile::exists(path))
            bundled.addFile(path);
    }
    return QIcon::fromTheme(name, bundled);
}
