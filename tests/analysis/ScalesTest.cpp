#include "AnalysisTestData.h"

#include "analysis/BandLayout.h"
#include "analysis/BandScale.h"
#include "analysis/Scales.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Scales, DepthAxisRunsFromWholeMetresToTheNextFivePastTheDeepest)
{
    const CFileData d = MakeData({12.3f, 8.0f, 0.0f}, {});
    EXPECT_EQ(DepthMin(d, true), 0.0f);
    EXPECT_EQ(DepthAxisEnd(d), 15.0f);
    const float expected[] = {0, 3, 6, 9, 12, 15};
    for (int i = 0; i <= 5; ++i)
        EXPECT_FLOAT_EQ(DepthAxisLabelValue(0, 15, i), expected[i]);

    EXPECT_EQ(DepthAxisEnd(MakeData({15.0f, 0.0f}, {})), 20.0f);

    const CFileData shallow = MakeData({20.1f, 7.8f}, {});
    EXPECT_EQ(DepthMin(shallow, false), 7.8f);
    EXPECT_EQ(DepthMin(shallow, true), 7.0f);
    EXPECT_EQ(DepthAxisEnd(shallow), 22.0f);  // 7 + 5 x ((20 - 7) / 5 + 1)
}

TEST(Scales, RangeSearchesReadOnlyTheCountedEntries)
{
    CFileData d = MakeData(Depths(10, 0.25f, 4), {-120, 880, 300, 5});
    d.m_smoothed[4].z = 100000;  // beyond the smoothed count
    EXPECT_EQ(ComponentMax(d, kComponentZ), 880);
    EXPECT_EQ(ComponentMin(d, kComponentZ), -120);
    const ValueRange r = ValueRangeOf(d, kComponentZ);
    EXPECT_EQ(r.top, 980);
    EXPECT_EQ(r.bottom, -220);

    d.m_nSmoothedCount = 0;  // still entry 0
    EXPECT_EQ(ComponentMax(d, kComponentZ), -120);
    d.m_nSmoothedCount = -7;
    EXPECT_EQ(ComponentMin(d, kComponentZ), -120);
    d.m_nSmoothedCount = 1 << 30;
    d.m_nCount = 0xFFFFFFFFu;
    EXPECT_EQ(ComponentMax(d, kComponentZ), 100000);
    EXPECT_EQ(SmoothedEntries(d), kMaxSamples);
    EXPECT_EQ(RawEntries(d), kMaxSamples);
    EXPECT_GE(GradientMax(d, kComponentZ), 0);
}

TEST(Scales, GradientsTruncateTowardZeroAndAlwaysSpanZero)
{
    // Differences 1, -1, 4 with a 30 cm step: 100/30 = 3, -100/30 = -3, 400/30 = 13.
    CFileData d = MakeData(Depths(5, 0.3f, 4), {0, 1, 0, 4}, 30);
    EXPECT_EQ(Gradient(d, 0, kComponentZ), 0);
    EXPECT_EQ(Gradient(d, 1, kComponentZ), 3);
    EXPECT_EQ(Gradient(d, 2, kComponentZ), -3);
    EXPECT_EQ(Gradient(d, 3, kComponentZ), 13);
    EXPECT_EQ(GradientMax(d, kComponentZ), 13);
    EXPECT_EQ(GradientMin(d, kComponentZ), -3);
    const GradientRange g = GradientRangeOf(d, kComponentZ);
    EXPECT_EQ(g.topG, 13 + 5 / 2);  // e = 16 / 3 = 5, h = 2
    EXPECT_EQ(g.spanG, 16 + 5);

    // A falling curve only: the maximum stays at g(0) = 0.
    const CFileData falling = MakeData(Depths(5, 0.25f, 3), {50, 40, 20});
    EXPECT_EQ(GradientMax(falling, kComponentZ), 0);
    EXPECT_EQ(GradientMin(falling, kComponentZ), -80);

    // A step of 0 has no gradient rather than a division by zero.
    d.m_nStep = 0;
    EXPECT_EQ(Gradient(d, 3, kComponentZ), 0);
    EXPECT_FALSE(GradientRangeOf(d, kComponentZ).Valid());

    // Differences large enough to overflow 32 bits once multiplied by 100 saturate.
    CFileData big = MakeData(Depths(5, 0.25f, 2), {0, 0}, 1);
    big.m_smoothed[1].dz = 2000000000;
    EXPECT_EQ(Gradient(big, 1, kComponentZ), 2147483647);
}

