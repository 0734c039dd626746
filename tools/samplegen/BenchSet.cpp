#include "BenchSet.h"

#include "CageModel.h"
#include "CddWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace {

constexpr int kStepsCm[] = {5, 10, 20, 25};
constexpr int kMaxCount = 2048;

// What is laid over the probe's own noise and wander.
struct Disturbance {
    double driftSlope = 0.0;  // nT per metre of depth
    double waveAmplitude = 0.0;
    double wavePeriod = 20.0;
    double wavePhase = 0.0;
    double boulderMoment = 0.0;  // a magnetic boulder or lens well away from the hole
    double boulderDepth = 0.0;
    double boulderDistance = 5.0;
    double spikesPerMetre = 0.0;
    double spikeShare = 0.0;  // of the samples, on top of spikesPerMetre
    double spikeMin = 100;
    double spikeMax = 3000;
};

struct BenchPlan {
    std::string fileName;
    std::string condition;
    bool cage = true;
    int stepCm = 25;
    int startCm = 0;
    int count = 0;
    PileModel pile;
    Disturbance disturbance;
    uint64_t seed = 0;
};

bool Is(const std::string& condition, const char* name) { return condition == name; }

int PickStep(SplitMix& rng, const std::string& condition)
{
    for (int step : kStepsCm) {
        if (condition == "step-" + std::to_string(step)) {
            return step;
        }
    }
    return kStepsCm[rng.Next() % 4];
}

// What a condition of the field adds to a cage: lap ends that act as full poles, a short last
// section, a wide cage with the hole well off it, bars of unequal strength within a section. The
// older conditions have none of these; the field mix draws each of them at random.
struct CageTraits {
    bool freeLaps = false;
    bool shortBottom = false;
    bool wide = false;
    double barSpread = 0.0;
};

CageTraits TraitsOf(SplitMix& rng, const std::string& condition)
{
    CageTraits t;
    if (Is(condition, "free-laps")) {
        t.freeLaps = true;
    } else if (Is(condition, "short-bottom")) {
        t.shortBottom = true;
        t.freeLaps = rng.Uniform(0, 1) < 0.5;
    } else if (Is(condition, "wide-far")) {
        t.wide = true;
        t.freeLaps = rng.Uniform(0, 1) < 0.3;
    } else if (Is(condition, "weak-noisy")) {
        t.freeLaps = rng.Uniform(0, 1) < 0.3;
    } else if (Is(condition, "uneven-bars")) {
        t.barSpread = rng.Uniform(0.3, 0.6);
    } else if (Is(condition, "field-mix")) {
        t.freeLaps = rng.Uniform(0, 1) < 0.5;
        t.shortBottom = rng.Uniform(0, 1) < 0.4;
        t.wide = rng.Uniform(0, 1) < 0.3;
        t.barSpread = rng.Uniform(0, 1) < 0.5 ? rng.Uniform(0.2, 0.5) : 0.0;
    }
    return t;
}

