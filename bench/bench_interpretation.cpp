// Automatic interpretation over generated bench sets: per condition, how close the suggested
// bottom comes to the truth, how often a suggestion of a given confidence is right, how many laps
// are found (all of them, and those that stand clear of the bars' own patchiness) and how many
// suggested joints are false, and how often a hole without a cage gets no
// suggestion; then the time the routine takes on a full-capacity file.
//
//   bench_interpretation [--benchmark_...] [SET_DIR...]
//
// SET_DIRs default to the two sets the build generated (orvek-samplegen --bench): the tuning seed
// and the held-out seed.
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

// The set the routine is tuned on, and the held-out one it is only measured on.
std::vector<std::filesystem::path> g_setDirs = {ORVEK_BENCH_SET_DIR, ORVEK_HELD_OUT_SET_DIR};

struct TruthRow {
    std::string file;
    std::string condition;
    bool cage = false;
    double bottom = 0.0;
    std::vector<double> joints;
    std::vector<bool> clearLaps;  // per joint, when the truth gives the laps' contrast
};

// A lap the data plainly shows: the relief of its ends' field at least 20 times the noise and
// twice the relief of the bars' remanence changes around it. A fainter one is no more than one
// of the pole pairs that patchy remanence makes all along a cage, and is left out on purpose.
constexpr double kClearLapNoise = 20.0;
constexpr double kClearLapPieces = 2.0;

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
        TruthRow row{f[0], f[1], !f[2].empty(), f[2].empty() ? 0.0 : std::stod(f[2]), {}, {}};
        for (const std::string& j : Split(f[3], ';')) {
            if (!j.empty()) {
                row.joints.push_back(std::stod(j));
            }
        }
        // lap_contrast: "noise/pieces" per joint, the lap's relief over the noise and over the
        // remanence relief around it.
        for (const std::string& c : f.size() > 4 ? Split(f[4], ';') : std::vector<std::string>{}) {
            double noise = 0, pieces = 0;
            if (std::sscanf(c.c_str(), "%lf/%lf", &noise, &pieces) == 2) {
                row.clearLaps.push_back(noise >= kClearLapNoise && pieces >= kClearLapPieces);
            }
        }
        if (row.clearLaps.size() != row.joints.size()) {
            row.clearLaps.clear();
        }
        rows.push_back(row);
    }
    return rows;
}

constexpr double kLevels[] = {0.5, 0.8, 0.9};

struct Tally {
    int files = 0;
    int withinQuarter = 0;
    int suggested = 0;
    std::vector<double> errors;  // cage files; a missing bottom counts as infinitely wrong
    int confident[3] = {};       // suggestions with confidence of at least each level
    int confidentRight[3] = {};  // of those, the ones within 0.25 m (or none in a hole without a cage)
    int truthJoints = 0;
    int foundJoints = 0;  // laps with a suggested joint within 0.3 m of their centre
    int clearJoints = 0;
    int foundClearJoints = 0;
    int suggestedJoints = 0;
    int falseJoints = 0;  // suggested joints within 0.3 m of no lap
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
    const double error = !row.cage ? INFINITY : s.bottom ? std::abs(double(*s.bottom) - row.bottom) : INFINITY;
    for (int c = 0; c < 3; ++c) {
        if (s.bottom && double(s.confidence) >= kLevels[c] - 1e-6) {
            ++t.confident[c];
            t.confidentRight[c] += error <= 0.25 ? 1 : 0;
        }
    }
    t.suggestedJoints += int(s.joints.size());
    const auto near = [](double a, double b) { return std::abs(a - b) <= 0.3; };
    for (float j : s.joints) {
        t.falseJoints += std::none_of(row.joints.begin(), row.joints.end(), [&](double l) { return near(l, j); });
    }
    if (!row.cage) {
        return;
    }
    t.errors.push_back(error);
    t.withinQuarter += error <= 0.25 ? 1 : 0;
    t.truthJoints += int(row.joints.size());
    for (std::size_t k = 0; k < row.joints.size(); ++k) {
        const bool found =
            std::any_of(s.joints.begin(), s.joints.end(), [&](float j) { return near(row.joints[k], j); });
        t.foundJoints += found;
        if (!row.clearLaps.empty() && row.clearLaps[k]) {
            ++t.clearJoints;
            t.foundClearJoints += found;
        }
    }
}

std::string Share(int part, int whole)
{
    char buf[32];
    if (whole == 0) {
        return "-";
    }
    std::snprintf(buf, sizeof buf, "%.1f%%", 100.0 * part / whole);
    return buf;
}

void PrintHeader()
{
    std::printf("%-13s %5s %8s %7s %7s %14s %14s %14s %14s %14s %13s %7s\n", "condition", "files", "<=0.25m", "median",
                "p95", "c>=0.5 ok", "c>=0.8 ok", "c>=0.9 ok", "laps found", "clear found", "false joints", "no-sugg");
}

