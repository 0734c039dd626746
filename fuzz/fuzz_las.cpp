// Every file that loads exports a LAS log that a reader following the standard accepts, with one
// row per sample and the loaded depths (or the null value for a depth that is not a number).
#include "LasReader.h"

#include "analysis/WellLogExport.h"
#include "data/LasWriter.h"
#include "data/MeasurementFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);
    auto slot = std::make_unique<FileSlot>();
    try {
        if (FullLoadFromBytes(*slot, bytes) != LoadResult::Ok)
            return 0;
    } catch (const InvalidTestDateError&) {
        return 0;
    }
    const WellLog log = MakeWellLog(*slot, 1 + static_cast<int>(size % 10));
    const LasFile las = ReadLas(LasText(log));
    const CFileData& p = slot->primary;
    if (!las.error.empty() || las.rows.size() != p.m_nCount)
        std::abort();
    for (std::size_t r = 0; r < las.rows.size(); ++r) {
        const float depth = p.m_raw[p.m_nCount - 1 - r].depth;
        const double read = las.rows[r][0];
        if (std::isfinite(depth) ? static_cast<float>(read) != depth : read != -999.25)
            std::abort();
    }
    return 0;
}
