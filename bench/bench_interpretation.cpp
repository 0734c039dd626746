// Automatic interpretation over the generated bench set: per condition, how close the suggested
// bottom comes to the truth and how often a hole without a cage gets no suggestion; then the time
// the routine takes on a full-capacity file.
//
//   bench_interpretation [--benchmark_...] [SET_DIR]
//
// SET_DIR defaults to the set the build generated (orvek-samplegen --bench, measuring seed).
#include "analysis/Interpretation.h"
#include "data/MeasurementFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::filesystem::path g_setDir = ORVEK_BENCH_SET_DIR;

struct TruthRow {
    std::string file;
    std::string condition;
    bool cage = false;
    double bottom = 0.0;
    std::vector<double> joints;
};

std::vector<std::string> Split(const std::string& text, char sep)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, sep)) {
        parts.push_back(part);
    }
    if (!text.empty() && text.back() == sep) {
        parts.emplace_back();
    }
    return parts;
}

std::vector<TruthRow> ReadTruth(const std::filesystem::path& path)
{
    std::vector<TruthRow> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Split(line, ',');
        if (f.size() < 4) {
            continue;
        }
        TruthRow row{f[0], f[1], !f[2].empty(), f[2].empty() ? 0.0 : std::stod(f[2]), {}};
        for (const std::string& j : Split(f[3], ';')) {
            if (!j.empty()) {
                row.joints.push_back(std::stod(j));
            }
        }
        rows.push_back(row);
    }
    return rows;
}

struct Tally {
    int files = 0;
    int withinQuarter = 0;
    int suggested = 0;
    std::vector<double> errors;  // cage files; a missing bottom counts as infinitely wrong
    int truthJoints = 0;
    int foundJoints = 0;
    int falseJoints = 0;
};

double Quantile(std::vector<double> v, double q)
{
    if (v.empty()) {
        return NAN;
    }
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(q * double(v.size() - 1) + 0.5))];
}

void Score(const TruthRow& row, const CageSuggestion& s, Tally& t)
{
    ++t.files;
    t.suggested += s.bottom ? 1 : 0;
    if (!row.cage) {
        return;
    }
    const double error = s.bottom ? std::abs(double(*s.bottom) - row.bottom) : INFINITY;
    t.errors.push_back(error);
    t.withinQuarter += error <= 0.25 ? 1 : 0;
    t.truthJoints += int(row.joints.size());
    for (float j : s.joints) {
        const bool match = std::any_of(row.joints.begin(), row.joints.end(),
                                       [&](double truth) { return std::abs(truth - double(j)) <= 0.3; });
        (match ? t.foundJoints : t.falseJoints) += 1;
    }
}

void PrintRow(const std::string& name, const Tally& t)
{
    if (t.errors.empty()) {
        std::printf("%-12s %5d %8s %8s %8s %7.1f%% %14s\n", name.c_str(), t.files, "-", "-", "-",
                    100.0 * (t.files - t.suggested) / t.files, "-");
        return;
    }
    std::printf("%-12s %5d %7.1f%% %8.3f %8.3f %8s %6d/%-3d %4d\n", name.c_str(), t.files,
                100.0 * t.withinQuarter / double(t.errors.size()), Quantile(t.errors, 0.5), Quantile(t.errors, 0.95),
                "-", t.foundJoints, t.truthJoints, t.falseJoints);
}

bool RunAccuracyTable()
{
    const std::vector<TruthRow> rows = ReadTruth(g_setDir / "truth.csv");
    if (rows.empty()) {
        std::fprintf(stderr, "no bench set in %s (build the target bench_interpretation, or run "
                             "orvek-samplegen --bench DIR SEED)\n", g_setDir.string().c_str());
        return false;
    }
    std::vector<std::string> order;
    std::map<std::string, Tally> byCondition;
    // The goals' two groups: noise up to 10 nT (every condition but the three below), and noise
    // of 10-30 nT, spikes and weak anomalies.
    Tally cages, quiet, hard;
    // Whether the confidence means something: cage files by confidence.
    Tally sure, unsure;
    auto slot = std::make_unique<FileSlot>();
    for (const TruthRow& row : rows) {
        if (!byCondition.count(row.condition)) {
            order.push_back(row.condition);
        }
        if (FullLoad(*slot, (g_setDir / row.file).string()) != LoadResult::Ok) {
            std::fprintf(stderr, "cannot load %s\n", row.file.c_str());
            return false;
        }
        const CageSuggestion s = SuggestCage(slot->primary);
        Score(row, s, byCondition[row.condition]);
        if (row.cage) {
            Score(row, s, cages);
            const bool isHard = row.condition == "noisy" || row.condition == "spikes" || row.condition == "weak";
            Score(row, s, isHard ? hard : quiet);
            Score(row, s, s.confidence >= 0.5f ? sure : unsure);
        }
        if (std::getenv("ORVEK_BENCH_VERBOSE")) {
            std::printf("%s truth %.2f got %s conf %.2f | %s\n", row.file.c_str(), row.bottom,
                        s.bottom ? std::to_string(*s.bottom).c_str() : "none", double(s.confidence), s.reason.c_str());
        }
    }
    std::printf("bench set %s: %zu files\n", g_setDir.string().c_str(), rows.size());
    std::printf("%-12s %5s %8s %8s %8s %8s %10s %5s\n", "condition", "files", "<=0.25m", "median", "p95",
                "no-sugg", "joints", "false");
    for (const std::string& name : order) {
        PrintRow(name, byCondition[name]);
    }
    PrintRow("<=10 nT", quiet);
    PrintRow("hard", hard);
    PrintRow("all cages", cages);
    PrintRow("conf>=0.5", sure);
    PrintRow("conf<0.5", unsure);
    std::printf("\n");
    return true;
}

// A full-capacity file at a 5 cm and at a 25 cm step (the coarse one spans 512 m and gives the
// routine four times the grid points).
void BM_SuggestCage2048(benchmark::State& state)
{
    auto slot = std::make_unique<FileSlot>();
    const std::string name = "timing-2048-" + std::to_string(state.range(0)) + "cm.cdd";
    if (FullLoad(*slot, (g_setDir / name).string()) != LoadResult::Ok) {
        state.SkipWithError((name + " missing from the bench set").c_str());
        return;
    }
    for (auto _ : state) {
        CageSuggestion s = SuggestCage(slot->primary);
        benchmark::DoNotOptimize(s);
    }
    state.SetLabel(std::to_string(slot->primary.m_nCount) + " samples");
}
BENCHMARK(BM_SuggestCage2048)->Arg(5)->Arg(25)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc > 1) {
        g_setDir = argv[1];
    }
    if (!RunAccuracyTable()) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
