#include "PeakMemory.h"

#include <QFile>

namespace PeakMemory {

bool Reset()
{
    // "5" resets the peak resident size to the current one.
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    return file.open(QIODevice::WriteOnly) && file.write("5") == 1;
}

qint64 Peak()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.startsWith("VmHWM:"))
            continue;
        const QByteArray kib = line.mid(6).trimmed().split(' ').value(0);
        bool ok = false;
        const qint64 value = kib.toLongLong(&ok);
        return ok ? value * 1024 : -1;
    }
    return -1;
}

} // namespace PeakMemory
