#include "CddBuilder.h"

#include "data/MeasurementFile.h"
#include "data/SystemConfig.h"
#include "data/TextCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include <filesystem>
#include <memory>

namespace {

CddBuilder ThreeSampleFile()
{
    CddBuilder b;
    b.primary.samples = {{100, 200, 50000, 10.0f}, {110, 190, 50100, 9.75f}, {90, 230, 49900, 9.5f}};
    b.secondary.samples = {{1, 2, 3, 4.0f}, {5, 6, 7, 3.75f}};
    b.secondary.project = "SEC";
    return b;
}

std::unique_ptr<FileSlot> Loaded(const std::string& path)
{
    auto slot = std::make_unique<FileSlot>();
    EXPECT_EQ(FullLoad(*slot, path), LoadResult::Ok);
    return slot;
}

TEST(FullLoad, ReadsEveryFieldOfBothDataSets)
{
    TempDir dir;
    CddBuilder b = ThreeSampleFile();
    b.markerCount = 11;
    b.markers[10] = 9.5f;
    b.markers[0] = 3.25f;
    b.reportFlag = 1;
    b.lengths[0] = 12.5f;
    b.lengths[3] = 30.0f;
    b.reportTexts = {"ZK-7", *Utf16ToCp936(u"测试工程"), "note", "2024-1-2", "proj", "site"};
    b.primary.site = "\xB9\xA4\xB5\xD8";  // GBK bytes, held widened
    WriteBytes(dir.file("a.cdd"), b.bytes());

    auto slot = Loaded(dir.file("a.cdd"));
    EXPECT_EQ(slot->markerCount, 11);
    EXPECT_FLOAT_EQ(slot->markerDepth[10], 9.5f);
    EXPECT_FLOAT_EQ(slot->markerDepth[0], 3.25f);
    const CFileData& p = slot->primary;
    EXPECT_EQ(p.m_nReportFlag, 1);
    EXPECT_FLOAT_EQ(p.m_fDetectedLength, 12.5f);
    EXPECT_FLOAT_EQ(p.m_fDesignPileLength, 30.0f);
    EXPECT_EQ(p.m_strReportPileNo, u"ZK-7");
    EXPECT_EQ(p.m_strEngineeringName, u"测试工程");
    EXPECT_EQ(p.m_strReportSite, u"site");
    EXPECT_EQ(p.m_nAcqWord1, 7);
    EXPECT_EQ(p.m_nAcqWord2, -9);
    EXPECT_EQ(p.m_nCount, 3u);
    EXPECT_EQ(p.m_strSite, (std::u16string{char16_t(0xFFB9), char16_t(0xFFA4), char16_t(0xFFB5), char16_t(0xFFD8)}));
    EXPECT_EQ(FormatTestDate(p.m_testDate), "2024-05-17");
    EXPECT_EQ(p.m_raw[1].z, 50100);
    EXPECT_EQ(slot->secondary.m_nCount, 2u);
    EXPECT_EQ(slot->secondary.m_strProject, u"SEC");
    EXPECT_EQ(slot->secondary.m_raw[1].z, 7);
    EXPECT_EQ(slot->secondary.m_raw[1].dz, 0) << "the secondary set gets no differences";
}

TEST(FullLoad, RepairsZeroDepthsAndFillsZeroChannelsFromThePreviousSample)
{
    TempDir dir;
    CddBuilder b;
    b.primary.step = 25;
    b.primary.samples = {{1, 1, 5000, 0}, {0, 2, 0, 0}, {3, 0, 0, 0}, {4, 4, 4, 0}, {5, 5, 5, 0}};
    WriteBytes(dir.file("z.cdd"), b.bytes());
    auto slot = Loaded(dir.file("z.cdd"));
    const auto& raw = slot->primary.m_raw;
    const float expected[] = {0.0f, 0.75f, 0.5f, 0.25f, 0.0f};
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(raw[i].depth, expected[i]) << i;
    EXPECT_EQ(raw[1].x, 1);
    EXPECT_EQ(raw[1].z, 5000);
    EXPECT_EQ(raw[2].z, 5000) << "copies from a sample repaired just before";
    EXPECT_EQ(raw[2].y, 2);

    CddBuilder c;
    c.primary.samples = {{0, 0, 5000, 2.0f}, {0, 0, 0, 1.75f}};
    WriteBytes(dir.file("k.cdd"), c.bytes());
    EXPECT_EQ(Loaded(dir.file("k.cdd"))->primary.m_raw[1].z, 0) << "a sample with a depth keeps Z = 0";

    // The limit: a depth below 0.01 in size is a gap, the next float above 0.01 is a depth.
    CddBuilder e;
    e.primary.samples = {{1, 1, 1, 2.0f}, {0, 0, 0, 0.01f}, {0, 0, 0, -0.01f}, {0, 0, 0, std::nextafter(0.01f, 1.0f)}};
    WriteBytes(dir.file("e.cdd"), e.bytes());
    const auto edge = Loaded(dir.file("e.cdd"));
    EXPECT_FLOAT_EQ(edge->primary.m_raw[1].depth, 0.5f);
    EXPECT_FLOAT_EQ(edge->primary.m_raw[2].depth, 0.25f);
    EXPECT_EQ(edge->primary.m_raw[2].z, 1);
    EXPECT_EQ(edge->primary.m_raw[3].depth, std::nextafter(0.01f, 1.0f));
    EXPECT_EQ(edge->primary.m_raw[3].z, 0);
}

TEST(FullLoad, DifferencesAreRawAndTheSmoothedTableStartsWithThem)
{
    TempDir dir;
    CddBuilder b;
    b.primary.samples = {{0, 0, 0, 1.0f}, {30, 0, 30, 0.75f}, {0, 0, 0, 0.5f}, {30, 0, 30, 0.25f}};
    WriteBytes(dir.file("d.cdd"), b.bytes());
    auto slot = std::make_unique<FileSlot>();
    slot->primary.m_nSmoothWindow = 2;
    ASSERT_EQ(FullLoad(*slot, dir.file("d.cdd")), LoadResult::Ok);
    const CFileData& p = slot->primary;
    EXPECT_EQ(p.m_raw[0].dz, 0);
    EXPECT_EQ(p.m_raw[1].dz, 30);
    EXPECT_EQ(p.m_raw[2].dz, -30);
    EXPECT_EQ(p.m_nSmoothedCount, 4);
    EXPECT_EQ(p.m_smoothed[0].z, 15) << "smoothed with the data set's own window";
    EXPECT_EQ(p.m_smoothed[3].z, 30);
    EXPECT_EQ(p.m_smoothed[2].dz, -30) << "differences stay the raw ones until the view rebuilds";
    EXPECT_FLOAT_EQ(p.m_smoothed[3].depth, 0.25f);
    EXPECT_EQ(p.m_raw[1].z, 30) << "raw values stay unsmoothed";
}

TEST(FullLoad, SecondarySetStartsSixteenBytesPerSampleAfterThePrimarySamples)
{
    TempDir dir;
    CddBuilder b;
    b.secondary.samples = {{9, 9, 9, 1.0f}};
    std::vector<unsigned char> bytes = b.bytes();  // N = 0: secondary header at 1040
    ASSERT_EQ(CddBuilder::get(bytes, 1040 + 16), 1);
    WriteBytes(dir.file("n0.cdd"), bytes);
    auto slot = Loaded(dir.file("n0.cdd"));
    EXPECT_EQ(slot->primary.m_nCount, 0u);
    EXPECT_EQ(slot->secondary.m_nCount, 1u);
    EXPECT_EQ(slot->secondary.m_raw[0].x, 9);

    // Whatever the separator bytes hold, the offset decides.
    CddBuilder c = ThreeSampleFile();
    std::vector<unsigned char> cb = c.bytes();
    for (int i = 0; i < 16; ++i) cb[1024 + 48 + i] = 0xEE;
    WriteBytes(dir.file("sep.cdd"), cb);
    EXPECT_EQ(Loaded(dir.file("sep.cdd"))->secondary.m_strProject, u"SEC");
}

TEST(FullLoad, MalformedFilesFailCleanlyAndLeaveTheSlotUnchanged)
{
    TempDir dir;
    const std::vector<unsigned char> good = ThreeSampleFile().bytes();
    const std::size_t primaryEnd = 1024 + 3 * 16;
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        WriteBytes(dir.file("t.cdd"), std::vector<unsigned char>(good.begin(), good.begin() + cut));
        auto slot = std::make_unique<FileSlot>();
        slot->primary.m_nStep = 77;
        slot->primary.m_smoothed[0].z = -1;
        slot->secondary.m_raw[5].x = -2;
        const LoadResult r = FullLoad(*slot, dir.file("t.cdd"));
        if (cut < primaryEnd) {
            EXPECT_EQ(r, LoadResult::Truncated) << cut;
            EXPECT_EQ(HeaderLoad(*slot, dir.file("t.cdd")), cut == 0 ? LoadResult::Empty : LoadResult::Truncated);
            EXPECT_EQ(slot->primary.m_nStep, 77) << cut;
            // The tables are the slot's own again, whole and as they were.
            ASSERT_EQ(slot->primary.m_raw.size(), std::size_t(kMaxSamples)) << cut;
            ASSERT_EQ(slot->primary.m_depthPixels.size(), std::size_t(kMaxSamples)) << cut;
            EXPECT_EQ(slot->primary.m_smoothed[0].z, -1) << cut;
            EXPECT_EQ(slot->secondary.m_raw[5].x, -2) << cut;
        } else {
            EXPECT_EQ(r, LoadResult::Ok) << cut;
            EXPECT_EQ(slot->secondary.m_nCount, 0u) << "an unreadable secondary set is left empty";
        }
    }

