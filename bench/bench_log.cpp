// Times the log document on one file: opening (map and parse), sorting by every column both ways,
// and a search that finds nothing, in the list's file order and after a sort, with progress.
// Prints wall-clock and processor seconds (on a loaded machine the second says more about the
// code) and the peak memory of the process against the file size.
// Usage: bench_log FILE
#include "core/log/CLogDisplayDoc.h"

#include <QFileInfo>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

const char* const columnNames[]
    = { "Recipe Name", "From", "Subject", "To", "Date", "Envelope From", "Folder", "Size" };

// Wall-clock and processor time since it was made.
class Stopwatch
{
public:
    Stopwatch()
        : m_wall(std::chrono::steady_clock::now())
        , m_cpu(cpuSeconds())
    {
    }
    double Wall() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wall).count();
    }
    double Cpu() const { return cpuSeconds() - m_cpu; }

private:
    static double cpuSeconds()
    {
        timespec t;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    }
    std::chrono::steady_clock::time_point m_wall;
    double m_cpu;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_log FILE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const qint64 bytes = QFileInfo(path).size();

    CLogDisplayDoc doc;
    Stopwatch open;
    doc.Open(path);
    std::printf("open and parse:        %.3f s (cpu %.3f s; %lld entries, %lld unparsed lines)\n",
        open.Wall(), open.Cpu(), static_cast<long long>(doc.GetEntryCount()),
        static_cast<long long>(doc.GetUnparsedCount()));
    if (!doc.ErrorText().isEmpty()) {
        std::fprintf(stderr, "bench_log: %s\n", qPrintable(doc.ErrorText()));
        return 1;
    }

    const QString needle = QStringLiteral("no such text anywhere");
    Stopwatch fileOrder;
    const qsizetype unsortedHit = doc.FindEntry(needle, 0, false);
    std::printf("find, file order:      %.3f s (cpu %.3f s; result %lld)\n", fileOrder.Wall(),
        fileOrder.Cpu(), static_cast<long long>(unsortedHit));

    double slowest = 0;
    double slowestCpu = 0;
    for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
        for (bool ascending : { true, false }) {
            Stopwatch sort;
            doc.SortEntries(column, ascending);
            const double seconds = sort.Wall();
            const double cpu = sort.Cpu();
            slowest = seconds > slowest ? seconds : slowest;
            slowestCpu = cpu > slowestCpu ? cpu : slowestCpu;
            std::printf("sort %-13s %-10s %.3f s (cpu %.3f s)\n", columnNames[column],
                ascending ? "ascending" : "descending", seconds, cpu);
        }
    }
    std::printf("slowest sort:          %.3f s (cpu %.3f s)\n", slowest, slowestCpu);

    // After the sort by size the list's order jumps about the file.
    int reports = 0;
    Stopwatch find;
    const qsizetype found = doc.FindEntry(needle, 0, false, [&reports](qint64, qint64) {
        ++reports;
        return true;
    });
    std::printf("find, sorted:          %.3f s (cpu %.3f s; result %lld, %d progress reports)\n", find.Wall(),
        find.Cpu(), static_cast<long long>(found), reports);

    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory:           %ld MB, %.2f times the file\n", usage.ru_maxrss / 1024,
        bytes > 0 ? static_cast<double>(usage.ru_maxrss) * 1024 / static_cast<double>(bytes) : 0.0);
    return 0;
}
