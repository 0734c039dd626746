// orvek-cli export-las end to end, read back with the standard's rules (LasReader.h): header,
// curves, every sample of every bundled file, the stored markers, and what a failure leaves behind.
#include "CliRunner.h"
#include "LasReader.h"

#include "data/MeasurementFile.h"
#include "data/Smooth.h"
#include "data/TextCodec.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The log of path as exported with window, against the loaded samples smoothed here.
void ExpectLogOf(const std::string& path, const LasFile& las, int window)
{
    ASSERT_EQ(las.error, "") << path;
    auto slot = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*slot, path), LoadResult::Ok);
    const CFileData& p = slot->primary;
    const int n = static_cast<int>(p.m_nCount);
    std::string header;
    for (const char* m : {"WELL", "FLD", "PROJ", "DATE"})
        header += las.Value('W', m) + "|";
    // The bundled samples' texts are valid code page 936 and are written decoded.
    const std::u16string texts = p.m_strPileNo + u"|" + p.m_strSite + u"|" + p.m_strProject + u"|";
    EXPECT_EQ(header, Utf16ToUtf8(Cp936ToUtf16(NarrowToBytes(texts))) + FormatTestDate(p.m_testDate) + "|");
    EXPECT_EQ(las.Number('W', "STEP"), p.m_nStep / 100.0);
    EXPECT_EQ(las.Number('W', "NULL"), -999.25);
    std::string curves;
    for (const LasItem& c : las.sections.at('C'))
        curves += c.mnemonic + "." + c.unit + " ";
    EXPECT_EQ(curves, "DEPT.M X.nT Y.nT Z.nT GX.nT/m GY.nT/m GZ.nT/m ");
    EXPECT_EQ(las.Number('P', "STEP_CM"), p.m_nStep);
    EXPECT_EQ(las.Number('P', "SMOOTH"), window);

    std::vector<int32_t> channels[3];
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c)
            channels[c].push_back(c == 0 ? p.m_raw[i].x : c == 1 ? p.m_raw[i].y : p.m_raw[i].z);
    for (auto& channel : channels)
        Smooth(channel.data(), n, window);
    ASSERT_EQ(las.rows.size(), std::size_t(n));
    for (int r = 0, i = n - 1; r < n; ++r, --i) {  // shallowest first
        const std::vector<double>& row = las.rows[std::size_t(r)];
        ASSERT_EQ(static_cast<float>(row[0]), p.m_raw[i].depth) << path << " row " << r;
        for (int c = 0; c < 3; ++c) {
            ASSERT_EQ(row[1 + c], channels[c][i]) << path << " row " << r;
            // Difference x 100 / step to two decimals; 0 for the deepest.
            const int64_t d = i == 0 ? 0 : channels[c][i] - channels[c][i - 1];
            ASSERT_NEAR(row[4 + c], double(d) * 100.0 / p.m_nStep, 0.00501) << path << " row " << r;
        }
    }
    for (int k = 0; k < kMarkerSlots; ++k) {
        const std::string name = k == kBottomMarker ? "BOTM" : "JNT" + std::to_string(k + 1);
        const bool set = slot->markerCount == 11 && slot->markerDepth[k] > 0.0f;
        ASSERT_EQ(las.Item('P', name) != nullptr, set) << path << " " << name;
        EXPECT_NEAR(set ? las.Number('P', name) : 0.0, set ? slot->markerDepth[k] : 0.0, 0.005) << name;
    }
}

TEST(CliExportLas, EveryBundledSampleReadsBackAsItLoads)
{
    TempDir dir;
    int files = 0, markers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORVEK_SAMPLES_DIR)) {
        if (entry.path().extension() != ".cdd")
            continue;
        ++files;
        const std::string las = dir.file(entry.path().stem().string() + ".las");
        const CliRun r = RunCli(dir, {"export-las", entry.path().string(), "-o", las});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "已保存！\n");
        const LasFile read = ReadLas(ReadAll(las));
        ExpectLogOf(entry.path().string(), read, 1);
        markers += read.Item('P', "BOTM") != nullptr;
    }
    EXPECT_GE(files, 6);
    EXPECT_GE(markers, 2);

    const std::string p03 = std::string(ORVEK_SAMPLES_DIR) + "/P03-30m.cdd";
    ASSERT_EQ(RunCli(dir, {"export-las", p03, "-o", dir.file("s.las"), "--smooth", "4"}).status, 0);
    ExpectLogOf(p03, ReadLas(ReadAll(dir.file("s.las"))), 4);
}

// A 30 cm step does not divide 100: the log keeps the gradient's fraction the screen drops. Texts
// in code page 936 are decoded; bytes that are not code page 936 stay the widened bytes.
TEST(CliExportLas, FractionalGradientsAndDecodedTexts)
{
    TempDir dir;
    CddBuilder b;
    b.primary.step = 30;
    b.primary.pileNo = "\xD7\xAE\x31\xBA\xC5";  // 桩1号
    b.primary.site = "\xB9";
    b.primary.samples = {{0, 10, 1000, 0.6f}, {0, 20, 842, 0.3f}, {0, 19, 843, 0.0f}};
    WriteBytes(dir.file("p.cdd"), b.bytes());
    ASSERT_EQ(RunCli(dir, {"export-las", dir.file("p.cdd"), "-o", dir.file("p.las")}).status, 0);
    const LasFile las = ReadLas(ReadAll(dir.file("p.las")));
    ASSERT_EQ(las.error, "");
    EXPECT_EQ(las.Value('W', "WELL") + "|" + las.Value('W', "FLD"), "桩1号|\xEF\xBE\xB9");
    ASSERT_EQ(las.rows.size(), 3u);
    EXPECT_EQ(las.rows[0][5], -3.33);
    EXPECT_EQ(las.rows[0][6], 3.33);
    EXPECT_EQ(las.rows[1][5], 33.33);
    EXPECT_EQ(las.rows[1][6], -526.67);
}

TEST(CliExportLas, AFailureWritesNothingAndKeepsTheOldLog)
{
    TempDir dir;
    const std::string cdd = dir.file("P05.cdd");
    std::filesystem::copy_file(std::string(ORVEK_SAMPLES_DIR) + "/P05-60m.cdd", cdd);
    const std::string las = dir.file("out.las");
    CliRun r = RunCli(dir, {"export-las", dir.file("none.cdd"), "-o", las});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "无法读取文件\n");
    EXPECT_FALSE(std::filesystem::exists(las));

    WriteBytes(las, {'o', 'l', 'd'});
    std::vector<unsigned char> original = ReadBytes(cdd);
    WriteBytes(dir.file("cut.cdd"), std::vector<unsigned char>(original.begin(), original.begin() + 1100));
    r = RunCli(dir, {"export-las", dir.file("cut.cdd"), "-o", las});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "文件不完整，无法读取\n");
    // A full disk, and the measurement file given as the output.
    EXPECT_EQ(RunCli(dir, {"export-las", cdd, "-o", las}, 2048).err, "无法创建文件\n");
    EXPECT_EQ(RunCli(dir, {"export-las", cdd, "-o", cdd}).err, "无法创建文件\n");
    EXPECT_EQ(ReadBytes(cdd), original);
    EXPECT_EQ(ReadBytes(las), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
    EXPECT_EQ(RunCli(dir, {"export-las", cdd, "-o", las, "--smooth", "11"}).status, 2);
}

}  // namespace
