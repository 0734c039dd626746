// The automatic interpretation on surveys built from the pole field itself: where the cage ends,
// where it laps, and what it says when there is nothing to suggest.
#include "analysis/Interpretation.h"
#include "data/MeasurementFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct PoleSet {
    double depth;
    double strength;  // nT * m^2 of the nearest bar; the others stand farther and weaker
};

// A survey from `deepest` up to 0 m: earth field, a slow drift, the poles of a cage of eight bars
// at 0.4 .. 1.6 m from the hole, Gaussian-like noise of about `noise` nT, sample 0 the deepest.
std::vector<SampleRecord> Survey(double deepest, int stepCm, const std::vector<PoleSet>& poles, double noise)
{
    std::vector<SampleRecord> samples;
    uint32_t state = 2024;
    const int count = int(std::lround(deepest * 100.0)) / stepCm + 1;
    for (int i = 0; i < count; ++i) {
        const double z = deepest - i * stepCm / 100.0;
        double field = 45000.0 + 0.6 * z + 20.0 * std::sin(z / 5.0);
        for (const PoleSet& p : poles) {
            for (int bar = 0; bar < 8; ++bar) {
                const double r = 0.4 + 1.2 * bar / 7.0;
                const double u = z - p.depth;
                field += p.strength * 0.16 / (r * r) * u / std::pow(u * u + r * r, 1.5);
            }
        }
        double n = 0.0;
        for (int k = 0; k < 4; ++k) {
            state = state * 1664525u + 1013904223u;
            n += double(state >> 8) / double(1u << 24) - 0.5;
        }
        SampleRecord s;
        s.z = int32_t(std::lround(field + noise * n * std::sqrt(3.0)));
        s.depth = float(z);
        samples.push_back(s);
    }
    return samples;
}

// A survey with all three components: every pole set a ring of 12 bars of radius `radius` around
// the pile axis, the hole `gap` beside the nearest bar, the earth field and `noise` nT of noise in
// each component. `zOnly` adds a swell to Z alone (a sensor's wander, ground seen from afar).
struct RingSet {
    double depth;
    double strength;  // nT * m^2 per bar
};

std::vector<SampleRecord> RingSurvey(double deepest, int stepCm, const std::vector<RingSet>& sets, double gap,
                                     double radius, double noise, const RingSet* zOnly = nullptr)
{
    std::vector<SampleRecord> samples;
    uint32_t state = 77;
    const auto rand = [&] {
        double n = 0.0;
        for (int k = 0; k < 4; ++k) {
            state = state * 1664525u + 1013904223u;
            n += double(state >> 8) / double(1u << 24) - 0.5;
        }
        return noise * n * std::sqrt(3.0);
    };
    const double d = gap + radius;
    const double bearing = 0.6;  // radians from north to the hole
    const int count = int(std::lround(deepest * 100.0)) / stepCm + 1;
    for (int i = 0; i < count; ++i) {
        const double z = deepest - i * stepCm / 100.0;
        double fx = 28000.0, fy = -1500.0, fz = 45000.0 + 0.6 * z;
        for (const RingSet& set : sets) {
            for (int bar = 0; bar < 12; ++bar) {
                const double angle = 2.0 * std::numbers::pi * (bar + 0.3) / 12.0;
                const double along = d - radius * std::cos(angle);  // towards the hole
                const double side = -radius * std::sin(angle);
                const double u = z - set.depth;
                const double r3 = std::pow(along * along + side * side + u * u, 1.5);
                const double h = set.strength * along / r3;
                fx += h * std::cos(bearing) - set.strength * side / r3 * std::sin(bearing);
                fy += h * std::sin(bearing) + set.strength * side / r3 * std::cos(bearing);
                fz += set.strength * u / r3;
            }
        }
        if (zOnly) {
            const double u = (z - zOnly->depth) / 1.5;
            fz += zOnly->strength * u * std::exp(-u * u);
        }
        SampleRecord s;
        s.x = int32_t(std::lround(fx + rand()));
        s.y = int32_t(std::lround(fy + rand()));
        s.z = int32_t(std::lround(fz + rand()));
        s.depth = float(z);
        samples.push_back(s);
    }
    return samples;
}

