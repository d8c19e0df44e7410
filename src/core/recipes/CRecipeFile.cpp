#include "core/recipes/CRecipeFile.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

const QByteArray CRecipeFile::BeginMarker("##_ZEPH_RECIPE_BEGIN_##");
const QByteArray CRecipeFile::EndMarker("##_ZEPH_RECIPE_END_##");
const QByteArray CRecipeFile::CommentMarker("##_ZEPH_COMMENT_##");
const QByteArray CRecipeFile::DescriptionPrefix("#  ");

namespace {

const QString Caption = QStringLiteral("ZEPH");

QString FileError(const QString& path, const QString& what, const QString& reason)
{
    return QStringLiteral("An error occurred while %1 %2.\n\n%3").arg(what, path, reason);
}

// A line equal to `marker` + `name`, letter case ignored.
bool IsMarkerLine(const QByteArray& line, const QByteArray& marker, const QByteArray& name)
{
    if (line.size() != marker.size() + name.size())
        return false;
    return qstrnicmp(line.constData(), marker.constData(), marker.size()) == 0
        && qstrnicmp(line.constData() + marker.size(), name.constData(), name.size()) == 0;
}

// Reads the whole file; on failure `content` holds the reason.
bool ReadWhole(const QString& path, QByteArray* content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *content = file.errorString().toUtf8();
        return false;
    }
    *content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *content = file.errorString().toUtf8();
        return false;
    }
    return true;
}

// Calls `visit` with every line without its line feed; a last line without one counts too.
template<typename Visit>
void ForEachLine(const QByteArray& content, Visit visit)
{
    const char* data = content.constData();
    const qsizetype size = content.size();
    qsizetype pos = 0;
    while (pos < size) {
        const char* lf = static_cast<const char*>(std::memchr(data + pos, '\n', static_cast<size_t>(size - pos)));
        const qsizetype end = lf ? lf - data : size;
        visit(data + pos, end - pos);
        pos = end + 1;
    }
}

// The position of `needle` in `haystack` at or after `from`, or -1; memmem needs no table per call.
qsizetype Find(const QByteArray& haystack, const QByteArray& needle, qsizetype from)
{
    if (from < 0 || from > haystack.size())
        return -1;
    const void* hit = memmem(haystack.constData() + from, static_cast<size_t>(haystack.size() - from),
                             needle.constData(), static_cast<size_t>(needle.size()));
    return hit ? static_cast<const char*>(hit) - haystack.constData() : -1;
}

QByteArray WithoutCarriageReturns(QByteArray line)
{
    if (line.contains('\r'))
        line.replace('\r', QByteArray());
    return line;
}

} // namespace

CRecipeFile::CRecipeFile(const QString& path)
    : m_path(path)
{
}

bool CRecipeFile::Fail(const QString& text)
{
    m_lastError = text;
    Prompt::Tell(text, Caption, Prompt::Warning);
    return false;
}

