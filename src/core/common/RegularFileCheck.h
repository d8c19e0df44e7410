#pragma once

#include <QString>

// Which files may be read whole (a log, a text file): regular files only. Reading a FIFO waits
// for a writer that may never come; a device, or a file of the kernel's proc and sys file
// systems, reports a size that says nothing of what a read gives (a /proc file reports 0 and has
// content). The check looks at the path before anything opens it, because opening a FIFO
// already blocks.
namespace RegularFileCheck {

// True when `path` may be read; `size` (when given) then holds its size in bytes. False with a
// message naming the file and saying how it was to be opened (`purpose`, e.g. "as a log") in
// `error` otherwise. A path that cannot be examined (missing, unreadable folder) passes with size
// 0: opening it then tells why.
bool CanRead(const QString& path, const QString& purpose, QString* error, qint64* size = nullptr);

} // namespace RegularFileCheck
