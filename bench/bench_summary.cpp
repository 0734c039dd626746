// The summary of results over a thousand generated surveys, with the automatic interpretation of
// each: the time an operator waits for the table of a large site.
//
//   bench_summary [--benchmark_...] [SET_DIR...]
//
// SET_DIRs default to the two sets the build generated (orvek-samplegen --bench); the first 1000
// ".cdd" files found in them are summarised.
#include "analysis/SiteSummary.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kFiles = 1000;

std::vector<std::string> g_paths;

void BM_Summary(benchmark::State& state)
{
    const int jobs = int(state.range(0));
    std::size_t unread = 0;
    for (auto _ : state) {
        const std::vector<SummaryRow> rows = SummariseFiles(g_paths, {}, jobs);
        unread = 0;
        for (const SummaryRow& row : rows)
            unread += row.loaded ? 0 : 1;
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["files"] = double(g_paths.size());
    state.counters["unread"] = double(unread);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::vector<std::string> dirs(argv + 1, argv + argc);
#ifdef ORVEK_BENCH_SET_DIR
    if (dirs.empty())
        dirs = {ORVEK_BENCH_SET_DIR, ORVEK_HELD_OUT_SET_DIR};
#endif
    for (const std::string& dir : dirs) {
        for (const std::string& path : CddFilesIn(dir)) {
            if (g_paths.size() < kFiles)
                g_paths.push_back(path);
        }
    }
    if (g_paths.size() < kFiles)
        std::fprintf(stderr, "bench_summary: only %zu files found\n", g_paths.size());
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    benchmark::RegisterBenchmark("Summary/1000 files", BM_Summary)
        ->Arg(1)
        ->Arg(cores)
        ->ArgName("jobs")
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
