#include "core/recipes/ResponseFile.h"

#include "core/common/AtomicFile.h"
#include "core/common/TextFileCodec.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace ResponseFile {

namespace {

    // A reply letter; anything larger is not a letter and is left alone.
    constexpr qint64 MaxSize = 16 * 1024 * 1024;

    bool ReadText(const QString& path, TextFileCodec* codec, QString* text, QString* error)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
            return false;
        }
        if (file.size() > MaxSize) {
            *error
                = QStringLiteral("The file %1 is larger than %2 MiB.").arg(path).arg(MaxSize / (1024 * 1024));
            return false;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            *error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
            return false;
        }
        *text = codec->Decode(bytes);
        return true;
    }

    QStringList Lines(const QString& text)
    {
        QStringList lines = text.split(QLatin1Char('\n'));
        if (text.endsWith(QLatin1Char('\n')) || text.isEmpty())
            lines.removeLast();
        return lines;
    }

} // namespace

bool HasLongLines(const QString& path, int limit)
{
    TextFileCodec codec;
    QString text;
    QString error;
    if (!ReadText(path, &codec, &text, &error))
        return false;
    const QStringList lines = Lines(text);
    return std::any_of(
        lines.begin(), lines.end(), [limit](const QString& line) { return line.size() > limit; });
}

QString Wrap(const QString& text, int width)
{
    QString wrapped;
    wrapped.reserve(text.size() + text.size() / width + 1);
    for (QString line : Lines(text)) {
        while (line.size() > width) {
            const qsizetype blank = line.lastIndexOf(QLatin1Char(' '), width - 1);
            if (blank >= 0) {
                wrapped += QStringView(line).left(blank);
                line.remove(0, blank + 1);
            } else {
                wrapped += QStringView(line).left(width);
                line.remove(0, width);
            }
            wrapped += QLatin1Char('\n');
        }
        wrapped += line;
        wrapped += QLatin1Char('\n');
    }
    return wrapped;
}

bool WrapFile(const QString& path, QString* error, int width)
{
    TextFileCodec codec;
    QString text;
    if (!ReadText(path, &codec, &text, error))
        return false;
    return SaveFileAtomically(path, codec.Encode(Wrap(text, width), false), error);
}

} // namespace ResponseFile
