// Print tasks composed through the control's members and printed to PDF: pages per
// second and the process's peak memory as counters. Peak memory is the whole process's
// so far, so it only grows from one benchmark to the next; kavel_bench_mem measures one
// task in a process of its own.
#include <benchmark/benchmark.h>

#include <exception>

#include "BenchApp.h"
#include "BenchTasks.h"

namespace kavel::bench {

namespace {

template <class Task>
void RunPrintBenchmark(benchmark::State& state, const char* file, Task task) {
    const QString pdf = OutputFile(file);
    int pages = 0;
    for (auto _ : state) {
        try {
            const Printed printed = task(pdf);
            if (!printed.ok) {
                state.SkipWithError("the task was not printed");
                return;
            }
            pages = printed.pages;
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] =
        benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_MiB"] = PeakRssKiB() / 1024.0;
}

void BM_Invoice(benchmark::State& state) {
    RunPrintBenchmark(state, "invoice.pdf", [](const QString& pdf) { return PrintInvoice(pdf); });
}

void BM_Shapes2000On100Pages(benchmark::State& state) {
    RunPrintBenchmark(state, "shapes.pdf",
                      [](const QString& pdf) { return PrintShapes(100, pdf); });
}

void BM_Text10000Lines(benchmark::State& state) {
    RunPrintBenchmark(state, "text.pdf",
                      [](const QString& pdf) { return PrintText(kPreLines, pdf); });
}

// Composition stays linear in pages when every page has its own item: 1,000 pages should
// take about ten times as long as 100.
void BM_TextPerPage(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    RunPrintBenchmark(state, "per-page.pdf",
                      [pages](const QString& pdf) { return PrintTextPerPage(pages, pdf); });
}

}  // namespace

// Smallest task first: the peak memory of each counter includes everything before it.
BENCHMARK(BM_Invoice)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Shapes2000On100Pages)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Text10000Lines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextPerPage)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace kavel::bench

int main(int argc, char** argv) {
    kavel::bench::BenchApp app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