// Pieces of single bars magnetised more or less than the rest of them: each end a pole in Z alone
// at its own distance from the hole.
struct BarPiece {
    double depth, strength, distance;
};

void AddBarPieces(std::vector<SampleRecord>& samples, const std::vector<BarPiece>& pieces)
{
    for (SampleRecord& s : samples) {
        for (const BarPiece& p : pieces) {
            const double u = s.depth - p.depth;
            s.z += int32_t(std::lround(p.strength * u / std::pow(u * u + p.distance * p.distance, 1.5)));
        }
    }
}

CageSuggestion Suggest(const std::vector<SampleRecord>& samples, int stepCm)
{
    return SuggestCage(samples.data(), int(samples.size()), stepCm);
}

TEST(Interpretation, BottomIsTheDeepestPoleSetBetweenSamplesAtEveryStepAndPolarity)
{
    for (const int step : {5, 10, 20, 25}) {
        for (const double sign : {1.0, -1.0}) {
            // Cage top near the ground, bottom at 23.37 m, 4.6 m of background below it.
            const auto samples = Survey(28.0, step, {{0.3, -sign * 3000}, {23.37, sign * 3000}}, 5.0);
            const CageSuggestion s = Suggest(samples, step);
            ASSERT_TRUE(s.bottom) << step << " cm: " << s.reason;
            EXPECT_NEAR(*s.bottom, 23.37, 0.1) << step << " cm, sign " << sign;
            EXPECT_GT(s.confidence, 0.5f);
            EXPECT_LE(s.confidence, 1.0f);
            EXPECT_NE(s.reason.find("23."), std::string::npos) << s.reason;
        }
    }
}

TEST(Interpretation, LapsAboveTheBottomAreJointsNotTheBottom)
{
    // Two loose laps stronger than the bottom: opposite pole sets a metre apart, the deeper one
    // with the bottom's sign. A spike and a bottom only 1.2 m above the deepest sample.
    auto samples =
        Survey(31.2, 25, {{0.2, -2000}, {9.5, -4000}, {10.5, 4000}, {19.6, -4000}, {20.6, 4000}, {30.0, 2000}}, 4.0);
    samples[40].z += 2500;
    const CageSuggestion s = Suggest(samples, 25);
    ASSERT_TRUE(s.bottom) << s.reason;
    EXPECT_NEAR(*s.bottom, 30.0, 0.15);
    ASSERT_EQ(s.joints.size(), 2u) << s.reason;
    EXPECT_NEAR(s.joints[0], 10.0, 0.3);
    EXPECT_NEAR(s.joints[1], 20.1, 0.3);
}

TEST(Interpretation, WideCagesFarHolesAndFreeLapsAboveAShortBottomSection)
{
    // A cage 1.4 m across seen from 1.1 m beside it: the far side of the ring is 2.5 m away and its
    // broad field reaches well below the bottom.
    auto samples = RingSurvey(34.0, 10, {{0.3, -150}, {30.0, 150}}, 1.1, 0.7, 5.0);
    CageSuggestion s = Suggest(samples, 10);
    ASSERT_TRUE(s.bottom) << s.reason;
    EXPECT_NEAR(*s.bottom, 30.0, 0.1) << s.reason;
    EXPECT_GE(s.confidence, 0.8f);

    // A free lap (each end a full pole, as strong as the bottom) above a bottom section 2.5 m
    // long: a suggestion may miss the bottom, but never with a confidence the operator would trust.
    for (const double gap : {0.4, 0.8}) {
        samples = RingSurvey(30.0, 25, {{0.3, -100}, {23.5, -100}, {24.5, 100}, {26.0, 100}}, gap, 0.5, 5.0);
        s = Suggest(samples, 25);
        ASSERT_TRUE(s.bottom) << s.reason;
        if (std::abs(*s.bottom - 26.0) > 0.25) {
            EXPECT_LT(s.confidence, 0.5f) << gap << " m: " << *s.bottom << " " << s.reason;
        }
    }
    // From a far hole the lap's deeper end and a bottom 0.9 m below it merge into one set.
    for (const double bottom : {25.2, 25.4}) {
        samples = RingSurvey(30.0, 10, {{0.3, -100}, {23.5, -100}, {24.5, 100}, {bottom, 100}}, 1.1, 0.5, 3.0);
        s = Suggest(samples, 10);
        ASSERT_TRUE(s.bottom) << s.reason;
        if (std::abs(*s.bottom - bottom) > 0.25) {
            EXPECT_LT(s.confidence, 0.8f) << bottom << " m: " << *s.bottom << " " << s.reason;
        }
    }
}

