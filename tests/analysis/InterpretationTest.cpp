// The automatic interpretation on surveys built from the pole field itself: where the cage ends,
// where it laps, and what it says when there is nothing to suggest.
#include "analysis/Interpretation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
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
    auto samples = Survey(31.2, 25, {{0.2, -2000}, {9.5, -4000}, {10.5, 4000}, {19.6, -4000}, {20.6, 4000},
                                     {30.0, 2000}},
                          4.0);
    samples[40].z += 2500;
    const CageSuggestion s = Suggest(samples, 25);
    ASSERT_TRUE(s.bottom) << s.reason;
    EXPECT_NEAR(*s.bottom, 30.0, 0.15);
    ASSERT_EQ(s.joints.size(), 2u) << s.reason;
    EXPECT_NEAR(s.joints[0], 10.0, 0.3);
    EXPECT_NEAR(s.joints[1], 20.1, 0.3);
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
}

}  // namespace
