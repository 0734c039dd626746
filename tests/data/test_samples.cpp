// The bundled sample files load as their truth file describes them.
#include "data/MeasurementFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

std::string Sample(const char* name) { return std::string(ORVEK_SAMPLES_DIR) + "/" + name; }

TEST(BundledSamples, EveryFileLoadsWithBothDataSets)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORVEK_SAMPLES_DIR)) {
        if (entry.path().extension() != ".cdd") continue;
        ++files;
        auto slot = std::make_unique<FileSlot>();
        ASSERT_EQ(FullLoad(*slot, entry.path().string()), LoadResult::Ok) << entry.path();
        const CFileData& p = slot->primary;
        ASSERT_GT(p.m_nCount, 1u);
        EXPECT_FLOAT_EQ(p.m_raw[0].depth, p.m_fStartDepth) << entry.path();
        for (uint32_t i = 1; i < p.m_nCount; ++i) {
            ASSERT_LT(p.m_raw[i].depth, p.m_raw[i - 1].depth) << entry.path() << " sample " << i;
        }
    }
    EXPECT_GE(files, 6);
}

TEST(BundledSamples, LostRecordsAreRepairedOnLoad)
{
    auto slot = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*slot, Sample("P07-36m.cdd")), LoadResult::Ok);
    const CFileData& p = slot->primary;
    EXPECT_FLOAT_EQ(p.m_raw[40].depth, 26.0f);
    EXPECT_EQ(p.m_raw[40].z, p.m_raw[39].z);
    EXPECT_EQ(p.m_raw[40].dz, 0);
    EXPECT_FLOAT_EQ(p.m_raw[97].depth, 11.75f);
    EXPECT_EQ(slot->markerCount, 11);
    EXPECT_FLOAT_EQ(slot->markerDepth[10], 31.25f);
    EXPECT_EQ(slot->secondary.m_nCount, 0u);
}

}  // namespace