CRecipeFile::LocateResult CRecipeFile::Locate(const QByteArray& name, int* beginLine, int* endLine)
{
    m_lastError.clear();
    if (!QFileInfo(m_path).exists())
        return LocateNotFound;
    QByteArray content;
    if (!ReadWhole(m_path, &content)) {
        Fail(FileError(m_path, QStringLiteral("reading"), QString::fromUtf8(content)));
        return LocateError;
    }
    int b = 0, e = 0, nb = 0, ne = 0;
    int number = 0;
    const qsizetype beginLength = BeginMarker.size() + name.size();
    const qsizetype endLength = EndMarker.size() + name.size();
    ForEachLine(content, [&](const char* line, qsizetype length) {
        ++number;
        // Only a line of the right length that starts with "##" can be a marker line.
        if (length < 2 || line[0] != '#' || line[1] != '#')
            return;
        if (memchr(line, '\r', static_cast<size_t>(length))) {
            const QByteArray text = WithoutCarriageReturns(QByteArray(line, length));
            if (IsMarkerLine(text, BeginMarker, name)) {
                b = number;
                ++nb;
            } else if (IsMarkerLine(text, EndMarker, name)) {
                e = number;
                ++ne;
            }
            return;
        }
        if (length == beginLength && qstrnicmp(line, BeginMarker.constData(), BeginMarker.size()) == 0
            && qstrnicmp(line + BeginMarker.size(), name.constData(), name.size()) == 0) {
            b = number;
            ++nb;
        } else if (length == endLength && qstrnicmp(line, EndMarker.constData(), EndMarker.size()) == 0
                   && qstrnicmp(line + EndMarker.size(), name.constData(), name.size()) == 0) {
            e = number;
            ++ne;
        }
    });
    const QString n = QString::fromUtf8(name);
    const QString p = m_path;
    QString message;
    if (nb == 0 && ne == 0)
        return LocateNotFound;
    if (nb == 0) {
        message = QStringLiteral("The begining marker for the recipe \"%1\" was not found, however the end marker was "
                                 "found.  It's likely someone has manually edited the %2 file.  You should edit the "
                                 "file manually to adjust the recipe \"%3\" so it has both a begin and end marker.  "
                                 "ZEPH cannot determine where the recipe begins.");
    } else if (ne == 0) {
        message = QStringLiteral("The end marker for the recipe \"%1\" was not found, however the beginning marker was "
                                 "found.  It's likely someone has manually edited the %2 file.  You should edit the "
                                 "file manually to adjust the recipe \"%3\" so it has both a begin and end marker.  "
                                 "ZEPH cannot determine where the recipe ends.");
    } else if (nb >= 2) {
        message = QStringLiteral("The begining marker for the recipe \"%1\" was found more than once.  It's likely "
                                 "someone has manually edited the %2 file.  You should edit the file manually to "
                                 "adjust the recipe \"%3\".  ZEPH cannot determine where the recipe begins.");
    } else if (ne >= 2) {
        message = QStringLiteral("The end marker for the recipe \"%1\" was found more than once.  It's likely someone "
                                 "has manually edited the %2 file.  You should edit the file manually to adjust the "
                                 "recipe \"%3\".  ZEPH cannot determine where the recipe ends.");
    } else if (e < b) {
        message = QStringLiteral("The end marker for the recipe \"%1\" was found before the beginning marker was "
                                 "found.  It's likely someone has manually edited the %2 file.  You should edit the "
                                 "file manually to adjust the recipe \"%3\".  ZEPH cannot determine where the recipe "
                                 "begins and ends.");
    } else {
        *beginLine = b;
        *endLine = e;
        return LocateFound;
    }
    // One pass, so that a name holding "%2" stays as it is.
    const QString filled = message.arg(n, p, n);
    m_lastError = filled;
    Prompt::Tell(filled, Caption, Prompt::Warning);
    return LocateError;
}

bool CRecipeFile::RewriteLines(int beginLine, int endLine, const QByteArray& replacement)
{
    QByteArray content;
    if (!ReadWhole(m_path, &content))
        return Fail(FileError(m_path, QStringLiteral("reading"), QString::fromUtf8(content)));
    QByteArray out;
    out.reserve(content.size() + replacement.size() + 1);
    int number = 0;
    ForEachLine(content, [&](const char* line, qsizetype length) {
        ++number;
        if (number == beginLine) {
            out += replacement;
        } else if (number < beginLine || number > endLine) {
            for (qsizetype i = 0; i < length; ++i) {
                if (line[i] != '\r')
                    out += line[i];
            }
            out += '\n';
        }
    });
    // The new content goes to a file beside the old one that then replaces it in one step.
    QSaveFile target(m_path);
    if (!target.open(QIODevice::WriteOnly) || target.write(out) != out.size() || !target.commit())
        return Fail(FileError(m_path, QStringLiteral("writing"), target.errorString()));
    return true;
}

