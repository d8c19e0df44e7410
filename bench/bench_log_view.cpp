// Times the log list on one file, offscreen: opening it, painting after jumps to the end and
// through the list page by page, and sorting by a click on each header, to show that a million
// rows scroll without a pause; and the memory the log costs the program (its peak less what it
// held before the log was opened) against the file size. Usage: bench_log_view FILE
#include "gui/log/CLogDisplayView.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTableView>

#include <chrono>
#include <cstdio>

namespace {

// A line of /proc/self/status ("VmRSS", "VmHWM") in kilobytes.
long statusKilobytes(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(name) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_log_view FILE\n");
        return 2;
    }
    CLogDisplayView view;
    view.resize(1200, 800);
    view.show();
    QApplication::processEvents();
    const long before = statusKilobytes("VmRSS");
    auto start = std::chrono::steady_clock::now();
    if (!view.OpenLog(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "bench_log_view: the log has no entries\n");
        return 1;
    }
    view.List()->viewport()->repaint();
    std::printf("open, sort and first paint: %.0f ms (%lld rows)\n", millisecondsSince(start),
        static_cast<long long>(view.Document().GetEntryCount()));

    QScrollBar* bar = view.List()->verticalScrollBar();
    double slowest = 0;
    double total = 0;
    int frames = 0;
    auto frame = [&](auto&& move) {
        const auto t = std::chrono::steady_clock::now();
        move();
        view.List()->viewport()->repaint();
        const double ms = millisecondsSince(t);
        slowest = ms > slowest ? ms : slowest;
        total += ms;
        ++frames;
    };
    frame([&] { view.List()->scrollToBottom(); });
    frame([&] { view.List()->scrollToTop(); });
    for (int i = 0; i < 200; ++i)
        frame([&] { bar->setValue(bar->value() + bar->pageStep()); });
    for (int i = 0; i < 50; ++i)
        frame([&] {
            bar->setValue(static_cast<int>(
                (static_cast<long long>(bar->maximum()) * i * 37 / 50) % (bar->maximum() + 1)));
        });
    std::printf("scrolling: %d frames, mean %.2f ms, slowest %.2f ms\n", frames, total / frames, slowest);

    double slowestSort = 0;
    for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
        start = std::chrono::steady_clock::now();
        view.SortByColumn(column, true);
        view.List()->viewport()->repaint();
        const double ms = millisecondsSince(start);
        slowestSort = ms > slowestSort ? ms : slowestSort;
        std::printf("header click on column %d and repaint: %.0f ms\n", column, ms);
    }
    std::printf("slowest header click: %.0f ms\n", slowestSort);
    const long peak = statusKilobytes("VmHWM");
    const qint64 bytes = QFileInfo(QString::fromLocal8Bit(argv[1])).size();
    std::printf("memory for the log: %ld MB (peak %ld MB less %ld MB before opening), %.2f times the file\n",
        (peak - before) / 1024, peak / 1024, before / 1024,
        bytes > 0 ? static_cast<double>(peak - before) * 1024 / static_cast<double>(bytes) : 0.0);
    return 0;
}
