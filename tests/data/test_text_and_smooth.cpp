#include "data/MeasurementFile.h"
#include "data/NumberText.h"
#include "data/PathUtil.h"
#include "data/Smooth.h"
#include "data/TextCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<int32_t> Smoothed(std::vector<int32_t> v, int w)
{
    Smooth(v.data(), static_cast<int>(v.size()), w);
    return v;
}

TEST(Smooth, IsRecursiveOnItsLeftSide)
{
    using V = std::vector<int32_t>;
    EXPECT_EQ(Smoothed({0, 30, 0, 30, 0, 30}, 3), (V{0, 10, 13, 14, 14, 30}));
    EXPECT_EQ(Smoothed({0, 30, 0, 30, 0, 30}, 4), (V{0, 15, 11, 17, 0, 30}));
    EXPECT_EQ(Smoothed({0, 30, 0, 30}, 2), (V{15, 15, 15, 30}));
    EXPECT_EQ(Smoothed({0, 0, 0, 30, 0, 0, 0}, 3), (V{0, 0, 10, 13, 4, 1, 0}));
    EXPECT_EQ(Smoothed({-7, 0, 0, 5}, 3), (V{-7, -2, 1, 5}));
    EXPECT_EQ(Smoothed({5, 6, 7}, 5), (V{5, 6, 7}));
    EXPECT_EQ(Smoothed({5, 6, 7}, 1), (V{5, 6, 7}));
    EXPECT_EQ(Smoothed({5, 6, 7}, 0), (V{5, 6, 7}));
    EXPECT_EQ(Smoothed({}, 3), V{});
}

// The filter as it was first written: every window summed afresh, one division per value.
void ReferenceSmooth(int32_t* values, int n, int w)
{
    if (w < 1) return;
    const int h = w / 2;
    const int b = (w % 2 == 1) ? h : h - 1;
    if (b >= n - h) return;
    for (int m = b; m <= n - h - 1; ++m) {
        uint32_t s = 0;
        for (int k = m - b; k <= m + h; ++k) s += static_cast<uint32_t>(values[k]);
        values[m] = static_cast<int32_t>(s) / w;
    }
}

