// Times the recipe file operations on a file of 20,000 recipes against one plain read of it.
// Target: each operation within 10 times the read. Usage: bench_recipefile [RECIPES]
#include "core/recipes/CRecipeFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double Best(const std::function<void()>& run, int rounds = 5)
{
    double best = 1e18;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeph.recipes"));
    QByteArray content;
    for (int i = 0; i < count; ++i) {
        const QByteArray name = "Recipe number " + QByteArray::number(i);
        content += CRecipeFile::BuildRecipeBlock(name,
                                                 "If this condition matches:\nIf there is a \"Subject:\" header "
                                                 "containing the string:\noffer " + QByteArray::number(i)
                                                     + "\n\n\nProcmail will save it to a mailbox named spam\n\n"
                                                       "There will be standard logging for this recipe.",
                                                 ":0:\n* ^Subject:.*offer " + QByteArray::number(i) + "\nspam\n\n");
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        return 1;
    out.close();

    const double read = Best([&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        Q_UNUSED(bytes);
    });
    QList<CRecipeListEntry> list;
    QList<QByteArray> groups;
    const double parse = Best([&] { CRecipeFile::ParseRecipeList(path, &list, &groups, [](int) { return true; }); });
    const double write = Best([&] { CRecipeFile::WriteRecipeList(path, list); });
    CRecipeFile file(path);
    int b = 0, e = 0;
    const double locate = Best([&] { file.Locate("Recipe number " + QByteArray::number(count - 1), &b, &e); });

    std::printf("recipe file: %d recipes, %lld bytes, %lld list entries\n", count, static_cast<long long>(content.size()),
                static_cast<long long>(list.size()));
    std::printf("%-28s %9.2f ms\n", "read once", read);
    for (const auto& [label, ms] : {std::pair{"list parse", parse}, std::pair{"list write", write},
                                    std::pair{"Locate of the last recipe", locate}}) {
        std::printf("%-28s %9.2f ms  %5.1f x read  %s\n", label, ms, ms / read, ms <= 10 * read ? "ok" : "OVER TARGET");
    }
    return 0;
}
