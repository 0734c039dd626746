#include "analysis/WellLogExport.h"

#include "analysis/Scales.h"
#include "analysis/Smoothing.h"
#include "data/CsvWriter.h"
#include "data/LasWriter.h"
#include "data/MeasurementFile.h"
#include "data/SafeFile.h"
#include "data/Messages.h"
#include "data/TextCodec.h"

#include <algorithm>
#include <memory>

namespace {

// The log keeps the fraction the screen's whole numbers drop (a 30 cm step does not divide 100).
double ExactGradient(const CFileData& data, int i, int c)
{
    if (data.m_nStep == 0)
        return 0.0;
    return double(ComponentDiff(data.m_smoothed[std::size_t(i)], c)) * 100.0 / data.m_nStep;
}

std::string AcquisitionText(const std::u16string& held)
{
    return Utf16ToUtf8(DecodeAcquisitionText(held));
}

}  // namespace

WellLog MakeWellLog(FileSlot& slot, int window)
{
    CFileData& data = slot.primary;
    RebuildSmoothedTable(data, window);
    WellLog log;
    log.pileNo = AcquisitionText(data.m_strPileNo);
    log.site = AcquisitionText(data.m_strSite);
    log.project = AcquisitionText(data.m_strProject);
    log.testDate = FormatTestDate(data.m_testDate);
    log.stepCm = data.m_nStep;
    log.smoothWindow = window;
    if (slot.markerCount == cdd::kStampedMarkerCount)
        log.markerDepth = slot.markerDepth;
    // Sample 0 is the deepest, so the shallowest row is the last sample.
    const int n = std::min(RawEntries(data), SmoothedEntries(data));
    log.rows.reserve(std::size_t(n));
    for (int i = n - 1; i >= 0; --i) {
        const SampleRecord& s = data.m_smoothed[std::size_t(i)];
        log.rows.push_back({data.m_raw[std::size_t(i)].depth, s.x, s.y, s.z, ExactGradient(data, i, kComponentX),
                            ExactGradient(data, i, kComponentY), ExactGradient(data, i, kComponentZ)});
    }
    return log;
}

namespace {

WellLogExportResult Failure(const char* message)
{
    return {false, message};
}

}  // namespace

WellLogExportResult ExportWellLog(const std::string& input, const std::string& output, int window,
                                  WellLogFormat format)
{
    auto slot = std::make_unique<FileSlot>();
    try {
        const LoadResult loaded = FullLoad(*slot, input);
        if (loaded == LoadResult::CannotOpen)
            return Failure(msg::kCannotRead);
        if (loaded != LoadResult::Ok)
            return Failure(LoadResultMessage(loaded));
    } catch (const InvalidTestDateError&) {
        return Failure(msg::kInvalidTestDate);
    }
    const WellLog log = MakeWellLog(*slot, window);
    if (log.rows.empty())
        return Failure(msg::kNoRecordsToSave);
    // An export aimed at the measurement file itself would destroy it.
    if (SameFile(input, output))
        return Failure(msg::kCannotCreate);
    const bool written = format == WellLogFormat::Las ? WriteLasFile(output, log) : WriteCsvFile(output, log);
    return written ? WellLogExportResult{true, msg::kSaved} : Failure(msg::kCannotCreate);
}
