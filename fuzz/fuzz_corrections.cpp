// Start depth corrections and tail insertions, in any order, on the primary data set of a file that
// loads: the sample count never leaves 0..2048, a refusal changes nothing, and an accepted change
// moves or copies exactly the readings it should.
#include "FuzzSupport.h"

#include "data/Adjustments.h"
#include "data/MeasurementFile.h"

#include <cmath>
#include <memory>
#include <string>

namespace {

void CheckTailInsertion(CFileData& data)
{
    const auto before = std::make_unique<CFileData>(data);
    const int c = static_cast<int>(before->m_nCount);
    if (!InsertTail(data)) {
        FUZZ_REQUIRE(c == 0 || c + kTailCopies > kMaxSamples);
        FUZZ_REQUIRE(fuzz::SameReadings(data, *before));
        return;
    }
    FUZZ_REQUIRE(data.m_nCount == static_cast<uint32_t>(c + kTailCopies));
    for (int i = 0; i < c; ++i) {
        FUZZ_REQUIRE(fuzz::SameReading(data.m_raw[i], before->m_raw[i]));
    }
    for (int i = c; i < c + kTailCopies; ++i) {
        FUZZ_REQUIRE(fuzz::SameReading(data.m_raw[i], before->m_raw[c - 1]));
    }
}

void CheckStartDepthCorrection(CFileData& data, const std::u16string& text)
{
    const auto before = std::make_unique<CFileData>(data);
    const StartDepthPlan plan = PlanStartDepthCorrection(data, text);
    FUZZ_REQUIRE(fuzz::SameReadings(data, *before));
    // The caller applies only accepted plans, but a refused one must be harmless all the same.
    ApplyStartDepthCorrection(data, plan);
    if (plan.check != StartDepthCheck::Ok) {
        FUZZ_REQUIRE(fuzz::SameReadings(data, *before));
        return;
    }
    const int c = static_cast<int>(before->m_nCount);
    const int n = plan.steps;
    FUZZ_REQUIRE(n > 0);
    FUZZ_REQUIRE(fuzz::SameBits(data.m_fStartDepth, plan.value));
    if (!plan.deeper) {
        FUZZ_REQUIRE(n < c);
        FUZZ_REQUIRE(data.m_nCount == static_cast<uint32_t>(c - n));
        for (int i = 0; i < c - n; ++i) {
            FUZZ_REQUIRE(fuzz::SameReading(data.m_raw[i], before->m_raw[i + n]));
        }
        return;
    }
    FUZZ_REQUIRE(c + n <= kMaxSamples);
    FUZZ_REQUIRE(data.m_nCount == static_cast<uint32_t>(c + n));
    const SampleRecord& last = before->m_raw[c - 1];
    for (int i = 0; i < c + n; ++i) {
        const SampleRecord& from = i < c ? before->m_raw[i] : last;
        FUZZ_REQUIRE(data.m_raw[i].x == from.x && data.m_raw[i].y == from.y && data.m_raw[i].z == from.z);
    }
    // Depths are renumbered from the shallowest sample, which keeps its own (a -0 may become 0).
    const float kept = data.m_raw[c + n - 1].depth;
    FUZZ_REQUIRE(kept == last.depth || (std::isnan(kept) && std::isnan(last.depth)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::SplitInput in = fuzz::Split(data, size);
    static auto slot = std::make_unique<FileSlot>();
    try {
        if (FullLoadFromBytes(*slot, in.file) != LoadResult::Ok) {
            return 0;
        }
    } catch (const InvalidTestDateError&) {
        return 0;
    }
    FuzzedDataProvider fdp(in.args.data(), in.args.size());
    CFileData& primary = slot->primary;
    for (int op = fdp.ConsumeIntegralInRange(1, 8); op > 0; --op) {
        if (fdp.ConsumeBool()) {
            CheckTailInsertion(primary);
        } else {
            CheckStartDepthCorrection(primary, fuzz::StartDepthText(fdp));
        }
        FUZZ_REQUIRE(primary.m_nCount <= static_cast<uint32_t>(kMaxSamples));
    }
    return 0;
}
