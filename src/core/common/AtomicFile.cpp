#include "core/common/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// A short write (the disk filled up part way) is retried, so the system's reason for the failure
// comes back instead of a silent truncation.
bool writeAll(QIODevice& target, QByteArrayView bytes, QString* error)
{
    while (!bytes.isEmpty()) {
        const qint64 written = target.write(bytes.data(), bytes.size());
        if (written <= 0)
            return fail(error, target.errorString());
        bytes = bytes.sliced(written);
    }
    return true;
}

} // namespace

bool SaveFileAtomically(const QString& path, const FileProducer& produce, QString* error)
{
    QSaveFile file(path);
    // Unbuffered, so every write reports what reached the file: a buffered QSaveFile flushes at
    // commit, and when the disk fills during that flush it still commits the truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    QString writeError;
    const FileSink write
        = [&file, &writeError](QByteArrayView piece) { return writeAll(file, piece, &writeError); };
    QString producerError;
    if (!produce(write, &producerError)) {
        file.cancelWriting();
        return fail(error, !producerError.isEmpty() ? producerError : writeError);
    }
    // QSaveFile flushes, syncs and renames here; after an earlier write error it refuses.
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

bool SaveFileAtomically(const QString& path, std::initializer_list<QByteArrayView> parts, QString* error)
{
    return SaveFileAtomically(
        path,
        [parts](const FileSink& write, QString*) {
            for (QByteArrayView part : parts) {
                if (!write(part))
                    return false;
            }
            return true;
        },
        error);
}

bool SaveFileAtomically(const QString& path, QByteArrayView bytes, QString* error)
{
    return SaveFileAtomically(path, { bytes }, error);
}

bool CopyFileAtomically(const QString& source, const QString& target, QString* error)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return fail(error, input.errorString());
    return SaveFileAtomically(
        target,
        [&input](const FileSink& write, QString* copyError) {
            // One buffer for the whole copy: memory use does not grow with the file.
            QByteArray buffer(4 << 20, Qt::Uninitialized);
            for (;;) {
                const qint64 got = input.read(buffer.data(), buffer.size());
                if (got < 0)
                    return fail(copyError, input.errorString());
                if (got == 0)
                    return true;
                if (!write(QByteArrayView(buffer.constData(), got)))
                    return false;
            }
        },
        error);
}
