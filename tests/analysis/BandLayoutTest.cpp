#include "AnalysisTestData.h"

#include "analysis/BandCurves.h"
#include "analysis/BandLayout.h"
#include "analysis/BandScale.h"
#include "analysis/CubicSpline.h"

#include <gtest/gtest.h>

TEST(BandLayout, UnitHeightAndBandTops)
{
    EXPECT_EQ(UnitHeight(1, 640), 200);
    EXPECT_EQ(UnitHeight(2, 650), 100);
    EXPECT_EQ(UnitHeight(3, 969), 101);
    EXPECT_EQ(UnitHeight(0, 969), 0);
    // A tiny client truncates toward zero into non-positive heights.
    EXPECT_EQ(UnitHeight(1, 10), -10);
    EXPECT_EQ(UnitHeight(3, 50), -1);
    EXPECT_EQ(LowestBandBottom(3, 100), 930);

    EXPECT_EQ(BandTop(1, 100), 5);
    EXPECT_EQ(BandTop(3, 100), 625);
    const BandRects r = BandRectsFor(2, 1280, 1024, 100);
    EXPECT_EQ(r.valueFrame, (PanelRect{10, 315, 1270, 515}));
    EXPECT_EQ(r.gradientFrame, (PanelRect{10, 520, 1270, 620}));
    EXPECT_EQ(r.componentTitle, (PanelRect{1080, 315, 1280, 1024}));
    EXPECT_EQ(r.gradientTitle, (PanelRect{1080, 525, 1280, 1024}));
}

TEST(BandLayout, ComponentsTakeSlotsInTheOrderXYZ)
{
    struct Case {
        bool x, y, z;
        int slotX, slotY, slotZ;
    };
    const Case cases[] = {
        {true, true, true, 1, 2, 3},   {false, false, true, 0, 0, 1}, {true, false, true, 1, 0, 2},
        {false, true, true, 0, 1, 2},  {true, true, false, 1, 2, 0},  {false, true, false, 0, 1, 0},
        {false, false, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BandSlotOf(kComponentX, c.x, c.y, c.z), c.slotX);
        EXPECT_EQ(BandSlotOf(kComponentY, c.x, c.y, c.z), c.slotY);
        EXPECT_EQ(BandSlotOf(kComponentZ, c.x, c.y, c.z), c.slotZ);
    }
}

TEST(BandLayout, GridAndDepthAxisPositions)
{
    EXPECT_EQ(GridLineY(5, 101, 1), 45);  // 2G / 5 = 40
    EXPECT_EQ(GridLineY(5, 101, 4), 165);
    EXPECT_EQ(GridLineX(1280, 1), 262);
    EXPECT_EQ(GridLineX(1280, 4), 1018);
    EXPECT_EQ(DepthAxisLabelX(1280, 0), 10);
    EXPECT_EQ(DepthAxisLabelX(1280, 2), 494);
    EXPECT_EQ(DepthAxisLabelX(1280, 5), 1240);
    EXPECT_EQ(DepthAxisMinorTickX(1280, 0), 10);
    EXPECT_EQ(DepthAxisMinorTickX(1280, 49), 1244);  // product before the division
}

TEST(BandLayout, ValueLabelsRoundOddValuesUpAndCutHundredsInOuterBands)
{
    // Values -120 .. 880 give top 980 and bottom -220.
    EXPECT_EQ(ValueLabel(980, -220, 1, 1), 700);
    EXPECT_EQ(ValueLabel(980, -220, 4, 1), 0);
    EXPECT_EQ(ValueLabel(980, -220, 1, 2), 740);
    EXPECT_EQ(ValueLabel(980, -220, 4, 2), 20);
    EXPECT_EQ(ValueLabel(980, -220, 4, 3), 0);
    // -21 (bottom -21, no range) is odd: -20, then cut to 0 in the outer bands.
    EXPECT_EQ(ValueLabel(-21, -21, 4, 1), 0);
    EXPECT_EQ(ValueLabel(-21, -21, 4, 2), -20);
    EXPECT_EQ(ValueLabel(-1000, -1399, 1, 3), -1000);  // -1399 + 319 = -1080, cut toward zero
}

namespace {

// Eight samples 0.25 m apart from 12 m up to 10.25 m (A0 10, A1 15) on a 1020 px client: the
// samples sit 50 px apart, from x = 60 (shallowest) to x = 410 (deepest).
CFileData EightSamples()
{
    return MakeData(Depths(12.0f, 0.25f, 8), {100, 300, 200, 600, 500, 400, 800, 700});
}

}  // namespace