// Sections of roughly 9 to 12 m from the top, each with as many or fewer and as thick or thinner
// bars than the one above; a strong-lap cage gets a loose lap a few metres above a light bottom
// section, so the lap outshines the bottom; a short bottom section ends 1.5 to 4 m below the
// last lap, so its top end stands close above the bottom.
void PlanCage(SplitMix& rng, PileModel& p, const std::string& condition, const CageTraits& traits)
{
    const bool weak = Is(condition, "weak") || Is(condition, "weak-noisy");
    const bool strongLaps = Is(condition, "strong-laps");
    p.lapLength = rng.Uniform(0.8, 1.2);
    p.lapEndFreeFraction = strongLaps ? rng.Uniform(0.6, 1.0) : rng.Uniform(0.05, 0.3);
    p.polarity = Is(condition, "reversed") ? -rng.Uniform(0.6, 1.2) : 1.0;

    const double section = rng.Uniform(9.0, 12.0);
    for (double j = p.cageTop + section; j < p.cageBottom - 3.0; j += section) {
        p.joints.push_back(std::round(j * 20.0) / 20.0);
    }
    if (strongLaps) {
        const double j = std::round((p.cageBottom - rng.Uniform(3.0, 6.0)) * 20.0) / 20.0;
        while (!p.joints.empty() && p.joints.back() > j - 3.0) {
            p.joints.pop_back();
        }
        if (j - p.cageTop > 3.0) {
            p.joints.push_back(j);
        }
    }
    if (traits.freeLaps) {
        p.lapEndFreeFraction = rng.Uniform(0.8, 1.0);
    }
    if (traits.shortBottom) {
        // The bottom section (from its top end, half a lap above the joint) is 1.5 to 4 m long.
        const double length = rng.Uniform(1.5, 4.0);
        const double j = std::round((p.cageBottom - length + p.lapLength / 2) * 20.0) / 20.0;
        while (!p.joints.empty() && p.joints.back() > j - 4.0) {
            p.joints.pop_back();
        }
        if (j - p.cageTop > 4.0) {
            p.joints.push_back(j);
        }
    }
    p.barSpread = traits.barSpread;
    int bars = weak ? int(rng.Uniform(4, 9)) : int(rng.Uniform(10, 25));
    double diameter = weak ? rng.Uniform(12, 16) : rng.Uniform(20, 32);
    for (std::size_t s = 0; s <= p.joints.size(); ++s) {
        p.sections.push_back({bars, std::round(diameter)});
        bars = std::max(weak ? 4 : 6, bars - int(rng.Uniform(0, 5)));
        diameter = std::max(weak ? 12.0 : 16.0, diameter - rng.Uniform(0, 4));
    }
    if (strongLaps && !p.joints.empty()) {
        p.sections.back() = {int(rng.Uniform(6, 9)), std::round(rng.Uniform(16, 18))};
    }
}

BenchPlan Plan(const std::string& condition, int number, uint64_t seed)
{
    BenchPlan plan;
    plan.condition = condition;
    plan.seed = seed;
    plan.cage = !Is(condition, "no-cage");
    SplitMix rng(seed);

    plan.stepCm = PickStep(rng, condition);
    const double maxDepth = (kMaxCount - 1) * plan.stepCm / 100.0;
    const double tail = Is(condition, "short-tail") ? rng.Uniform(1.0, 1.5) : rng.Uniform(2.0, 6.0);

    PileModel& p = plan.pile;
    p.cageRadius = rng.Uniform(0.35, 0.65);
    p.cageTop = rng.Uniform(-0.8, 0.5);
    p.cageBottom = std::round(rng.Uniform(8.0, std::min(60.0, maxDepth - tail)) * 100.0) / 100.0;
    p.holeOffset = Is(condition, "near")  ? rng.Uniform(0.2, 0.3)
                   : Is(condition, "far") ? rng.Uniform(1.0, 1.2)
                   : Is(condition, "weak") ? rng.Uniform(0.8, 1.2)
                                           : rng.Uniform(0.3, 0.9);
    p.holeBearingDeg = rng.Uniform(0.0, 360.0);
    p.holeDrift = rng.Uniform(0.0, 0.003);
    p.earth = {rng.Uniform(15000, 35000), rng.Uniform(-3000, 3000), rng.Uniform(35000, 55000)};
    p.earthGradientZ = rng.Uniform(0.3, 1.0);
    p.noise = Is(condition, "noisy") ? rng.Uniform(10, 30) : Is(condition, "no-cage") ? rng.Uniform(3, 30)
                                                                                      : rng.Uniform(3, 10);
    const CageTraits traits = TraitsOf(rng, condition);
    if (traits.wide) {
        p.cageRadius = rng.Uniform(0.4, 0.75);
        p.holeOffset = rng.Uniform(0.2, 1.2);
    }
    if (Is(condition, "weak-noisy")) {
        p.noise = rng.Uniform(20, 30);
    }
    if (plan.cage) {
        PlanCage(rng, p, condition, traits);
    } else {
        p.sections.push_back({0, 20.0});
    }

    const int startCm = int(std::lround((p.cageBottom + tail) * 100.0 / plan.stepCm)) * plan.stepCm;
    plan.startCm = startCm;
    plan.count = std::min(kMaxCount, startCm / plan.stepCm + 1);

    // Disturbances: always in their own condition, at random in the holes without a cage.
    Disturbance& d = plan.disturbance;
    const bool anyDisturbance = !plan.cage;
    if (Is(condition, "drift") || (anyDisturbance && rng.Uniform(0, 1) < 0.5)) {
        const double span = plan.count * plan.stepCm / 100.0;
        d.driftSlope = rng.Uniform(10, 50) / span * (rng.Uniform(0, 1) < 0.5 ? -1 : 1);
        d.waveAmplitude = rng.Uniform(10, 40);
        d.wavePeriod = rng.Uniform(15, 40);
        d.wavePhase = rng.Uniform(0, 2 * std::numbers::pi);
    }
    if (Is(condition, "drift") || (anyDisturbance && rng.Uniform(0, 1) < 0.5)) {
        d.boulderDistance = rng.Uniform(3, 8);
        d.boulderDepth = rng.Uniform(3, startCm / 100.0);
        d.boulderMoment = rng.Uniform(20, 150) * std::pow(d.boulderDistance, 3) * (rng.Uniform(0, 1) < 0.5 ? -1 : 1);
    }
    if (Is(condition, "spikes") || (anyDisturbance && rng.Uniform(0, 1) < 0.5)) {
        d.spikesPerMetre = rng.Uniform(0.1, 0.35);
    }
    if (Is(condition, "weak-noisy") || (Is(condition, "field-mix") && rng.Uniform(0, 1) < 0.5)) {
        d.spikeShare = 0.01;
        d.spikeMin = 100;
        d.spikeMax = 500;
    }
    if (Is(condition, "field-mix") && rng.Uniform(0, 1) < 0.5) {
        const double span = plan.count * plan.stepCm / 100.0;
        d.driftSlope = rng.Uniform(10, 50) / span * (rng.Uniform(0, 1) < 0.5 ? -1 : 1);
    }

    char name[64];
    std::snprintf(name, sizeof name, "B%03d-%s.cdd", number, condition.c_str());
    plan.fileName = name;
    return plan;
}

