#include "core/recipes/ResponseFile.h"

#include "core/common/AtomicFile.h"
#include "core/common/Prompt.h"
#include "core/common/TextFileCodec.h"
#include "core/recipes/CRecipeDefinition.h"

#include <QFile>
#include <QFileInfo>
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

bool ConfirmForUse(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        Prompt::Tell(
            QStringLiteral(
                "The specifed filename does not exist. Please enter a valid filename in the edit box or "
                "hit \"Create...\" to create a reply message."),
            QStringLiteral("Enter filename"), Prompt::Information);
        return false;
    }
    const QString localName
        = path.mid(qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1);
    const QString remoteName = QString::fromUtf8(CRecipeDefinition::MakeResponseRemoteName(path.toUtf8()));
    if (remoteName != localName
        && Prompt::Ask(
               QStringLiteral(
                   "The local reply file, \"%1\", will be named \"%2\" on the remote machine.  Almost all "
                   "characters are valid for Unix filenames but to avoid potential problems ZEPH "
                   "replaces some characters with an underscore.  If you would like to change the local "
                   "filename (and in turn the remote name) select 'No'.  To continue select "
                   "'Yes'.\n\nOkay to name remote reponse file %2?")
                   .arg(localName, remoteName),
               QStringLiteral("File name okay?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
               Prompt::Yes)
            != Prompt::Yes)
        return false;
    if (!HasLongLines(path))
        return true;
    const Prompt::Button answer = Prompt::Ask(
        QStringLiteral(
            "Your response file, %1, contains long lines.  To have ZEPH insert a hard line wrap (on "
            "or about every %2 characters) hit 'Yes'.  Adding line wraps makes it easier for the "
            "recipient of your reply to read your message.  If you select 'Yes', the response file "
            "will be modified.\n\n Okay to insert hard line wrap?")
            .arg(path)
            .arg(WrapWidth),
        QStringLiteral("Long lines"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
        Prompt::No);
    if (answer == Prompt::Cancel)
        return false;
    QString error;
    if (answer == Prompt::Yes && !WrapFile(path, &error)) {
        Prompt::Tell(QStringLiteral("The line wrap could not be inserted.\n\n%1").arg(error),
            QStringLiteral("File error"), Prompt::Warning);
        return false;
    }
    return true;
}

} // namespace ResponseFile
