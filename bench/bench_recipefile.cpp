// Times the recipe file operations on a file of 20,000 recipes against one plain read of it.
// Target: list parse, list write and Locate of the last recipe each within 10 times the read.
// Then a damaged file, 40,000 begin lines that have no end line, is listed and its recipe names
// read, and again with four times the lines: each such line sends the walk looking for an end
// line, which must not cost a pass over the rest of the file. Target: four times the lines
// take at most eight times as long. Linear time gives about four while both files fit the
// processor's cache and somewhat more when the larger one does not; a walk that searched to the
// end of the file from every such line would take sixteen.
// Usage: bench_recipefile [RECIPES [DAMAGED-LINES]]
//
// Every figure is the best of several rounds with the file in the page cache. The read is what
// the parser itself does to get the bytes (QFile open + readAll). The list write replaces the
// file atomically and durably (temporary file, data sync, rename), so its figure is also shown
// next to a bare QSaveFile write of the same bytes: the part the operating system needs for any
// such replace.
#include "core/recipes/CRecipeFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <tuple>
#include <utility>

namespace {

constexpr int Rounds = 9;

// `prepare` runs before each round outside the timing.
double Best(const std::function<void()>& run, const std::function<void()>& prepare = {}, int rounds = Rounds)
{
    double best = 1e18;
    for (int i = 0; i < rounds; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        best = qMin(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

QByteArray ReadOnce(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

struct DamagedFigures
{
    qsizetype bytes = 0;
    double parse = 0; // ms
    double names = 0; // ms
    bool ok = false;
};

// A file of `lines` begin lines and nothing else: none of them has an end line, so the list is
// one unparsed group and every line gives a recipe name.
DamagedFigures TimeDamaged(const QString& path, int lines)
{
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text += CRecipeFile::BeginMarker + "Lost " + QByteArray::number(i) + "\n";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size())
        return {};
    out.close();
    ReadOnce(path);
    // A walk that searches to the end of the file for every line took minutes here, so a few
    // rounds are enough.
    constexpr int rounds = 3;
    DamagedFigures figures;
    figures.bytes = text.size();
    QList<CRecipeListEntry> list;
    QList<QByteArray> groups;
    bool parsed = true;
    figures.parse = Best([&] { parsed = CRecipeFile::ParseRecipeList(path, &list, &groups) && parsed; },
        [&] {
            list = QList<CRecipeListEntry>();
            groups = QList<QByteArray>();
        },
        rounds);
    qsizetype names = 0;
    figures.names = Best([&] { names = CRecipeFile::ReadRecipeNames(ReadOnce(path)).size(); }, {}, rounds);
    figures.ok = parsed && list.size() == (lines > 0 ? 1 : 0) && names == lines;
    return figures;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    const int damagedLines = argc > 2 ? QByteArray(argv[2]).toInt() : 40000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeph.recipes"));
    QByteArray content;
    for (int i = 0; i < count; ++i) {
        const QByteArray name = "Recipe number " + QByteArray::number(i);
        content += CRecipeFile::BuildRecipeBlock(name,
            "If this condition matches:\nIf there is a \"Subject:\" header "
            "containing the string:\noffer "
                + QByteArray::number(i)
                + "\n\n\nProcmail will save it to a mailbox named spam\n\n"
                  "There will be standard logging for this recipe.",
            ":0:\n* ^Subject:.*offer " + QByteArray::number(i) + "\nspam\n\n");
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        return 1;
    out.close();
    ReadOnce(path); // warm the page cache

    const double read = Best([&] { ReadOnce(path); });

    QList<CRecipeListEntry> list;
    QList<QByteArray> groups;
    bool parsed = true;
    // Each round parses into an empty list; dropping the previous result is not part of it.
    const double parse = Best(
        [&] {
            parsed = CRecipeFile::ParseRecipeList(path, &list, &groups, [](int) { return true; }) && parsed;
        },
        [&] {
            list = QList<CRecipeListEntry>();
            groups = QList<QByteArray>();
        });

    bool written = true;
    const double write = Best([&] { written = CRecipeFile::WriteRecipeList(path, list) && written; });
    const QByteArray same = ReadOnce(path);
    const double saveFile = Best([&] {
        QSaveFile f(path);
        written = f.open(QIODevice::WriteOnly) && f.write(same) == same.size() && f.commit() && written;
    });

    CRecipeFile file(path);
    int b = 0, e = 0;
    CRecipeFile::LocateResult located = CRecipeFile::LocateError;
    const double locate
        = Best([&] { located = file.Locate("Recipe number " + QByteArray::number(count - 1), &b, &e); });

    const QString damagedPath = dir.filePath(QStringLiteral("damaged.recipes"));
    const DamagedFigures small = TimeDamaged(damagedPath, damagedLines);
    const DamagedFigures large = TimeDamaged(damagedPath, 4 * damagedLines);

    std::printf("recipe file: %d recipes, %lld bytes, %lld list entries\n", count,
        static_cast<long long>(content.size()), static_cast<long long>(list.size()));
    if (!parsed || !written || located != CRecipeFile::LocateFound || list.size() != count || !small.ok
        || !large.ok) {
        std::printf("an operation failed\n");
        return 1;
    }
    std::printf("%-36s %9.2f ms\n", "read once (QFile open + readAll)", read);
    for (const auto& [label, ms] : { std::pair { "list parse", parse }, std::pair { "list write", write },
             std::pair { "Locate of the last recipe", locate } }) {
        std::printf("%-36s %9.2f ms  %5.1f x read  %s\n", label, ms, ms / read,
            ms <= 10 * read ? "ok" : "OVER TARGET");
    }
    std::printf("%-36s %9.2f ms  %5.1f x read  (QSaveFile of the same bytes: write, sync, rename)\n",
        "  for comparison: bare atomic write", saveFile, saveFile / read);
    std::printf("damaged file: begin lines without an end line, %d and %d lines (%lld and %lld bytes)\n",
        damagedLines, 4 * damagedLines, static_cast<long long>(small.bytes),
        static_cast<long long>(large.bytes));
    for (const auto& [label, one, four] : { std::tuple { "damaged: list parse", small.parse, large.parse },
             std::tuple { "damaged: recipe names", small.names, large.names } }) {
        std::printf("%-36s %9.2f ms  %9.2f ms  %5.1f x  %s\n", label, one, four, four / one,
            four <= 8 * one ? "ok" : "OVER TARGET");
    }
    return 0;
}