bool CRecipeFile::ReplaceRecipe(const QByteArray& name, const QByteArray& block)
{
    int b = 0, e = 0;
    switch (Locate(name, &b, &e)) {
    case LocateFound:
        return RewriteLines(b, e, block);
    case LocateNotFound:
        return AppendRecipe(block);
    default:
        return false;
    }
}

bool CRecipeFile::DeleteRecipe(const QByteArray& name)
{
    int b = 0, e = 0;
    switch (Locate(name, &b, &e)) {
    case LocateFound:
        return RewriteLines(b, e, QByteArray());
    case LocateNotFound:
        return true;
    default:
        return false;
    }
}

bool CRecipeFile::AppendRecipe(const QByteArray& block)
{
    m_lastError.clear();
    // Appending in place could leave half a block after a failed write; the whole file is
    // written anew and renamed over the old one instead.
    QByteArray content;
    if (QFileInfo(m_path).exists()) {
        QFile source(m_path);
        if (!source.open(QIODevice::ReadOnly))
            return Fail(FileError(m_path, QStringLiteral("reading"), source.errorString()));
        content = source.readAll();
        if (source.error() != QFileDevice::NoError)
            return Fail(FileError(m_path, QStringLiteral("reading"), source.errorString()));
        // The host reads LF line ends only.
        if (content.contains('\r'))
            content.replace("\r\n", "\n");
    }
    QSaveFile target(m_path);
    if (!target.open(QIODevice::WriteOnly) || target.write(content) != content.size()
        || target.write(block) != block.size() || !target.commit())
        return Fail(FileError(m_path, QStringLiteral("writing"), target.errorString()));
    return true;
}

bool CRecipeFile::IsDisabledText(const QByteArray& text)
{
    const qsizetype firstEnd = text.indexOf('\n');
    if (firstEnd < 0)
        return false;
    static const QByteArray commentLine = "\n" + CommentMarker;
    return Find(text, commentLine, firstEnd) >= 0;
}

bool CRecipeFile::ParseRecipeList(const QString& path, QList<CRecipeListEntry>* list,
                                  QList<QByteArray>* unparsedGroups, const Progress& progress, QString* error)
{
    list->clear();
    unparsedGroups->clear();
    if (error)
        error->clear();
    QFile file(path);
    QByteArray text;
    if (!file.open(QIODevice::ReadOnly) || (text = file.readAll(), file.error() != QFileDevice::NoError)) {
        const QString message = FileError(path, QStringLiteral("reading"), file.errorString());
        if (error)
            *error = message;
        Prompt::Tell(message, Caption, Prompt::Warning);
        return false;
    }
    text += '\n';
    if (text.contains('\r'))
        text.replace('\r', QByteArray());

    struct Group
    {
        qsizetype index = -1;
        QByteArray name;
        QByteArray text;
        int lastStep = 0;
    } group;
    auto closeGroup = [&]() {
        if (group.index < 0)
            return;
        group.text += EndMarker + group.name + "\n";
        CRecipeListEntry& entry = (*list)[group.index];
        entry.text = group.text;
        entry.disabled = IsDisabledText(group.text);
        unparsedGroups->append(group.text);
        group = Group();
    };

    const qsizetype size = text.size();
    const char* data = text.constData();
    qsizetype pos = 0;
    int step = 0;
    QByteArray endLine = "\n" + EndMarker; // the name and a line feed follow
    while (pos < size) {
        ++step;
        const char* lf = static_cast<const char*>(std::memchr(data + pos, '\n', static_cast<size_t>(size - pos)));
        const qsizetype lineEnd = lf ? lf - data : size;
        const qsizetype lineLength = lineEnd - pos;
        bool block = false;
        if (lineLength >= BeginMarker.size() && std::memcmp(data + pos, BeginMarker.constData(), BeginMarker.size()) == 0) {
            const QByteArray name = text.mid(pos + BeginMarker.size(), lineLength - BeginMarker.size());
            endLine.resize(1 + EndMarker.size());
            endLine += name;
            endLine += '\n';
            const qsizetype found = Find(text, endLine, lineEnd);
            if (found >= 0) {
                const qsizetype blockEnd = found + endLine.size();
                CRecipeListEntry entry;
                entry.name = name;
                entry.text = text.mid(pos, blockEnd - pos);
                entry.disabled = IsDisabledText(entry.text);
                list->append(entry);
                pos = blockEnd;
                block = true;
            }
        }
        if (!block) {
            const bool follows = group.index >= 0 && step == group.lastStep + 1;
            if (lineLength == 0) {
                if (follows)
                    group.lastStep = step;
            } else if (follows) {
                group.text.append(data + pos, lineLength + 1);
                group.lastStep = step;
            } else {
                closeGroup();
                group.name = MakeGroupName();
                group.text = BeginMarker + group.name + "\n";
                group.text.append(data + pos, lineLength + 1);
                group.lastStep = step;
                group.index = list->size();
                CRecipeListEntry entry;
                entry.name = group.name;
                entry.unparsed = true;
                list->append(entry);
            }
            pos = lineEnd + 1;
        }
        if (step % 16 == 0 && progress) {
            if (!progress(static_cast<int>(qint64(pos) * 100 / size))) {
                list->clear();
                unparsedGroups->clear();
                return false;
            }
        }
    }
    closeGroup();
    if (progress)
        progress(100);
    return true;
}