std::vector<ProbeSample> Survey(const BenchPlan& plan)
{
    const CageModel model(plan.pile, plan.seed);
    std::vector<ProbeSample> samples = model.Survey(plan.startCm, plan.stepCm, plan.count, plan.seed * 7 + 3);
    const Disturbance& d = plan.disturbance;
    SplitMix rng(plan.seed * 7 + 5);
    const double spikeChance = d.spikesPerMetre * plan.stepCm / 100.0 + d.spikeShare;
    for (ProbeSample& s : samples) {
        const double z = s.depth;
        double extra = d.driftSlope * z + d.waveAmplitude * std::sin(2 * std::numbers::pi * z / d.wavePeriod + d.wavePhase);
        if (d.boulderMoment != 0.0) {
            const double u = z - d.boulderDepth;
            const double r2 = u * u + d.boulderDistance * d.boulderDistance;
            extra += d.boulderMoment * (2 * u * u - d.boulderDistance * d.boulderDistance) / (r2 * r2 * std::sqrt(r2));
        }
        s.z += int32_t(std::lround(extra));
        if (spikeChance > 0 && rng.Uniform(0, 1) < spikeChance) {
            const int32_t size = int32_t(rng.Uniform(d.spikeMin, d.spikeMax)) * (rng.Uniform(0, 1) < 0.5 ? -1 : 1);
            (rng.Uniform(0, 1) < 0.7 ? s.z : rng.Uniform(0, 1) < 0.5 ? s.x : s.y) += size;
        }
    }
    return samples;
}

std::string Content(const BenchPlan& plan)
{
    CddContent c;
    c.primary.stepCm = plan.stepCm;
    c.primary.startDepth = float(plan.startCm / 100.0);
    c.primary.project = "BENCH";
    c.primary.site = plan.condition;
    c.primary.pileNo = plan.fileName.substr(0, 4);
    c.primary.year = 2025;
    c.primary.samples = Survey(plan);
    c.secondary = c.primary;
    c.secondary.samples.clear();
    return SerializeCdd(c);
}