TEST(Smooth, RunningSumMatchesTheWindowSummedAfresh)
{
    std::mt19937 rng(14);
    // Full-range values make the 32-bit sums wrap; small ones exercise rounding toward zero.
    std::uniform_int_distribution<int32_t> wide(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> narrow(-60, 60);
    std::uniform_int_distribution<int> length(0, 80);
    for (int round = 0; round < 400; ++round) {
        const int n = round % 50 == 0 ? 2048 : length(rng);
        const int w = round % 13 == 0 ? 1 + round % 97 : 1 + round % 12;
        std::vector<int32_t> x(static_cast<std::size_t>(n)), y(x.size()), z(x.size());
        for (std::size_t i = 0; i < x.size(); ++i) {
            x[i] = round % 2 ? wide(rng) : narrow(rng);
            y[i] = wide(rng);
            z[i] = narrow(rng) * 1000;
        }
        std::vector<int32_t> rx = x, ry = y, rz = z;
        ReferenceSmooth(rx.data(), n, w);
        ReferenceSmooth(ry.data(), n, w);
        ReferenceSmooth(rz.data(), n, w);
        std::vector<SampleRecord> records(x.size());
        for (std::size_t i = 0; i < records.size(); ++i) records[i] = {x[i], y[i], z[i], 1.5f, -1, -2, -3};
        SmoothRecords(records.data(), n, w);
        Smooth(x.data(), n, w);
        for (std::size_t i = 0; i < records.size(); ++i) {
            ASSERT_TRUE(records[i].x == rx[i] && records[i].y == ry[i] && records[i].z == rz[i]) << i;
            ASSERT_TRUE(records[i].depth == 1.5f && records[i].dx == -1 && records[i].dz == -3) << i;
        }
        ASSERT_EQ(x, rx) << "n " << n << " w " << w;
    }
}

TEST(TextCodec, AcquisitionBytesSurviveARoundTrip)
{
    std::string all;
    for (int i = 1; i < 256; ++i) all.push_back(static_cast<char>(i));
    const std::u16string wide = WidenBytes(all);
    EXPECT_EQ(wide[0x7F - 1], u'\x7F');
    EXPECT_EQ(wide[0x80 - 1], char16_t(0xFF80));
    EXPECT_EQ(wide[0xFF - 1], char16_t(0xFFFF));
    EXPECT_EQ(NarrowToBytes(wide), all);
    // Shown decoded where the bytes are code page 936, else as held.
    EXPECT_EQ(DecodeAcquisitionText(WidenBytes("\xB8\xD6\xBD\xEE\xC1\xFD-1")), u"钢筋笼-1");
    EXPECT_EQ(DecodeAcquisitionText(WidenBytes("\xB8\xD6\xFF")), WidenBytes("\xB8\xD6\xFF"));
}

TEST(TextCodec, Cp936AndUtf8Conversions)
{
    EXPECT_EQ(*Utf16ToCp936(u"钢筋笼"), "\xB8\xD6\xBD\xEE\xC1\xFD");
    EXPECT_EQ(Cp936ToUtf16("\xB8\xD6\xBD\xEE\xC1\xFD"), u"钢筋笼");
    EXPECT_EQ(Cp936ToUtf16("a\xFF" "b"), u"a\xFFFD" "b") << "an undecodable byte does not lose the rest";
    EXPECT_FALSE(Utf16ToCp936(u"\u00E9\U0001F600").has_value());
    EXPECT_EQ(Utf8ToUtf16("深度 m"), u"深度 m");
    EXPECT_EQ(Utf16ToUtf8(u"\xFF80"), "\xEF\xBE\x80");
}

TEST(TextCodec, DamagedCp936LosesOnlyTheBadBytes)
{
    // A lead byte whose partner cannot follow it, and one cut off at the end of the text.
    EXPECT_EQ(Cp936ToUtf16("\xB8\x30\xC1\xFD"), u"\uFFFD0笼");
    EXPECT_EQ(Cp936ToUtf16("\xC1\xFD\xC1"), u"笼\xFFFD");
    EXPECT_EQ(Cp936ToUtf16(""), u"");
    EXPECT_EQ(Utf16ToCp936(u""), std::optional<std::string>(""));
    EXPECT_EQ(Utf8ToUtf16("a\xFF"), u"a\xFFFD");
}

TEST(Parsing, LeadingNumbersAsTheCLibraryReadsThem)
{
    EXPECT_EQ(ParseLeadingInt(u"  \t-12x"), -12);
    EXPECT_EQ(ParseLeadingInt(u"+7"), 7);
    EXPECT_EQ(ParseLeadingInt(u"abc"), 0);
    EXPECT_EQ(ParseLeadingInt(u"-"), 0);
    EXPECT_EQ(ParseLeadingInt(u"-99999999999"), INT32_MIN);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(u" 1.5e2m"), 150.0);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(u"-.25"), -0.25);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(u"+-3"), 0.0);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(u"一二"), 0.0);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(u""), 0.0);
}

TEST(Parsing, NumbersBeyondTheDoubleRangeReadAsZeroOrInfinity)
{
    // Too small for a double reads as 0, as the C library reads it; only too large is infinite.
    EXPECT_EQ(ParseLeadingDouble(u"-36e-500"), 0.0);
    EXPECT_EQ(ParseLeadingDouble(u" 0.00001e-320m"), 0.0);
    EXPECT_EQ(ParseLeadingDouble(u"2e308"), HUGE_VAL);
    EXPECT_EQ(ParseLeadingDouble(u"-12345678901234567890e290"), -HUGE_VAL);
    EXPECT_EQ(ParseLeadingDouble(u"0.0000000000000000001e99999999999999999999"), HUGE_VAL);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(u"1000e-311"), 1e-308);
}

TEST(PathUtil, FoldersNamesAndExtensions)
{
    EXPECT_EQ(FolderOf("/data/piles/a.cdd"), "/data/piles");
    EXPECT_EQ(FileNameOf("/data/piles/a.cdd"), "a.cdd");
    EXPECT_EQ(FileNameOf("a.cdd"), "a.cdd");
    EXPECT_EQ(FolderOf("a.cdd"), "");
    EXPECT_TRUE(HasCddExtension("P1.CDD"));
    EXPECT_TRUE(HasCddExtension(".cDd"));
    EXPECT_FALSE(HasCddExtension("P1.cdd.bak"));
    EXPECT_FALSE(HasCddExtension("cdd"));
}

}  // namespace