TEST(Scales, DepthPixelTableListsShallowestFirst)
{
    CFileData d = MakeData({10.0f, 9.75f, 9.5f}, {});
    d.m_depthPixels[5] = {7, 7, 7.0f};
    BuildDepthPixelTable(d, 1020);  // A0 = 9, A1 = 14, 200 px per metre
    EXPECT_EQ(d.m_depthPixels[0].index, 0);
    EXPECT_EQ(d.m_depthPixels[0].x, 110);
    EXPECT_EQ(d.m_depthPixels[0].depth, 9.5f);
    EXPECT_EQ(d.m_depthPixels[1].x, 160);
    EXPECT_EQ(d.m_depthPixels[2].index, 2);
    EXPECT_EQ(d.m_depthPixels[2].x, 210);
    EXPECT_EQ(d.m_depthPixels[5].x, 0);  // stale rows are cleared

    CFileData empty;
    empty.m_depthPixels[0] = {1, 2, 3.0f};
    BuildDepthPixelTable(empty, 1020);
    EXPECT_EQ(empty.m_depthPixels[0].x, 0);
}

TEST(Scales, DamagedDepthsNeitherCrashNorSpoilTheAxis)
{
    CFileData d = MakeData({NAN, 12.3f, 3.5f}, {1, 2, 3});
    EXPECT_EQ(DepthMin(d, true), 3.0f);
    EXPECT_EQ(DepthAxisEnd(d), 13.0f);
    BuildDepthPixelTable(d, 1020);
    EXPECT_EQ(d.m_depthPixels[2].x, 0);  // the NaN sample lands somewhere harmless

    CFileData huge = MakeData({3e38f, -3e38f}, {1, 2});
    const BandScale s = BandScale::ForScreen(huge, kComponentZ, 1020, 5, 100);
    EXPECT_FALSE(s.DepthValid());
    EXPECT_EQ(s.X(5.0f), 10);
    BuildDepthPixelTable(huge, 1020);
}

TEST(BandScale, ScreenMappingKeepsItsScalesInFloats)
{
    // Values -120 .. 880 (top 980, bottom -220), gradients -30 .. 60 (topG 75, spanG 120).
    CFileData d = MakeData({10.0f, 9.75f, 9.5f, 9.25f}, {-120, 880, 880, 850}, 100);
    d.m_smoothed[1].dz = 60;
    d.m_smoothed[2].dz = -30;
    d.m_smoothed[3].dz = 0;
    const BandScale s = BandScale::ForScreen(d, kComponentZ, 1020, 5, 100);
    ASSERT_TRUE(s.DepthValid() && s.ValueValid() && s.GradientValid());
    EXPECT_EQ(s.X(9.0f), 10);
    EXPECT_EQ(s.X(9.5f), 110);
    EXPECT_EQ(s.X(14.0f), 1010);
    EXPECT_EQ(s.ValueY(980), 5);
    EXPECT_EQ(s.ValueY(880), 21);   // 100 x float(1/6) + 5
    EXPECT_EQ(s.ValueY(-220), 205);
    EXPECT_EQ(s.GradientY(60), 222);  // 15 x float(5/6) + 210
    EXPECT_EQ(s.ZeroY(), 272);
    EXPECT_EQ(s.GradientY(-30), 297);

    // 2G / range = 1/25 is just below 0.04 as a float; the product is not rounded again, so the
    // value half-way down the panel truncates to the row above the exact one.
    const CFileData v = MakeData({10.0f, 9.0f}, {-300, 534}, 25);  // top 617, bottom -383
    const BandScale t = BandScale::ForScreen(v, kComponentZ, 1020, 0, 20);
    EXPECT_EQ(t.ValueY(117), 19);
}

TEST(BandScale, PageMappingUsesTheRectangle)
{
    CFileData d = MakeData({10.0f, 9.5f}, {-120, 880}, 100);
    const BandScale p = BandScale::ForPage(d, kComponentZ, 100, 1100, 50, 300);  // A0 9, A1 14
    EXPECT_EQ(p.PlotLeft(), 100);
    EXPECT_EQ(p.X(9.5f), 200);
    EXPECT_EQ(p.X(14.0f), 1100);
    EXPECT_EQ(p.ValueY(980), 50);
    EXPECT_EQ(p.ValueY(-220), 650);
    EXPECT_EQ(p.ValueY(-120), 50 + 1100 * 600 / 1200);
}

TEST(BandScale, DegenerateDataHasNoScaleInsteadOfADivisionByZero)
{
    const CFileData flat = MakeData(Depths(10, 0.25f, 5), {7, 7, 7, 7, 7});
    const BandScale s = BandScale::ForScreen(flat, kComponentZ, 1020, 5, 100);
    EXPECT_TRUE(s.DepthValid());
    EXPECT_FALSE(s.ValueValid());
    EXPECT_FALSE(s.GradientValid());
    EXPECT_EQ(s.ValueY(7), 5);
    EXPECT_EQ(s.ZeroY(), 210);
    // The labels of a flat band need no division and show the one value.
    EXPECT_EQ(ValueLabel(s.Values().top, s.Values().bottom, 1, 2), 8);
}