// Peak to peak of a profile once the straight line that best fits it is taken out (what a slope of
// fields from farther away adds is not a feature of the place).
double Relief(const std::vector<double>& v)
{
    const double n = double(v.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        sx += double(i);
        sy += v[i];
        sxx += double(i) * double(i);
        sxy += double(i) * v[i];
    }
    const double slope = (n * sxy - sx * sy) / std::max(1e-9, n * sxx - sx * sx);
    const double offset = (sy - slope * sx) / n;
    double lo = INFINITY, hi = -INFINITY;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double r = v[i] - offset - slope * double(i);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    return hi - lo;
}

// How plainly a lap shows in Z: the relief of its own ends' field within 2.5 m of its centre,
// against the noise and against the relief there of the remanence changes along the bars, which
// make pole pairs of every spacing: a lap no stronger than that patchiness looks like one of its
// pairs.
std::pair<double, double> LapContrast(const BenchPlan& plan, const CageModel& model, double joint)
{
    std::vector<double> lap, pieces;
    for (double z = joint - 2.5; z <= joint + 2.5; z += 0.05) {
        lap.push_back(model.PoleFieldAt(z, PoleKind::LapEnd).z);
        pieces.push_back(model.PoleFieldAt(z, PoleKind::Piece).z);
    }
    const double relief = Relief(lap);
    return {relief / plan.pile.noise, relief / std::max(1e-9, Relief(pieces))};
}

std::string TruthLine(const BenchPlan& plan)
{
    std::string line = plan.fileName + "," + plan.condition + ",";
    char buf[32];
    if (plan.cage) {
        std::snprintf(buf, sizeof buf, "%.2f", plan.pile.cageBottom);
        line += buf;
    }
    line += ",";
    for (std::size_t j = 0; j < plan.pile.joints.size(); ++j) {
        std::snprintf(buf, sizeof buf, "%s%.2f", j ? ";" : "", plan.pile.joints[j]);
        line += buf;
    }
    line += ",";
    const CageModel model(plan.pile, plan.seed);
    for (std::size_t j = 0; j < plan.pile.joints.size(); ++j) {
        const auto [noise, pieces] = LapContrast(plan, model, plan.pile.joints[j]);
        std::snprintf(buf, sizeof buf, "%s%.1f/%.2f", j ? ";" : "", noise, pieces);
        line += buf;
    }
    return line + "\n";
}

}  // namespace

const std::vector<BenchCondition>& BenchConditions()
{
    static const std::vector<BenchCondition> list = {
        {"quiet", 24},  {"noisy", 24},       {"spikes", 24},      {"weak", 24},   {"drift", 24},
        {"near", 24},   {"far", 24},         {"short-tail", 24},  {"strong-laps", 24}, {"reversed", 24},
        {"step-5", 24}, {"step-10", 24},     {"step-20", 24},     {"step-25", 24}, {"free-laps", 24},
        {"short-bottom", 24}, {"wide-far", 24}, {"weak-noisy", 24}, {"uneven-bars", 24}, {"field-mix", 48},
        {"no-cage", 40},
    };
    return list;
}

int WriteBenchSet(const std::filesystem::path& dir, uint64_t seed)
{
    std::filesystem::create_directories(dir);
    SplitMix seeds(seed);
    std::string truth = "file,condition,bottom,joints,lap_contrast\n";
    int number = 0;
    for (const BenchCondition& condition : BenchConditions()) {
        for (int k = 0; k < condition.files; ++k) {
            const BenchPlan plan = Plan(condition.name, ++number, seeds.Next() >> 16);
            WriteFileBytes(dir / plan.fileName, Content(plan));
            truth += TruthLine(plan);
        }
    }
    WriteFileBytes(dir / "truth.csv", truth);

    // Full-capacity files for timing the interpretation.
    for (const char* step : {"step-5", "step-25"}) {
        BenchPlan timing = Plan(step, 0, seed);
        timing.fileName = "timing-2048-" + std::to_string(timing.stepCm) + "cm.cdd";
        timing.count = kMaxCount;
        timing.startCm = (kMaxCount - 1) * timing.stepCm;
        WriteFileBytes(dir / timing.fileName, Content(timing));
    }
    return number;
}