    CddBuilder big = ThreeSampleFile();
    big.primary.countOverride = 2049;
    WriteBytes(dir.file("big.cdd"), big.bytes());
    FileSlot slot;
    EXPECT_EQ(FullLoad(slot, dir.file("big.cdd")), LoadResult::TooManySamples);
    EXPECT_EQ(slot.primary.m_nCount, 0u);

    CddBuilder bigSecondary = ThreeSampleFile();
    bigSecondary.secondary.countOverride = 5000;
    WriteBytes(dir.file("bigs.cdd"), bigSecondary.bytes());
    EXPECT_EQ(FullLoad(slot, dir.file("bigs.cdd")), LoadResult::Ok);
    EXPECT_EQ(slot.secondary.m_nCount, 0u);

    EXPECT_EQ(FullLoad(slot, dir.file("missing.cdd")), LoadResult::CannotOpen);
    EXPECT_EQ(FullLoad(slot, dir.path()), LoadResult::CannotOpen) << "a folder is not a file";
}

TEST(FullLoad, InvalidTestDateRaisesAfterTheHeaderFieldsButBeforeTheSamples)
{
    TempDir dir;
    for (auto [y, m, d] : {std::tuple{1899, 1, 1}, {2020, 0, 1}, {2020, 13, 1}, {2020, 1, 0}, {2020, 1, 32}}) {
        CddBuilder b = ThreeSampleFile();
        b.primary.year = y;
        b.primary.month = m;
        b.primary.day = d;
        b.primary.step = 50;
        WriteBytes(dir.file("bad.cdd"), b.bytes());
        auto slot = std::make_unique<FileSlot>();
        slot->primary.m_raw[0].z = -1;
        EXPECT_THROW(FullLoad(*slot, dir.file("bad.cdd")), InvalidTestDateError);
        EXPECT_EQ(slot->primary.m_nStep, 50);
        EXPECT_EQ(slot->primary.m_strProject, u"PRJ");
        EXPECT_EQ(slot->primary.m_raw[0].z, -1);
        EXPECT_THROW(HeaderLoad(*slot, dir.file("bad.cdd")), InvalidTestDateError);
    }
}

