// Feeds arbitrary bytes to the full load and the header load: neither may read or write out of
// bounds, loop, or leave a slot with a count above the table capacity.
#include "data/MeasurementFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);
    static auto slot = std::make_unique<FileSlot>();
    try {
        FullLoadFromBytes(*slot, bytes);
    } catch (const InvalidTestDateError&) {
    }
    try {
        HeaderLoadFromBytes(*slot, bytes);
    } catch (const InvalidTestDateError&) {
    }
    if (slot->primary.m_nCount > kMaxSamples || slot->secondary.m_nCount > kMaxSamples) {
        std::abort();
    }
    return 0;
}
