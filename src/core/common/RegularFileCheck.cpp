#include "core/common/RegularFileCheck.h"

#include <QFile>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace {

// The kernel's file systems whose files are not data on a disk.
const char* VirtualFileSystem(decltype(statfs::f_type) type)
{
    struct Known
    {
        decltype(statfs::f_type) type;
        const char* name;
    };
    static const Known known[] = {
        { PROC_SUPER_MAGIC, "proc" },
        { SYSFS_MAGIC, "sys" },
        { DEBUGFS_MAGIC, "debug" },
        { TRACEFS_MAGIC, "trace" },
        { SECURITYFS_MAGIC, "security" },
        { CGROUP_SUPER_MAGIC, "cgroup" },
        { CGROUP2_SUPER_MAGIC, "cgroup2" },
        { BPF_FS_MAGIC, "bpf" },
        { PSTOREFS_MAGIC, "pstore" },
        { EFIVARFS_MAGIC, "efivar" },
    };
    for (const Known& system : known) {
        if (system.type == type)
            return system.name;
    }
    return nullptr;
}

} // namespace

bool RegularFileCheck::CanRead(const QString& path, const QString& purpose, QString* error, qint64* size)
{
    if (size)
        *size = 0;
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0)
        return true;
    QString kind;
    if (S_ISDIR(status.st_mode)) {
        kind = QStringLiteral("a folder");
    } else if (S_ISFIFO(status.st_mode)) {
        kind = QStringLiteral("a named pipe (FIFO)");
    } else if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
        kind = QStringLiteral("a device");
    } else if (S_ISSOCK(status.st_mode)) {
        kind = QStringLiteral("a socket");
    } else if (!S_ISREG(status.st_mode)) {
        kind = QStringLiteral("a special file");
    } else {
        struct statfs system = {};
        const char* virtualName
            = ::statfs(name.constData(), &system) == 0 ? VirtualFileSystem(system.f_type) : nullptr;
        if (virtualName)
            kind = QStringLiteral("a file of the kernel's %1 file system").arg(QLatin1String(virtualName));
    }
    if (!kind.isEmpty()) {
        *error = QStringLiteral("%1 is %2, not a regular file.  Only a regular file can be opened %3.")
                     .arg(path, kind, purpose);
        return false;
    }
    if (size)
        *size = static_cast<qint64>(status.st_size);
    return true;
}