// Every load shows its own date, including a day past the month's end, which the conversion
// carries into the next month.
TEST(FullLoad, EachLoadKeepsItsOwnTestDate)
{
    TempDir dir;
    const std::tuple<int, int, int, const char*> dates[] = {
        {2024, 5, 17, "2024-05-17"}, {2024, 5, 17, "2024-05-17"}, {2023, 12, 31, "2023-12-31"},
        {2024, 2, 31, "2024-03-02"}, {2024, 2, 31, "2024-03-02"}, {2024, 5, 17, "2024-05-17"}};
    for (const auto& [y, m, d, shown] : dates) {
        CddBuilder b = ThreeSampleFile();
        b.primary.year = b.secondary.year = y;
        b.primary.month = b.secondary.month = m;
        b.primary.day = b.secondary.day = d;
        WriteBytes(dir.file("d.cdd"), b.bytes());
        auto slot = Loaded(dir.file("d.cdd"));
        EXPECT_EQ(FormatTestDate(slot->primary.m_testDate), shown);
        EXPECT_EQ(slot->secondary.m_testDate, slot->primary.m_testDate);
    }
}

TEST(HeaderLoad, ReadsHeaderAndSamplesButNeitherRepairsNorLoadsTheSecondary)
{
    TempDir dir;
    CddBuilder b = ThreeSampleFile();
    b.primary.samples[1].depth = 0.0f;
    WriteBytes(dir.file("h.cdd"), b.bytes());
    FileSlot slot;
    ASSERT_EQ(HeaderLoad(slot, dir.file("h.cdd")), LoadResult::Ok);
    EXPECT_FLOAT_EQ(slot.primary.m_raw[0].depth, 10.0f);
    EXPECT_FLOAT_EQ(slot.primary.m_raw[1].depth, 0.0f);
    EXPECT_EQ(slot.primary.m_raw[1].dz, 0);
    EXPECT_EQ(slot.secondary.m_nCount, 0u);

    WriteBytes(dir.file("empty.cdd"), {});
    EXPECT_EQ(HeaderLoad(slot, dir.file("empty.cdd")), LoadResult::Empty);
}