TEST(BandCurves, PolylinesVisitTheSamplesOfTheirSlot)
{
    const CFileData d = EightSamples();
    const BandScale s = BandScale::ForScreen(d, kComponentZ, 1020, 5, 100);

    const auto v2 = ValueCurvePoints(d, kComponentZ, 2, s);
    ASSERT_EQ(v2.size(), 8u);
    EXPECT_EQ(v2.front(), (CurvePoint{410, s.ValueY(100)}));
    EXPECT_EQ(v2.back(), (CurvePoint{60, s.ValueY(700)}));

    const auto v3 = ValueCurvePoints(d, kComponentZ, 3, s);  // the deepest sample is left out
    ASSERT_EQ(v3.size(), 7u);
    EXPECT_EQ(v3.front(), (CurvePoint{360, s.ValueY(300)}));

    const auto g2 = GradientCurvePoints(d, kComponentZ, 2, s);  // the deepest borrows g(1)
    ASSERT_EQ(g2.size(), 8u);
    EXPECT_EQ(g2[0], (CurvePoint{410, s.GradientY(800)}));
    EXPECT_EQ(g2[1], (CurvePoint{360, s.GradientY(800)}));
    EXPECT_EQ(g2[2], (CurvePoint{310, s.GradientY(-400)}));

    const auto g3 = GradientCurvePoints(d, kComponentZ, 3, s);
    ASSERT_EQ(g3.size(), 7u);
    EXPECT_EQ(g3.front(), (CurvePoint{360, s.GradientY(800)}));
}

TEST(BandCurves, SplineCurvesRunOnePointPerColumn)
{
    const CFileData d = EightSamples();
    const BandScale s = BandScale::ForScreen(d, kComponentZ, 1020, 5, 100);

    const auto v = ValueCurvePoints(d, kComponentZ, 1, s);
    ASSERT_EQ(v.size(), 351u);  // x = 60 .. 410
    EXPECT_EQ(v.front(), (CurvePoint{60, s.ValueY(700)}));
    EXPECT_EQ(v[50], (CurvePoint{110, s.ValueY(800)}));
    EXPECT_EQ(v.back(), (CurvePoint{410, s.ValueY(100)}));
    for (std::size_t i = 1; i < v.size(); ++i)
        ASSERT_EQ(v[i].x, v[i - 1].x + 1);

    // Knots from sample 7 to sample 2; the curve starts at the second knot (sample 6, x = 110)
    // and runs L - 1 = 299 columns past it, beyond the last knot at x = 310.
    const auto g = GradientCurvePoints(d, kComponentZ, 1, s);
    ASSERT_EQ(g.size(), 300u);
    EXPECT_EQ(g.front().x, 110);
    EXPECT_EQ(g.back().x, 409);
    EXPECT_EQ(g.front().y, s.GradientY(Gradient(d, 6, kComponentZ)));
    EXPECT_EQ(g[200], (CurvePoint{310, s.GradientY(Gradient(d, 2, kComponentZ))}));
}

TEST(BandCurves, TooFewSamplesOrFlatDataGiveNoCurve)
{
    const CFileData one = MakeData({5.0f}, {10});
    const BandScale s1 = BandScale::ForScreen(one, kComponentZ, 1020, 5, 100);
    for (int slot = 1; slot <= 3; ++slot) {
        EXPECT_TRUE(ValueCurvePoints(one, kComponentZ, slot, s1).empty());
        EXPECT_TRUE(GradientCurvePoints(one, kComponentZ, slot, s1).empty());
    }

    const CFileData three = MakeData(Depths(5, 0.25f, 3), {10, 50, 20});
    const BandScale s3 = BandScale::ForScreen(three, kComponentZ, 1020, 5, 100);
    EXPECT_FALSE(ValueCurvePoints(three, kComponentZ, 1, s3).empty());
    EXPECT_TRUE(GradientCurvePoints(three, kComponentZ, 1, s3).empty());  // needs four samples
    EXPECT_FALSE(GradientCurvePoints(three, kComponentZ, 2, s3).empty());

    const CFileData flat = MakeData(Depths(5, 0.25f, 6), {9, 9, 9, 9, 9, 9});
    const BandScale sf = BandScale::ForScreen(flat, kComponentZ, 1020, 5, 100);
    EXPECT_TRUE(ValueCurvePoints(flat, kComponentZ, 1, sf).empty());
    EXPECT_TRUE(GradientCurvePoints(flat, kComponentZ, 2, sf).empty());
    EXPECT_TRUE(ValueCurvePoints(EightSamples(), kComponentZ, 4, sf).empty());
}

TEST(BandCurves, SamplesSharingColumnsStillGiveASaneSpline)
{
    // 200 samples on a 60 px wide client: about five samples per column.
    std::vector<int> values;
    for (int i = 0; i < 200; ++i)
        values.push_back((i * 37) % 101 - 50);
    const CFileData d = MakeData(Depths(60.0f, 0.25f, 200), values);
    const int g = UnitHeight(1, 400);
    const BandScale s = BandScale::ForScreen(d, kComponentZ, 60, 5, g);
    for (const auto& points : {ValueCurvePoints(d, kComponentZ, 1, s), GradientCurvePoints(d, kComponentZ, 1, s)}) {
        ASSERT_FALSE(points.empty());
        for (const CurvePoint& p : points) {
            EXPECT_GE(p.y, 5 - 3 * g);
            EXPECT_LE(p.y, 5 + 6 * g);
        }
    }

    // A client so small that G is negative still gives finite points.
    const BandScale tiny = BandScale::ForScreen(d, kComponentZ, 15, 5, UnitHeight(1, 10));
    EXPECT_NO_FATAL_FAILURE(ValueCurvePoints(d, kComponentZ, 1, tiny));
    EXPECT_NO_FATAL_FAILURE(GradientCurvePoints(d, kComponentZ, 2, tiny));
}
