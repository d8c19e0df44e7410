#include "core/recipes/CRecipeFile.h"

#include "core/common/AtomicFile.h"
#include "core/common/Clock.h"
#include "core/common/Prompt.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

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
template <typename Visit> void ForEachLine(const QByteArray& content, Visit visit)
{
    const char* data = content.constData();
    const qsizetype size = content.size();
    qsizetype pos = 0;
    while (pos < size) {
        const char* lf
            = static_cast<const char*>(std::memchr(data + pos, '\n', static_cast<size_t>(size - pos)));
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

// Every line end becomes one line feed: CR LF, LF, and a lone CR as old Mac files have it (which
// would otherwise join two lines). A run of CRs before a LF is one line end, as a file that went
// through two text-mode conversions has it. A text without CR is not touched (and not copied).
void ToLineFeeds(QByteArray* text)
{
    const char* first
        = static_cast<const char*>(std::memchr(text->constData(), '\r', static_cast<size_t>(text->size())));
    if (!first)
        return;
    qsizetype out = first - text->constData();
    char* data = text->data(); // may detach: only offsets are carried over
    const qsizetype size = text->size();
    for (qsizetype in = out; in < size;) {
        if (data[in] == '\r') {
            qsizetype after = in;
            while (after < size && data[after] == '\r')
                ++after;
            if (after < size && data[after] == '\n') {
                data[out++] = '\n';
                in = after + 1;
            } else {
                for (; in < after; ++in)
                    data[out++] = '\n';
            }
            continue;
        }
        const char* cr
            = static_cast<const char*>(std::memchr(data + in, '\r', static_cast<size_t>(size - in)));
        const qsizetype end = cr ? cr - data : size;
        std::memmove(data + out, data + in, static_cast<size_t>(end - in));
        out += end - in;
        in = end;
    }
    text->truncate(out);
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
    ToLineFeeds(&content);
    int b = 0, e = 0, nb = 0, ne = 0;
    int number = 0;
    const qsizetype beginLength = BeginMarker.size() + name.size();
    const qsizetype endLength = EndMarker.size() + name.size();
    ForEachLine(content, [&](const char* line, qsizetype length) {
        ++number;
        // Only a line of the right length that starts with "##" can be a marker line.
        if (length < 2 || line[0] != '#' || line[1] != '#')
            return;
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
        message = QStringLiteral(
            "The begining marker for the recipe \"%1\" was not found, however the end marker was "
            "found.  It's likely someone has manually edited the %2 file.  You should edit the "
            "file manually to adjust the recipe \"%3\" so it has both a begin and end marker.  "
            "ZEPH cannot determine where the recipe begins.");
    } else if (ne == 0) {
        message = QStringLiteral(
            "The end marker for the recipe \"%1\" was not found, however the beginning marker was "
            "found.  It's likely someone has manually edited the %2 file.  You should edit the "
            "file manually to adjust the recipe \"%3\" so it has both a begin and end marker.  "
            "ZEPH cannot determine where the recipe ends.");
    } else if (nb >= 2) {
        message = QStringLiteral(
            "The begining marker for the recipe \"%1\" was found more than once.  It's likely "
            "someone has manually edited the %2 file.  You should edit the file manually to "
            "adjust the recipe \"%3\".  ZEPH cannot determine where the recipe begins.");
    } else if (ne >= 2) {
        message = QStringLiteral(
            "The end marker for the recipe \"%1\" was found more than once.  It's likely someone "
            "has manually edited the %2 file.  You should edit the file manually to adjust the "
            "recipe \"%3\".  ZEPH cannot determine where the recipe ends.");
    } else if (e < b) {
        message = QStringLiteral(
            "The end marker for the recipe \"%1\" was found before the beginning marker was "
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
    ToLineFeeds(&content);
    QByteArray out;
    out.reserve(content.size() + replacement.size() + 1);
    int number = 0;
    ForEachLine(content, [&](const char* line, qsizetype length) {
        ++number;
        if (number == beginLine) {
            out += replacement;
        } else if (number < beginLine || number > endLine) {
            out.append(line, length);
            out += '\n';
        }
    });
    // The new content goes to a file beside the old one that then replaces it in one step.
    QString error;
    if (!SaveFileAtomically(m_path, out, &error))
        return Fail(FileError(m_path, QStringLiteral("writing"), error));
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
        ToLineFeeds(&content);
    }
    QString error;
    if (!SaveFileAtomically(m_path, { content, block }, &error))
        return Fail(FileError(m_path, QStringLiteral("writing"), error));
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

namespace {

// One walk over the recipe text, shared by the list parser and the recipe-name reader. A step is
// one whole block or one outside line. Only lines that begin with "#" are compared with the begin
// marker; a block runs from its begin line to the first line after it that is the end marker with
// the same name. The text has LF line ends; a last line without one counts as ended. The walk
// takes time in proportion to the text, whatever it holds (see FindEndLine).
class RecipeTextWalk
{
public:
    struct Step
    {
        int number = 0;
        qsizetype begin = 0; // first byte of the step
        qsizetype end = 0; // after the step's last line feed (or the end of the text)
        bool block = false;
        qsizetype nameBegin = 0; // block: the name after the begin marker
        qsizetype nameLength = 0;
        bool disabled = false; // block: an inner line begins with the comment marker
    };

    explicit RecipeTextWalk(const QByteArray& text)
        : m_data(text.constData())
        , m_size(text.size())
    {
    }

    // False at the end of the text.
    bool Next(Step* step)
    {
        if (m_pos >= m_size)
            return false;
        step->number = ++m_step;
        step->begin = m_pos;
        const qsizetype lineEnd = LineEnd(m_pos);
        const qsizetype markerSize = CRecipeFile::BeginMarker.size();
        step->block = false;
        if (lineEnd - m_pos >= markerSize && m_data[m_pos] == '#'
            && std::memcmp(
                   m_data + m_pos, CRecipeFile::BeginMarker.constData(), static_cast<size_t>(markerSize))
                == 0) {
            const qsizetype nameBegin = m_pos + markerSize;
            const qsizetype nameLength = lineEnd - nameBegin;
            bool disabled = false;
            const qsizetype blockEnd = FindEndLine(lineEnd, nameBegin, nameLength, &disabled);
            if (blockEnd >= 0) {
                step->block = true;
                step->disabled = disabled;
                step->nameBegin = nameBegin;
                step->nameLength = nameLength;
                step->end = blockEnd;
                m_pos = blockEnd;
                return true;
            }
        }
        step->end = lineEnd < m_size ? lineEnd + 1 : m_size;
        m_pos = step->end;
        return true;
    }

    qsizetype Position() const { return m_pos; }

private:
    qsizetype LineEnd(qsizetype from) const
    {
        const void* lf = std::memchr(m_data + from, '\n', static_cast<size_t>(m_size - from));
        return lf ? static_cast<const char*>(lf) - m_data : m_size;
    }

    // The end of the line "\n" END name "\n" that follows `from` (the begin line's line feed), or
    // -1. The end line may also be the last line without a line feed. While every begin line so
    // far had its end line, a forward search finds it; the walk then skips the block, so no text
    // is searched twice. A search that finds none has run to the end of the text: searching
    // again for every later begin line would make a damaged file of many such lines take
    // quadratic time, so the end and comment lines after it are listed once and looked up.
    qsizetype FindEndLine(qsizetype from, qsizetype nameBegin, qsizetype nameLength, bool* disabled)
    {
        if (m_listed)
            return LookUpEndLine(from, nameBegin, nameLength, disabled);
        const qsizetype end = SearchEndLine(from, nameBegin, nameLength, disabled);
        if (end < 0) {
            ListMarkerLines(from);
            m_listed = true;
        }
        return end;
    }

    // End and comment markers share their first characters, so one search finds the end line and
    // tells whether an inner line is commented out on the way.
    struct MarkerParts
    {
        QByteArray shared = QByteArrayLiteral("\n##_ZEPH_");
        QByteArray endRest = CRecipeFile::EndMarker.mid(shared.size() - 1);
        QByteArray commentRest = CRecipeFile::CommentMarker.mid(shared.size() - 1);
        MarkerParts()
        {
            Q_ASSERT(CRecipeFile::EndMarker.startsWith(shared.mid(1))
                && CRecipeFile::CommentMarker.startsWith(shared.mid(1)));
        }
    };
    static const MarkerParts& Parts()
    {
        static const MarkerParts parts;
        return parts;
    }
    // The next "\n##_ZEPH_" at or after `at`: the position of its line feed, or -1. memmem looks
    // through one window at a time, overlapping by the needle: sanitizer builds check the whole
    // haystack at every call, which made a text of marker lines take quadratic time there.
    qsizetype NextMarkerLine(qsizetype at) const
    {
        constexpr qsizetype window = 16 * 1024;
        const QByteArray& shared = Parts().shared;
        for (; at < m_size; at += window) {
            const qsizetype length = qMin(window + shared.size() - 1, m_size - at);
            const void* hit = memmem(m_data + at, static_cast<size_t>(length), shared.constData(),
                static_cast<size_t>(shared.size()));
            if (hit)
                return static_cast<const char*>(hit) - m_data;
        }
        return -1;
    }
    bool RestIs(qsizetype rest, const QByteArray& what) const
    {
        return m_size - rest >= what.size()
            && std::memcmp(m_data + rest, what.constData(), static_cast<size_t>(what.size())) == 0;
    }

    qsizetype SearchEndLine(qsizetype from, qsizetype nameBegin, qsizetype nameLength, bool* disabled) const
    {
        const QByteArray& endRest = Parts().endRest;
        const char* name = m_data + nameBegin;
        for (qsizetype at = from; at < m_size;) {
            const qsizetype lineFeed = NextMarkerLine(at);
            if (lineFeed < 0)
                return -1;
            const qsizetype rest = lineFeed + Parts().shared.size();
            if (RestIs(rest, endRest) && m_size - rest - endRest.size() >= nameLength
                && std::memcmp(m_data + rest + endRest.size(), name, static_cast<size_t>(nameLength)) == 0) {
                const qsizetype after = rest + endRest.size() + nameLength;
                if (after == m_size)
                    return m_size;
                if (m_data[after] == '\n')
                    return after + 1;
            } else if (RestIs(rest, Parts().commentRest)) {
                *disabled = true;
            }
            at = rest;
        }
        return -1;
    }

    // Every line after `from` that begins with the end marker joins the chain of its name (the
    // rest of the line), every one that begins with the comment marker the comment list; both in
    // text order, each by the position of the line feed before it.
    void ListMarkerLines(qsizetype from)
    {
        for (qsizetype at = from; at < m_size;) {
            const qsizetype lineFeed = NextMarkerLine(at);
            if (lineFeed < 0)
                return;
            const qsizetype rest = lineFeed + Parts().shared.size();
            at = rest;
            if (RestIs(rest, Parts().endRest)) {
                const qsizetype nameBegin = rest + Parts().endRest.size();
                at = LineEnd(nameBegin);
                const qsizetype index = static_cast<qsizetype>(m_endLines.size());
                m_endLines.push_back({ lineFeed, -1 });
                const auto [chain, added] = m_chains.try_emplace(
                    std::string_view(m_data + nameBegin, static_cast<size_t>(at - nameBegin)));
                if (added)
                    chain->second.next = index;
                else
                    m_endLines[static_cast<size_t>(chain->second.last)].next = index;
                chain->second.last = index;
            } else if (RestIs(rest, Parts().commentRest)) {
                m_commentLines.push_back(lineFeed);
            }
        }
    }

    // What SearchEndLine finds, from the lists. The walk asks with `from` growing, so each chain
    // and the comment list are read forward once.
    qsizetype LookUpEndLine(qsizetype from, qsizetype nameBegin, qsizetype nameLength, bool* disabled)
    {
        const auto chain
            = m_chains.find(std::string_view(m_data + nameBegin, static_cast<size_t>(nameLength)));
        if (chain == m_chains.end())
            return -1;
        qsizetype& next = chain->second.next;
        while (next >= 0 && m_endLines[static_cast<size_t>(next)].lineFeed < from)
            next = m_endLines[static_cast<size_t>(next)].next;
        if (next < 0)
            return -1;
        const qsizetype lineFeed = m_endLines[static_cast<size_t>(next)].lineFeed;
        while (m_nextComment < m_commentLines.size() && m_commentLines[m_nextComment] < from)
            ++m_nextComment;
        *disabled = m_nextComment < m_commentLines.size() && m_commentLines[m_nextComment] < lineFeed;
        const qsizetype after = lineFeed + 1 + CRecipeFile::EndMarker.size() + nameLength;
        return after == m_size ? m_size : after + 1;
    }

    struct EndLine
    {
        qsizetype lineFeed;
        qsizetype next; // the next end line of the same name, or -1
    };
    struct Chain
    {
        qsizetype next = -1; // the first end line not yet passed
        qsizetype last = -1;
    };

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    int m_step = 0;
    bool m_listed = false;
    std::vector<EndLine> m_endLines;
    std::unordered_map<std::string_view, Chain> m_chains;
    std::vector<qsizetype> m_commentLines;
    size_t m_nextComment = 0;
};

// A step's text with a line feed at its end (a last line without one gets it).
QByteArray StepText(const QByteArray& text, qsizetype begin, qsizetype end)
{
    const bool ended = end > begin && text.at(end - 1) == '\n';
    QByteArray out;
    out.reserve(end - begin + (ended ? 0 : 1));
    out.append(text.constData() + begin, end - begin);
    if (!ended)
        out.append('\n');
    return out;
}

} // namespace

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
    file.close();
    return ParseRecipeText(std::move(text), list, unparsedGroups, progress);
}

bool CRecipeFile::ParseRecipeText(QByteArray text, QList<CRecipeListEntry>* list,
    QList<QByteArray>* unparsedGroups, const Progress& progress)
{
    list->clear();
    unparsedGroups->clear();
    ToLineFeeds(&text);

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
        entry.disabled = IsDisabledText(group.text);
        entry.text = group.text;
        unparsedGroups->append(std::move(group.text));
        group = Group();
    };

    const qsizetype size = text.size();
    const char* data = text.constData();
    RecipeTextWalk walk(text);
    RecipeTextWalk::Step step;
    int line = 1; // of the step's first byte
    while (walk.Next(&step)) {
        const int stepLines = static_cast<int>(std::count(data + step.begin, data + step.end, '\n'));
        if (step.block) {
            CRecipeListEntry entry;
            entry.name = QByteArray(data + step.nameBegin, step.nameLength);
            entry.text = StepText(text, step.begin, step.end);
            entry.disabled = step.disabled;
            entry.firstLine = line;
            entry.lastLine = line + qMax(stepLines, 1) - 1;
            list->append(std::move(entry));
        } else {
            const qsizetype lineLength = step.end - step.begin - (data[step.end - 1] == '\n' ? 1 : 0);
            const bool follows = group.index >= 0 && step.number == group.lastStep + 1;
            if (lineLength == 0) {
                if (follows)
                    group.lastStep = step.number;
            } else {
                if (!follows) {
                    closeGroup();
                    group.name = MakeGroupName();
                    group.text = BeginMarker + group.name + "\n";
                    group.index = list->size();
                    CRecipeListEntry entry;
                    entry.name = group.name;
                    entry.unparsed = true;
                    entry.firstLine = line;
                    list->append(std::move(entry));
                }
                group.text.append(data + step.begin, lineLength);
                group.text.append('\n');
                group.lastStep = step.number;
                (*list)[group.index].lastLine = line;
            }
        }
        line += stepLines;
        if (step.number % 16 == 0 && progress) {
            if (!progress(static_cast<int>(qint64(walk.Position()) * 100 / qMax<qsizetype>(size, 1)))) {
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

QList<QByteArray> CRecipeFile::ReadRecipeNames(QByteArray text, const std::function<bool()>& stop)
{
    ToLineFeeds(&text);
    QList<QByteArray> names;
    const char* data = text.constData();
    const qsizetype markerSize = BeginMarker.size();
    RecipeTextWalk walk(text);
    RecipeTextWalk::Step step;
    while (walk.Next(&step)) {
        if (step.number % 16 == 0 && stop && stop())
            return {};
        if (step.block) {
            if (step.nameLength > 0)
                names.append(QByteArray(data + step.nameBegin, step.nameLength));
            continue;
        }
        // A begin line without its end line is still where the user may want to go.
        const qsizetype lineLength = step.end - step.begin - (data[step.end - 1] == '\n' ? 1 : 0);
        if (lineLength > markerSize
            && std::memcmp(data + step.begin, BeginMarker.constData(), static_cast<size_t>(markerSize)) == 0)
            names.append(QByteArray(data + step.begin + markerSize, lineLength - markerSize));
    }
    return names;
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
    QString reason;
    if (SaveFileAtomically(path, out, &reason))
        return true;
    const QString message = FileError(path, QStringLiteral("writing"), reason);
    if (error)
        *error = message;
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

QByteArray CRecipeFile::BuildRecipeBlock(
    const QByteArray& name, const QByteArray& description, const QByteArray& body)
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

void CRecipeFile::ToLineFeeds(QByteArray* text)
{
    ::ToLineFeeds(text);
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