TEST(SystemConfig, CreatesTheFileWithTheStepAndReadsAnExistingOne)
{
    TempDir dir;
    FileSlot slot;
    slot.primary.m_nStep = 30;
    LoadConfiguration(slot, dir.path());
    EXPECT_FLOAT_EQ(slot.cfgValueA, 25.0f);
    EXPECT_EQ(slot.cfgValueB, 20);
    const auto bytes = ReadBytes(dir.file("zel.sysconfig"));
    ASSERT_EQ(bytes.size(), 8u);
    EXPECT_EQ(CddBuilder::get(bytes, 0), 30);
    EXPECT_EQ(CddBuilder::get(bytes, 4), 20);

    LoadConfiguration(slot, dir.path());
    EXPECT_EQ(slot.cfgValueA, CddBuilder::getf(bytes, 0)) << "the int step is read back as a float";

    std::vector<unsigned char> shortFile(4);
    CddBuilder::putf(shortFile, 0, 1.5f);
    WriteBytes(dir.file("zel.sysconfig"), shortFile);
    slot.cfgValueB = 99;
    LoadConfiguration(slot, dir.path());
    EXPECT_FLOAT_EQ(slot.cfgValueA, 1.5f);
    EXPECT_EQ(slot.cfgValueB, 99);

    FileSlot fresh;
    LoadConfiguration(fresh, dir.file("no-such-folder"));
    EXPECT_FLOAT_EQ(fresh.cfgValueA, 25.0f);
    EXPECT_EQ(fresh.cfgValueB, 20);
}

}  // namespace
