// Times the check of the recipe file before upload on a file of 200 wizard-style recipes: the
// canary message run through the file by the local procmail, and the complaints mapped to lines.
// Target: under 100 ms. Beside it, the same check of an empty file: starting procmail in a user
// and network namespace in a fresh throwaway home, which every check pays whatever the file holds.
// Usage: bench_preflight [RECIPES [ROUNDS]]
#include "core/recipes/CRecipeFile.h"
#include "core/trial/CTrialRun.h"
#include "core/trial/UploadPreflight.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Every fourth recipe forwards a copy (a pipe with a continued line), the others file by Subject,
// From or a custom header; one in ten sits in a nested block.
QByteArray RecipeFile(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        QByteArray body;
        switch (i % 4) {
        case 0:
            body = ":0:\n* ^Subject:.*(offer" + n + "|deal" + n + ")\nspam" + n + "\n";
            break;
        case 1:
            body = ":0:\n* ^From:.*list" + n + "@example\\.org\nlists/" + n + "/\n";
            break;
        case 2:
            body = ":0\n* ^X-Custom-" + n
                + ":.*yes\n{\n\t:0cw\n\t* !^X-Loop: me@example.org\n\t| formail -A\"X-Loop: "
                  "me@example.org\" \\\n\t| $SENDMAIL $SENDMAILFLAGS copy"
                + n + "@example.net\n\n\t:0:\n\tcopied\n}\n";
            break;
        default:
            body = ":0 B:\n* word" + n + "\nbody" + n + "\n";
            break;
        }
        text += CRecipeFile::BuildRecipeBlock("Recipe " + n, "A recipe of the benchmark", body);
    }
    return text;
}

struct Figures
{
    double best = 0, median = 0, worst = 0;
};

template <typename F> Figures Time(int rounds, F run)
{
    QList<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return {};
        ms << static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    return { ms.first(), ms[ms.size() / 2], ms.last() };
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int recipes = args.size() > 1 ? args[1].toInt() : 200;
    const int rounds = args.size() > 2 ? args[2].toInt() : 21;
    if (const QString missing = CTrialRun::Unavailable(); !missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(missing));
        return 1;
    }
    const QByteArray file = RecipeFile(recipes);
    QString error;
    const Figures check = Time(rounds, [&] {
        QList<UploadPreflight::Finding> findings;
        if (!UploadPreflight::Check(file, &findings, &error))
            return false;
        if (!findings.isEmpty()) {
            error = QStringLiteral("the benchmark file drew a complaint: ") + findings.first().complaint;
            return false;
        }
        return true;
    });
    const Figures empty = Time(rounds, [&] {
        QList<UploadPreflight::Finding> findings;
        return UploadPreflight::Check(QByteArray(), &findings, &error);
    });
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("Recipe file check before upload, %d recipes (%lld bytes), %d rounds\n", recipes,
        static_cast<long long>(file.size()), rounds);
    std::printf(
        "  check:                 best %6.1f ms  median %6.1f ms  worst %6.1f ms   target: under 100 ms"
        " -> %s\n",
        check.best, check.median, check.worst, check.median < 100 ? "met" : "MISSED");
    std::printf("  empty file (baseline): best %6.1f ms  median %6.1f ms  worst %6.1f ms\n", empty.best,
        empty.median, empty.worst);
    return 0;
}
