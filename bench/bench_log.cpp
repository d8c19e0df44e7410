// Times the log document on one file: reading the file once, opening (read + parse), sorting by
// every column both ways, and a search that finds nothing.
// Usage: bench_log FILE
#include "core/log/CLogDisplayDoc.h"

#include <QFile>

#include <chrono>
#include <cstdio>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const char* const columnNames[]
    = { "Recipe Name", "From", "Subject", "To", "Date", "Envelope From", "Folder", "Size" };

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_log FILE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);

    auto start = std::chrono::steady_clock::now();
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bench_log: cannot open %s\n", argv[1]);
            return 1;
        }
        const QByteArray bytes = file.readAll();
        std::printf("read once:        %.3f s (%lld bytes)\n", secondsSince(start),
            static_cast<long long>(bytes.size()));
    }

    CLogDisplayDoc doc;
    start = std::chrono::steady_clock::now();
    doc.Open(path);
    std::printf("open and parse:   %.3f s (%lld entries, %lld unparsed lines)\n", secondsSince(start),
        static_cast<long long>(doc.GetEntryCount()), static_cast<long long>(doc.GetUnparsedCount()));
    if (!doc.ErrorText().isEmpty()) {
        std::fprintf(stderr, "bench_log: %s\n", qPrintable(doc.ErrorText()));
        return 1;
    }

    double slowest = 0;
    for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
        for (bool ascending : { true, false }) {
            start = std::chrono::steady_clock::now();
            doc.SortEntries(column, ascending);
            const double seconds = secondsSince(start);
            slowest = seconds > slowest ? seconds : slowest;
            std::printf("sort %-13s %-10s %.3f s\n", columnNames[column],
                ascending ? "ascending" : "descending", seconds);
        }
    }
    std::printf("slowest sort:     %.3f s\n", slowest);

    start = std::chrono::steady_clock::now();
    const qsizetype found = doc.FindEntry(QStringLiteral("no such text anywhere"), 0, false);
    std::printf(
        "find (no match):  %.3f s (result %lld)\n", secondsSince(start), static_cast<long long>(found));
    return 0;
}