void PrintRow(const std::string& name, const Tally& t)
{
    char cal[3][32];
    for (int c = 0; c < 3; ++c) {
        std::snprintf(cal[c], sizeof cal[c], "%s (%d)", Share(t.confidentRight[c], t.confident[c]).c_str(),
                      t.confident[c]);
    }
    char laps[32], clear[32], falseJ[32];
    std::snprintf(laps, sizeof laps, "%s (%d)", Share(t.foundJoints, t.truthJoints).c_str(), t.truthJoints);
    std::snprintf(clear, sizeof clear, "%s (%d)", Share(t.foundClearJoints, t.clearJoints).c_str(), t.clearJoints);
    std::snprintf(falseJ, sizeof falseJ, "%s (%d)", Share(t.falseJoints, t.suggestedJoints).c_str(), t.suggestedJoints);
    if (t.errors.empty()) {
        std::printf("%-13s %5d %8s %7s %7s %14s %14s %14s %14s %14s %13s %7s\n", name.c_str(), t.files, "-", "-", "-",
                    cal[0], cal[1], cal[2], "-", "-", falseJ, Share(t.files - t.suggested, t.files).c_str());
        return;
    }
    std::printf("%-13s %5d %8s %7.3f %7.3f %14s %14s %14s %14s %14s %13s %7s\n", name.c_str(), t.files,
                Share(t.withinQuarter, int(t.errors.size())).c_str(), Quantile(t.errors, 0.5), Quantile(t.errors, 0.95),
                cal[0], cal[1], cal[2], laps, clear, falseJ, Share(t.files - t.suggested, t.files).c_str());
}

// The goals' groups: well-made surveys (noise up to 10 nT, near enough holes), hard ones (noise of
// 10-30 nT, spikes, weak cages, far holes), and holes without a cage.
bool IsHard(const std::string& condition)
{
    for (const char* hard : {"noisy", "spikes", "weak", "far", "wide-far", "weak-noisy"}) {
        if (condition == hard) {
            return true;
        }
    }
    return false;
}

bool RunAccuracyTable(const std::filesystem::path& dir)
{
    const std::vector<TruthRow> rows = ReadTruth(dir / "truth.csv");
    if (rows.empty()) {
        std::fprintf(stderr,
                     "no bench set in %s (build the target bench_interpretation, or run "
                     "orvek-samplegen --bench DIR SEED)\n",
                     dir.string().c_str());
        return false;
    }
    std::vector<std::string> order;
    std::map<std::string, Tally> byCondition;
    Tally wellMade, hard, noCage, all;
    auto slot = std::make_unique<FileSlot>();
    for (const TruthRow& row : rows) {
        if (!byCondition.count(row.condition)) {
            order.push_back(row.condition);
        }
        if (FullLoad(*slot, (dir / row.file).string()) != LoadResult::Ok) {
            std::fprintf(stderr, "cannot load %s\n", row.file.c_str());
            return false;
        }
        const CageSuggestion s = SuggestCage(slot->primary);
        Score(row, s, byCondition[row.condition]);
        Score(row, s, !row.cage ? noCage : IsHard(row.condition) ? hard : wellMade);
        Score(row, s, all);
        if (std::getenv("ORVEK_BENCH_VERBOSE")) {
            std::string joints;
            for (float j : s.joints) {
                joints += (joints.empty() ? "" : ";") + std::to_string(j).substr(0, 5);
            }
            std::printf("%s truth %.2f got %s conf %.2f joints %s | %s\n", row.file.c_str(), row.bottom,
                        s.bottom ? std::to_string(*s.bottom).c_str() : "none", double(s.confidence), joints.c_str(),
                        s.reason.c_str());
        }
    }
    std::printf("bench set %s: %zu files\n", dir.string().c_str(), rows.size());
    PrintHeader();
    for (const std::string& name : order) {
        PrintRow(name, byCondition[name]);
    }
    PrintRow("well-made", wellMade);
    PrintRow("hard", hard);
    PrintRow("no cage", noCage);
    PrintRow("all", all);
    std::printf("\n");
    return true;
}

// A full-capacity file at a 5 cm and at a 25 cm step (the coarse one spans 512 m and gives the
// routine four times the grid points).
void BM_SuggestCage2048(benchmark::State& state)
{
    auto slot = std::make_unique<FileSlot>();
    const std::string name = "timing-2048-" + std::to_string(state.range(0)) + "cm.cdd";
    if (FullLoad(*slot, (g_setDirs.front() / name).string()) != LoadResult::Ok) {
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
        g_setDirs.assign(argv + 1, argv + argc);
    }
    for (const std::filesystem::path& dir : g_setDirs) {
        if (!RunAccuracyTable(dir)) {
            return 1;
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
