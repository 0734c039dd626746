// Feeds arbitrary bytes through the full load into the automatic interpretation, and the same bytes
// taken directly as samples with any step: whatever a loader accepts, the routine must answer
// without reading out of bounds, looping or giving a confidence outside 0..1.
#include "analysis/Interpretation.h"
#include "data/MeasurementFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void Check(const CageSuggestion& s)
{
    if (!(s.confidence >= 0.0f && s.confidence <= 1.0f) || s.reason.empty() ||
        (s.bottom && !std::isfinite(*s.bottom))) {
        std::abort();
    }
    for (std::size_t k = 1; k < s.joints.size(); ++k) {
        if (!(s.joints[k - 1] <= s.joints[k])) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto slot = std::make_unique<FileSlot>();
    const std::vector<unsigned char> bytes(data, data + size);
    try {
        if (FullLoadFromBytes(*slot, bytes) == LoadResult::Ok) {
            Check(SuggestCage(slot->primary));
        }
    } catch (const InvalidTestDateError&) {
    }

    if (size >= 4) {
        int32_t step = 0;
        std::memcpy(&step, data, 4);
        std::vector<SampleRecord> samples((size - 4) / 16);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            std::memcpy(&samples[i].x, data + 4 + 16 * i, 4);
            std::memcpy(&samples[i].y, data + 8 + 16 * i, 4);
            std::memcpy(&samples[i].z, data + 12 + 16 * i, 4);
            std::memcpy(&samples[i].depth, data + 16 + 16 * i, 4);
        }
        const int count = int(std::min<std::size_t>(samples.size(), kMaxSamples));
        Check(SuggestCage(samples.data(), count, step));
    }
    return 0;
}
