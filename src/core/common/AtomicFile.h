#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <initializer_list>

// Every local file ZEPH writes is replaced in one step: the new bytes go to a temporary file in
// the same folder, reach the disk, and only then take the old file's place. A failure at any point
// leaves the old file as it was and no temporary file behind; *error then says why (the system's
// text, e.g. "No space left on device").

bool SaveFileAtomically(const QString& path, QByteArrayView bytes, QString* error);
// The parts one after another, so callers need not join them into one buffer first.
bool SaveFileAtomically(const QString& path, std::initializer_list<QByteArrayView> parts, QString* error);

// For content too large to hold: `produce` hands the content piece by piece to `write`, which
// writes all of a piece or returns false. `produce` returns false to abandon the save, with
// *error set when the reason is its own rather than a failed write.
using FileSink = std::function<bool(QByteArrayView piece)>;
using FileProducer = std::function<bool(const FileSink& write, QString* error)>;
bool SaveFileAtomically(const QString& path, const FileProducer& produce, QString* error);

// Copies `source` over `target` in pieces of a few MiB, so memory stays flat whatever its size.
bool CopyFileAtomically(const QString& source, const QString& target, QString* error);