bool CRecipeFile::WriteRecipeList(const QString& path, const QList<CRecipeListEntry>& list, QString* error)
{
    qsizetype total = 0;
    for (const CRecipeListEntry& entry : list)
        total += entry.text.size() + 1;
    QByteArray out;
    out.reserve(total);
    for (const CRecipeListEntry& entry : list) {
        out += entry.text;
        out += '\n';
    }
    QSaveFile target(path);
    if (target.open(QIODevice::WriteOnly) && target.write(out) == out.size() && target.commit())
        return true;
    const QString message = FileError(path, QStringLiteral("writing"), target.errorString());
    if (error)
        *error = message;
    target.cancelWriting();
    Prompt::Tell(message, Caption, Prompt::Warning);
    return false;
}

QByteArray CRecipeFile::DisableRecipeText(const QByteArray& text, const QByteArray& name)
{
    QByteArray result = text;
    result.replace("\n", "\n" + CommentMarker);
    result.replace(CommentMarker + EndMarker, EndMarker);
    result.replace(EndMarker + name + "\n" + CommentMarker, EndMarker + name + "\n");
    return result;
}

QByteArray CRecipeFile::EnableRecipeText(const QByteArray& text)
{
    QByteArray result = text;
    result.replace("\n" + CommentMarker, "\n");
    return result;
}

QByteArray CRecipeFile::BuildRecipeBlock(const QByteArray& name, const QByteArray& description, const QByteArray& body)
{
    // Every description line must stay a comment, whatever line break it came with.
    QByteArray comment = description;
    comment.replace("\r\n", "\n");
    comment.replace('\r', '\n');
    comment = DescriptionPrefix + comment + "\n";
    comment.replace("\n", "\n" + DescriptionPrefix);
    comment += "\n";
    return "\n" + BeginMarker + name + "\n" + comment + body + EndMarker + name + "\n";
}

QByteArray CRecipeFile::MakeGroupName()
{
    static char letter = 'A';
    static long counter = 1;
    QByteArray name = Clock::Now().toString(QStringLiteral("MMddyyHHmmss")).toLatin1();
    name += QByteArray::number(static_cast<qulonglong>(Clock::TickCount()));
    name += letter;
    name += QByteArray::number(counter);
    letter = letter == 'Z' ? 'A' : static_cast<char>(letter + 1);
    ++counter;
    return name;
}
