// The peak memory of one long task in a fresh process:
//   kavel_bench_mem --pages N [--task text|repeat|perpage] [--pdf FILE]
// text: the text task with N pages of lines (the content grows with the pages);
// repeat: one page of those lines on N pages (only the pages grow);
// perpage: one short text item on each of N pages (the items grow with the pages).
// Prints the task, the lines, the pages printed, the resident memory before the task and
// the process's peak resident memory (KiB), one "key value" pair a line.
#include <QStringList>
#include <cstdio>
#include <exception>

#include "BenchApp.h"
#include "BenchTasks.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: kavel_bench_mem --pages N [--task text|repeat|perpage] [--pdf FILE]"
                 "   (N from 1 to 2000)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kavel::bench;
    BenchApp app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    int pages = 0;
    QString pdf, task = "text";
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--pages" && i + 1 < args.size()) {
            bool ok = false;
            pages = args[++i].toInt(&ok);
            if (!ok) return Usage();
        } else if (args[i] == "--task" && i + 1 < args.size()) {
            task = args[++i];
            if (task != "text" && task != "repeat" && task != "perpage") return Usage();
        } else if (args[i] == "--pdf" && i + 1 < args.size()) {
            pdf = args[++i];
        } else {
            return Usage();
        }
    }
    // Composition stops after 2000 pages; a longer task would measure the limit.
    if (pages < 1 || pages > 2000) return Usage();
    if (pdf.isEmpty()) pdf = OutputFile("mem.pdf");

    const bool repeat = task == "repeat";
    const int lines = task == "perpage" ? pages : repeat ? kPreLinesPerPage : pages * kPreLinesPerPage;
    const long before = CurrentRssKiB();
    try {
        const Printed printed = task == "perpage" ? PrintTextPerPage(pages, pdf)
                                : repeat          ? PrintRepeatedPage(pages, pdf)
                                                  : PrintText(lines, pdf);
        if (!printed.ok) {
            std::fprintf(stderr, "kavel_bench_mem: the task was not printed\n");
            return 1;
        }
        std::printf("task %s\nlines %d\npages %d\nrss_before_kib %ld\npeak_rss_kib %ld\n",
                    qPrintable(task), lines, printed.pages, before, PeakRssKiB());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kavel_bench_mem: %s\n", e.what());
        return 1;
    }
    return 0;
}