TEST(Interpretation, LapsStandClearOfThePiecesOfSingleBars)
{
    // A tied lap of the ring at 10 m; at 20 m pieces of single bars magnetised more or less than
    // the rest of them, among them a pair like the lap's, as strong, a metre apart.
    auto samples = RingSurvey(34.0, 10, {{0.3, -100}, {9.5, -30}, {10.5, 30}, {30.0, 100}}, 0.5, 0.5, 3.0);
    AddBarPieces(samples, {{18.6, 100, 0.6}, {19.5, -100, 0.5}, {20.5, 100, 0.5}, {21.3, -100, 0.5}, {22.0, 60, 0.9}});
    const CageSuggestion s = Suggest(samples, 10);
    ASSERT_TRUE(s.bottom) << s.reason;
    EXPECT_NEAR(*s.bottom, 30.0, 0.1);
    ASSERT_EQ(s.joints.size(), 1u) << s.reason;
    EXPECT_NEAR(s.joints[0], 10.0, 0.3);
}

TEST(Interpretation, NoCageNoSuggestionAndAReason)
{
    auto samples = Survey(30.0, 10, {}, 10.0);
    for (std::size_t k = 17; k < samples.size(); k += 61) {
        samples[k].z -= 1500;  // isolated spikes
    }
    CageSuggestion s = Suggest(samples, 10);
    EXPECT_FALSE(s.bottom);
    EXPECT_TRUE(s.joints.empty());
    EXPECT_EQ(s.confidence, 0.0f);
    EXPECT_EQ(s.reason, "未发现钢筋笼端部的磁异常，不给出建议。");

    // Nothing to judge: no samples, a span of a few steps, a step or depths that make no sense.
    EXPECT_EQ(SuggestCage(nullptr, 0, 25).reason, "测点太少，无法判读。");
    EXPECT_EQ(SuggestCage(samples.data(), 8, 25).reason, "测点太少，无法判读。");
    EXPECT_EQ(SuggestCage(samples.data(), int(samples.size()), 0).reason, "步距或深度无效，无法判读。");
    for (SampleRecord& r : samples) {
        r.depth = 1e30f;
    }
    s = Suggest(samples, 10);
    EXPECT_FALSE(s.bottom);
    EXPECT_EQ(s.reason, "步距或深度无效，无法判读。");

    // A swell in Z that the horizontal components do not share is no bar end.
    const RingSet swell{18.0, 400.0};
    s = Suggest(RingSurvey(30.0, 10, {}, 0.5, 0.5, 4.0, &swell), 10);
    EXPECT_FALSE(s.bottom) << *s.bottom << " " << s.reason;
}

