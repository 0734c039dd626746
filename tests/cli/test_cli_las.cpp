// orvek-cli export-las end to end, read back with the standard's rules (LasReader.h): header,
// curves, every sample of every bundled file, the stored markers, and what a failure leaves behind.
#include "CliRunner.h"
#include "LasReader.h"

#include "data/MeasurementFile.h"
#include "data/Smooth.h"
#include "data/TextCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

std::string Value(const LasFile& las, char section, const std::string& mnemonic)
{
    const LasItem* item = las.Item(section, mnemonic);
    return item ? item->value : "<missing>";
}

// The program's gradient, worked out here: difference x 100 / step, truncated.
int32_t GradientOf(int32_t d, int32_t step) { return static_cast<int32_t>(int64_t(d) * 100 / step); }

// Checks the log of path exported with window against the loaded samples smoothed by window.
void ExpectLogOf(const std::string& path, const LasFile& las, int window)
{
    ASSERT_EQ(las.error, "") << path;
    auto slot = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*slot, path), LoadResult::Ok);
    const CFileData& p = slot->primary;
    const int n = static_cast<int>(p.m_nCount);
    EXPECT_EQ(Value(las, 'W', "WELL"), Utf16ToUtf8(p.m_strPileNo));
    EXPECT_EQ(Value(las, 'W', "FLD"), Utf16ToUtf8(p.m_strSite));
    EXPECT_EQ(Value(las, 'W', "PROJ"), Utf16ToUtf8(p.m_strProject));
    EXPECT_EQ(Value(las, 'W', "DATE"), FormatTestDate(p.m_testDate));
    EXPECT_EQ(std::strtod(Value(las, 'W', "STEP").c_str(), nullptr), p.m_nStep / 100.0);
    EXPECT_EQ(Value(las, 'W', "NULL"), "-999.25");
    std::string curves;
    for (const LasItem& c : las.sections.at('C'))
        curves += c.mnemonic + "." + c.unit + " ";
    EXPECT_EQ(curves, "DEPT.M X.nT Y.nT Z.nT GX.nT/m GY.nT/m GZ.nT/m ");
    EXPECT_EQ(Value(las, 'P', "STEP_CM"), std::to_string(p.m_nStep));
    EXPECT_EQ(Value(las, 'P', "SMOOTH"), std::to_string(window));

    std::vector<int32_t> channels[3];
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c)
            channels[c].push_back(c == 0 ? p.m_raw[i].x : c == 1 ? p.m_raw[i].y : p.m_raw[i].z);
    for (auto& channel : channels)
        Smooth(channel.data(), n, window);
    ASSERT_EQ(las.rows.size(), std::size_t(n));
    for (int r = 0; r < n; ++r) {
        const int i = n - 1 - r;  // shallowest first
        const std::vector<double>& row = las.rows[std::size_t(r)];
        ASSERT_EQ(static_cast<float>(row[0]), p.m_raw[i].depth) << path << " row " << r;
        for (int c = 0; c < 3; ++c) {
            ASSERT_EQ(row[1 + c], channels[c][i]) << path << " row " << r;
            const int32_t d = i == 0 ? 0 : channels[c][i] - channels[c][i - 1];
            ASSERT_EQ(row[4 + c], GradientOf(d, p.m_nStep)) << path << " row " << r;
        }
    }

    // The stored markers, two decimals; the levels not set are absent.
    for (int k = 0; k < kMarkerSlots; ++k) {
        const std::string name = k == kBottomMarker ? "BOTM" : "JNT" + std::to_string(k + 1);
        const float depth = slot->markerDepth[k];
        const bool set = slot->markerCount == 11 && depth > 0.0f;
        ASSERT_EQ(las.Item('P', name) != nullptr, set) << path << " " << name;
        if (set) {
            EXPECT_NEAR(std::strtod(Value(las, 'P', name).c_str(), nullptr), depth, 0.005) << name;
        }
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

    // Smoothed values and their gradients with --smooth.
    const std::string p03 = std::string(ORVEK_SAMPLES_DIR) + "/P03-30m.cdd";
    ASSERT_EQ(RunCli(dir, {"export-las", p03, "-o", dir.file("s.las"), "--smooth", "4"}).status, 0);
    ExpectLogOf(p03, ReadLas(ReadAll(dir.file("s.las"))), 4);
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
    std::vector<unsigned char> cut = ReadBytes(cdd);
    cut.resize(1100);
    WriteBytes(dir.file("cut.cdd"), cut);
    r = RunCli(dir, {"export-las", dir.file("cut.cdd"), "-o", las});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "文件不完整，无法读取\n");
    // A full disk, and the measurement file given as the output.
    EXPECT_EQ(RunCli(dir, {"export-las", cdd, "-o", las}, 2048).err, "无法创建文件\n");
    const std::vector<unsigned char> original = ReadBytes(cdd);
    EXPECT_EQ(RunCli(dir, {"export-las", cdd, "-o", cdd}).err, "无法创建文件\n");
    EXPECT_EQ(ReadBytes(cdd), original);
    EXPECT_EQ(ReadBytes(las), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);

    EXPECT_EQ(RunCli(dir, {"export-las", cdd, "-o", las, "--smooth", "11"}).status, 2);
}

}  // namespace
