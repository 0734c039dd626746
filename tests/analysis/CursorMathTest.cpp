#include "AnalysisTestData.h"

#include "analysis/CursorMath.h"
#include "analysis/MarkerMath.h"
#include "analysis/Scales.h"
#include "data/MeasurementFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <memory>

namespace {

// 49 samples from 12.00 m up to 0.00 m in 25 cm steps: the axis runs 0 .. 15 m. In a client
// 1000 px wide a metre is 980 / 15 px and a sample 16.33 px, so entry pixels fall between whole
// multiples of the pitch.
CFileData TwelveMetres(int width)
{
    CFileData d = MakeData(Depths(12.0f, 0.25f, 49), {});
    BuildDepthPixelTable(d, width);
    return d;
}

TEST(CursorMath, IndexFromPixelMeasuresFromTheShallowestSample)
{
    const CFileData d = TwelveMetres(1000);
    const CursorScale s = MakeCursorScale(d, 1000);
    ASSERT_TRUE(s.Valid());
    EXPECT_EQ(s.dminInt, 0.0f);
    EXPECT_EQ(s.dmax, 15.0f);
    EXPECT_EQ(s.count, 49);

    EXPECT_EQ(d.m_depthPixels[0].x, 10);
    EXPECT_EQ(d.m_depthPixels[1].x, 26);
    EXPECT_EQ(IndexFromPixel(s, 10), 0);
    EXPECT_EQ(IndexFromPixel(s, 26), 0);  // the entry's own pixel reads as its shallower neighbour
    EXPECT_EQ(IndexFromPixel(s, 27), 1);
    EXPECT_EQ(IndexFromPixel(s, 9), 0);     // -1 / 16.33 truncates toward zero
    EXPECT_EQ(IndexFromPixel(s, -30), -2);  // left of the samples: not clamped here
    EXPECT_EQ(IndexFromPixel(s, 990), 59);  // right of the deepest sample

    // A shallowest sample at 7.80 m starts the axis at 7 m; the origin sits 0.8 m further right.
    CFileData shallow = MakeData(Depths(20.05f, 0.25f, 50), {});
    BuildDepthPixelTable(shallow, 1020);
    const CursorScale t = MakeCursorScale(shallow, 1020);
    EXPECT_EQ(t.dmin, shallow.m_raw[49].depth);
    EXPECT_EQ(t.dminInt, 7.0f);
    EXPECT_EQ(t.dmax, 22.0f);
    EXPECT_EQ(IndexFromPixel(t, 64), 0);  // origin trunc(0.8 x 66.67) + 10 = 63
    EXPECT_EQ(IndexFromPixel(t, 81), 1);  // 18 / 16.67
}

TEST(CursorMath, DegenerateDataHasNoEntryInsteadOfADivisionByZero)
{
    CFileData none;
    EXPECT_FALSE(MakeCursorScale(none, 1000).Valid());
    EXPECT_EQ(IndexFromPixel(MakeCursorScale(none, 1000), 500), INT_MIN);
    EXPECT_EQ(ClickEntry(MakeCursorScale(none, 1000), 500), -1);

    CFileData d = TwelveMetres(1000);
    EXPECT_FALSE(MakeCursorScale(d, 20).Valid());  // no room between the margins
    EXPECT_TRUE(std::isnan(DepthAtPixel(MakeCursorScale(d, 20), 15)));
    d.m_nStep = 0;
    EXPECT_FALSE(MakeCursorScale(d, 1000).Valid());
    d.m_nStep = -25;
    EXPECT_FALSE(MakeCursorScale(d, 1000).Valid());

    // Depths too large for the axis still give numbers inside the int range.
    CFileData huge = MakeData({3e38f, 1.0f}, {});
    BuildDepthPixelTable(huge, 1000);
    const CursorScale h = MakeCursorScale(huge, 1000);
    if (h.Valid()) {
        EXPECT_GE(ClickEntry(h, INT_MAX), 0);
        EXPECT_LE(ClickEntry(h, INT_MIN), 1);
    }
}

TEST(CursorMath, DragDepthUsesTheExactShallowestDepth)
{
    CFileData d = MakeData(Depths(20.05f, 0.25f, 50), {});
    const CursorScale s = MakeCursorScale(d, 1020);
    const float dmin = d.m_raw[49].depth;
    EXPECT_EQ(DepthAtPixel(s, 10), dmin);
    EXPECT_EQ(DepthAtPixel(s, 1010), dmin + 1000.0f * ((22.0f - dmin) / 1000.0f));

    // Only samples from index 1 on, the first within 0.1 m wins.
    EXPECT_EQ(FindSampleNear(d, d.m_raw[0].depth), -1);
    EXPECT_EQ(FindSampleNear(d, d.m_raw[0].depth - 0.17f), 1);
    EXPECT_EQ(FindSampleNear(d, d.m_raw[3].depth + 0.05f), 3);
    EXPECT_EQ(FindSampleNear(d, d.m_raw[3].depth + 0.125f), -1);  // half-way between two samples
    EXPECT_EQ(FindSampleNear(d, 30.0f), -1);
    const CFileData dense = MakeData({10.0f, 9.95f, 9.9f}, {});
    EXPECT_EQ(FindSampleNear(dense, 9.93f), 1);  // both within 0.1 m: the first
    EXPECT_EQ(FindSampleNear(d, NAN), -1);
}

TEST(CursorMath, ArrowKeysStopAtBothEnds)
{
    CFileData d = TwelveMetres(1000);
    const CursorScale s = MakeCursorScale(d, 1000);

    EXPECT_EQ(StepLeft(d, s, 5).kind, ArrowStep::Kind::Moved);
    EXPECT_EQ(StepLeft(d, s, 5).entry, 4);
    // Entry 0 lies exactly on x = 10 and cannot be reached; at entry 0 the move is refused.
    EXPECT_EQ(StepLeft(d, s, 1).kind, ArrowStep::Kind::Refused);
    EXPECT_EQ(StepLeft(d, s, 1).entry, 1);
    EXPECT_EQ(StepLeft(d, s, 0).kind, ArrowStep::Kind::Refused);

    EXPECT_EQ(StepRight(d, s, 47).kind, ArrowStep::Kind::Moved);
    EXPECT_EQ(StepRight(d, s, 47).entry, 48);
    EXPECT_EQ(StepRight(d, s, 48).kind, ArrowStep::Kind::Ignored);
    EXPECT_EQ(StepRight(d, s, 60).kind, ArrowStep::Kind::Ignored);
    d.m_depthPixels[48].x = 990;  // on the right margin
    EXPECT_EQ(StepRight(d, s, 47).kind, ArrowStep::Kind::Refused);
    d.m_depthPixels[48].x = 989;
    EXPECT_EQ(StepRight(d, s, 47).kind, ArrowStep::Kind::Moved);
}

TEST(CursorMath, ArrowMovedCursorPointsBackAtItsEntry)
{
    const CFileData d = TwelveMetres(1000);
    const CursorScale s = MakeCursorScale(d, 1000);
    EXPECT_EQ(KeyCursorX(s, d, 1), 27);
    for (int entry = 0; entry < 49; ++entry)
        EXPECT_EQ(IndexFromPixel(s, KeyCursorX(s, d, entry)), entry) << entry;

    // Over every bundled file and a few window widths: wherever some pixel near the entry stands
    // for it, the cursor is put on such a pixel.
    int files = 0;
    for (const auto& file : std::filesystem::directory_iterator(ORVEK_SAMPLES_DIR)) {
        if (file.path().extension() != ".cdd")
            continue;
        auto slot = std::make_unique<FileSlot>();
        ASSERT_EQ(FullLoad(*slot, file.path().string()), LoadResult::Ok);
        ++files;
        CFileData& p = slot->primary;
        for (const int width : {640, 1000, 1277, 1600, 2560}) {
            BuildDepthPixelTable(p, width);
            const CursorScale t = MakeCursorScale(p, width);
            ASSERT_TRUE(t.Valid());
            for (int entry = 0; entry < t.count; ++entry) {
                const int pixel = p.m_depthPixels[entry].x;
                bool reachable = false;
                for (int x = pixel - 1; x <= pixel + 2; ++x)
                    reachable = reachable || IndexFromPixel(t, x) == entry;
                const int got = IndexFromPixel(t, KeyCursorX(t, p, entry));
                if (reachable)
                    EXPECT_EQ(got, entry) << file.path() << " width " << width << " entry " << entry;
                else
                    EXPECT_GE(got, entry) << file.path() << " width " << width << " entry " << entry;
            }
        }
    }
    EXPECT_GE(files, 6);
}

TEST(MarkerMath, MarkerLandsOnTheSampleUnderItsX)
{
    const CFileData d = TwelveMetres(1000);
    const CursorScale s = MakeCursorScale(d, 1000);
    const MarkerSpot spot = LocateMarker(s, d, 27);
    EXPECT_TRUE(spot.drawn);
    EXPECT_EQ(spot.entry, 1);
    EXPECT_EQ(spot.depth, 0.25f);
    EXPECT_FALSE(LocateMarker(s, d, -40).drawn);   // left of the samples
    EXPECT_FALSE(LocateMarker(s, d, 995).drawn);   // right of the deepest
    EXPECT_TRUE(LocateMarker(s, d, 5).drawn);      // still entry 0 by truncation
    EXPECT_FALSE(LocateMarker(MakeCursorScale(CFileData{}, 1000), d, 27).drawn);
}

TEST(MarkerMath, StoredDepthsSnapToASample)
{
    const CFileData d = TwelveMetres(1000);
    const CursorScale s = MakeCursorScale(d, 1000);
    // 9.00 m: trunc(9 / (15 / 980) + 10) + 1 = 599, entry trunc(589 / 16.33) = 36, at 9.00 m.
    EXPECT_EQ(RestoredMarkerX(s, 9.0f), 599);
    EXPECT_EQ(LocateMarker(s, d, 599).depth, 9.0f);
    // A depth between samples lands on the one IndexFromPixel finds.
    EXPECT_EQ(LocateMarker(s, d, RestoredMarkerX(s, 8.3f)).depth, 8.25f);
    // Every sample depth comes back as itself.
    for (int entry = 0; entry < 49; ++entry) {
        const float depth = d.m_depthPixels[entry].depth;
        EXPECT_EQ(LocateMarker(s, d, RestoredMarkerX(s, depth)).depth, depth) << entry;
    }
    EXPECT_EQ(RestoredMarkerX(s, NAN), 0);
    EXPECT_FALSE(IsStoredMarker(0.0f));
    EXPECT_FALSE(IsStoredMarker(-3.0f));
    EXPECT_TRUE(IsStoredMarker(0.25f));
}

}  // namespace