TEST(Interpretation, BundledSamplesGetTheirBottoms)
{
    std::ifstream in(std::string(ORVEK_SAMPLES_DIR) + "/truth.txt");
    std::stringstream text;
    text << in.rdbuf();
    const std::string truth = text.str();
    const std::regex entry(R"((P\d\d[^\s]*\.cdd)\n(?:.*\n)*?  cage: .*bottom ([0-9.]+) m)");
    int checked = 0;
    auto slot = std::make_unique<FileSlot>();
    for (auto it = std::sregex_iterator(truth.begin(), truth.end(), entry); it != std::sregex_iterator(); ++it) {
        const std::string file = (*it)[1];
        ASSERT_EQ(FullLoad(*slot, std::string(ORVEK_SAMPLES_DIR) + "/" + file), LoadResult::Ok) << file;
        const CageSuggestion s = SuggestCage(slot->primary);
        ASSERT_TRUE(s.bottom) << file << ": " << s.reason;
        EXPECT_NEAR(*s.bottom, std::stod((*it)[2]), 0.10) << file;
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

TEST(Interpretation, AFaintPairIsALapWhereTheSectionLengthPutsOne)
{
    // Clear laps at 10 and 20 m; below them, among pieces of single bars, two like faint pairs: at
    // 30 m, where the 10 m sections put the next lap, and at 35 m, where no lap can be.
    auto samples = RingSurvey(44.0, 10,
                              {{0.3, -100},
                               {9.5, -30},
                               {10.5, 30},
                               {19.5, -30},
                               {20.5, 30},
                               {29.5, -25},
                               {30.5, 25},
                               {34.5, -25},
                               {35.5, 25},
                               {40.0, 100}},
                              0.5, 0.5, 3.0);
    AddBarPieces(samples, {{26.6, -60, 0.5}, {28.0, 60, 0.5}, {32.2, -60, 0.5}, {33.4, 60, 0.5}, {37.1, 60, 0.5}});
    const CageSuggestion s = Suggest(samples, 10);
    ASSERT_TRUE(s.bottom) << s.reason;
    EXPECT_NEAR(*s.bottom, 40.0, 0.1);
    ASSERT_EQ(s.joints.size(), 3u) << s.reason;
    EXPECT_NEAR(s.joints[2], 30.0, 0.3);
}

TEST(Interpretation, PairsWhereOnlyAShortSectionCouldPutALapAreNoLaps)
{
    // Laps every 10 m; 4 m down and halfway between two laps the pieces of a single bar make pairs
    // as clear.
    auto samples = RingSurvey(52.0, 10,
                              {{0.3, -100},
                               {9.5, -30},
                               {10.5, 30},
                               {19.5, -30},
                               {20.5, 30},
                               {29.5, -30},
                               {30.5, 30},
                               {39.5, -30},
                               {40.5, 30},
                               {48.0, 100}},
                              0.5, 0.5, 3.0);
    AddBarPieces(samples, {{3.5, -200, 0.5}, {4.5, 200, 0.5}, {24.5, -200, 0.5}, {25.5, 200, 0.5}});
    const CageSuggestion s = Suggest(samples, 10);
    ASSERT_TRUE(s.bottom) << s.reason;
    EXPECT_NEAR(*s.bottom, 48.0, 0.1);
    ASSERT_EQ(s.joints.size(), 4u) << s.reason;
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(s.joints[k], 10.0 * double(k + 1), 0.3);
    }
}

TEST(Interpretation, ALightLastSectionUnderALooseLapIsTakenAsDoubtful)
{
    // Free lap ends of heavy sections at 20.5 and 21.5 m; the last section's bars, a twelfth as
    // strong, end at 25 m.
    const auto samples = RingSurvey(30.0, 10, {{0.3, -100}, {20.5, -1200}, {21.5, 1200}, {25.0, 100}}, 0.5, 0.5, 3.0);
    const CageSuggestion s = Suggest(samples, 10);
    ASSERT_TRUE(s.bottom) << s.reason;
    EXPECT_NEAR(*s.bottom, 25.0, 0.1);
    EXPECT_LT(s.confidence, 0.5f);
    EXPECT_EQ(s.reason, "底部与接头难以区分，请人工核对。");

    // The light section ends 4 m under the lap, farther than the lap's own field reaches: a pick at
    // the lap is not trusted while the fit still needs something down there.
    const auto far = RingSurvey(18.8, 10, {{0.3, -300}, {9.55, -60}, {10.65, 400}, {14.8, 60}}, 0.85, 0.6, 5.0);
    const CageSuggestion f = Suggest(far, 10);
    ASSERT_TRUE(f.bottom) << f.reason;
    if (std::abs(*f.bottom - 14.8) > 0.25) {
        EXPECT_LT(f.confidence, 0.8f) << *f.bottom;
        EXPECT_EQ(f.reason, "底部与接头难以区分，请人工核对。");
    }
}
}  // namespace
