#include "analysis/SiteSummary.h"

#include "analysis/Interpretation.h"
#include "data/CsvWriter.h"
#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/PathUtil.h"
#include "data/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

const std::array<const char*, kSummaryColumns> kSummaryKeys = {
    "file",         "pileNo",          "testDate",         "stepCm",
    "count",        "startDepth",      "designCageLength", "designPileLength",
    "bottomMarker", "joints",          "measuredLength",   "deviation",
    "conclusion",   "suggestedBottom", "confidence",       "check"};

const std::array<const char*, kSummaryColumns> kSummaryHeadings = {
    "文件",        "桩号",        "检测日期",    "步距(cm)", "采样点数", "起始深度(m)", "设计笼长(m)", "设计桩长(m)",
    "笼底标记(m)", "接头深度(m)", "实测笼长(m)", "偏差(m)",  "结论",     "建议笼底(m)", "置信度",      "核对"};

namespace {

int64_t ToCm(double metres)
{
    return std::llround(metres * 100.0);
}

Centimetres CmIf(bool present, float metres)
{
    if (!present || !std::isfinite(metres))
        return std::nullopt;
    return ToCm(metres);
}

std::string OptionalMetres(const Centimetres& cm)
{
    return cm ? MetresText(*cm) : std::string();
}

}  // namespace

std::string MetresText(int64_t cm)
{
    const int64_t magnitude = cm < 0 ? -cm : cm;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", cm < 0 ? "-" : "", static_cast<long long>(magnitude / 100),
                  static_cast<long long>(magnitude % 100));
    return buf;
}

SummaryRow SummaryRowOf(const std::string& path, const FileSlot& slot)
{
    const CFileData& data = slot.primary;
    SummaryRow row;
    row.path = path;
    row.file = FileNameOf(path);
    row.loaded = true;
    const bool report = data.m_nReportFlag == 1;
    row.pileNo = report ? Utf16ToUtf8(data.m_strReportPileNo) : Utf16ToUtf8(DecodeAcquisitionText(data.m_strPileNo));
    row.testDate = report ? Utf16ToUtf8(data.m_strReportDate) : FormatTestDate(data.m_testDate);
    row.engineeringName = report ? Utf16ToUtf8(data.m_strEngineeringName) : std::string();
    row.stepCm = data.m_nStep;
    row.count = static_cast<int>(data.m_nCount);
    row.startDepth = CmIf(true, data.m_fStartDepth);
    row.designCageLength = CmIf(report, data.m_fDesignCageLength);
    row.designPileLength = CmIf(report, data.m_fDesignPileLength);
    row.detectedLength = CmIf(report && data.m_fDetectedLength != 0.0f, data.m_fDetectedLength);
    if (slot.markerCount == cdd::kStampedMarkerCount) {
        const float bottom = slot.markerDepth[kBottomMarker];
        row.bottomMarker = CmIf(bottom != 0.0f, bottom);
        for (int k = 0; k < kBottomMarker; ++k) {
            const float joint = slot.markerDepth[std::size_t(k)];
            if (joint != 0.0f && std::isfinite(joint))
                row.joints.push_back(ToCm(joint));
        }
    }
    const CageSuggestion suggestion = SuggestCage(data);
    if (suggestion.bottom)
        row.suggestedBottom = ToCm(*suggestion.bottom);
    row.confidence = static_cast<int>(std::lround(suggestion.confidence * 100.0f));
    return row;
}

SummaryRow UnreadableRow(const std::string& path, const std::string& message)
{
    SummaryRow row;
    row.path = path;
    row.file = FileNameOf(path);
    row.loadMessage = message;
    return row;
}

SummaryRow SummariseFile(const std::string& path, FileSlot& slot, const SummarySettings& settings)
{
    std::string message;
    try {
        const LoadResult loaded = FullLoad(slot, path);
        if (loaded != LoadResult::Ok)
            message = loaded == LoadResult::CannotOpen ? msg::kCannotRead : LoadResultMessage(loaded);
    } catch (const InvalidTestDateError&) {
        message = msg::kInvalidTestDate;
    }
    SummaryRow row = message.empty() ? SummaryRowOf(path, slot) : UnreadableRow(path, message);
    ApplySummarySettings(row, settings);
    return row;
}

void ApplySummarySettings(SummaryRow& row, const SummarySettings& settings)
{
    row.measuredLength.reset();
    row.deviation.reset();
    row.conclusion.clear();
    row.check.clear();
    if (!row.loaded) {
        row.check = "无法读取：" + row.loadMessage;
        return;
    }
    if (row.detectedLength)
        row.measuredLength = row.detectedLength;
    else if (row.bottomMarker)
        row.measuredLength = *row.bottomMarker - ToCm(settings.cageTop);
    if (row.measuredLength && row.designCageLength) {
        row.deviation = *row.measuredLength - *row.designCageLength;
        row.conclusion = *row.deviation >= -ToCm(settings.tolerance) ? kConclusionMet : kConclusionNotMet;
    }
    if (!row.bottomMarker) {
        row.check = kCheckUnmarked;
    } else if (row.suggestedBottom && row.confidence.value_or(0) >= 80) {
        const int64_t apart = std::llabs(*row.bottomMarker - *row.suggestedBottom);
        if (apart > 25)
            row.check = "与建议相差 " + MetresText(apart) + " m";
    }
}

bool NaturalLess(const std::string& a, const std::string& b)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ie = i;
            std::size_t je = j;
            while (ie < a.size() && digit(a[ie]))
                ++ie;
            while (je < b.size() && digit(b[je]))
                ++je;
            std::size_t is = i;
            std::size_t js = j;
            while (is + 1 < ie && a[is] == '0')
                ++is;
            while (js + 1 < je && b[js] == '0')
                ++js;
            // A longer run without leading zeros is the larger number.
            if (ie - is != je - js)
                return ie - is < je - js;
            const int order = a.compare(is, ie - is, b, js, je - js);
            if (order != 0)
                return order < 0;
            i = ie;
            j = je;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

void SortSummaryRows(std::vector<SummaryRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const SummaryRow& x, const SummaryRow& y) {
        if (NaturalLess(x.pileNo, y.pileNo))
            return true;
        if (NaturalLess(y.pileNo, x.pileNo))
            return false;
        return NaturalLess(x.file, y.file);
    });
}

std::vector<SummaryRow> SummariseFiles(const std::vector<std::string>& paths, const SummarySettings& settings, int jobs,
                                       std::atomic<std::size_t>* done, const std::atomic<bool>* cancel)
{
    std::vector<SummaryRow> rows(paths.size());
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        auto slot = std::make_unique<FileSlot>();
        for (std::size_t i = next++; i < paths.size(); i = next++) {
            if (cancel && cancel->load())
                return;
            rows[i] = SummariseFile(paths[i], *slot, settings);
            if (done)
                ++*done;
        }
    };
    const std::size_t threads =
        std::clamp<std::size_t>(std::size_t(std::max(jobs, 1)), 1, std::max<std::size_t>(paths.size(), 1));
    if (threads == 1) {
        worker();
    } else {
        std::vector<std::jthread> pool;
        for (std::size_t t = 0; t < threads; ++t)
            pool.emplace_back(worker);
    }
    std::erase_if(rows, [](const SummaryRow& row) { return row.path.empty(); });
    SortSummaryRows(rows);
    return rows;
}

std::vector<std::string> CddFilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(NativePath(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = Utf8Path(it->path().filename());
        if (HasCddExtension(name) && it->is_regular_file(ec))
            files.push_back(JoinPath(folder, name));
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool IsNumberColumn(SummaryColumn column)
{
    switch (column) {
    case SummaryColumn::StepCm:
    case SummaryColumn::Count:
    case SummaryColumn::StartDepth:
    case SummaryColumn::DesignCageLength:
    case SummaryColumn::DesignPileLength:
    case SummaryColumn::BottomMarker:
    case SummaryColumn::MeasuredLength:
    case SummaryColumn::Deviation:
    case SummaryColumn::SuggestedBottom:
    case SummaryColumn::Confidence:
        return true;
    default:
        return false;
    }
}

std::array<std::string, kSummaryColumns> SummaryCells(const SummaryRow& row)
{
    std::array<std::string, kSummaryColumns> cells;
    const auto set = [&cells](SummaryColumn column, std::string text) { cells[std::size_t(column)] = std::move(text); };
    set(SummaryColumn::File, row.file);
    set(SummaryColumn::Check, row.check);
    if (!row.loaded)
        return cells;
    set(SummaryColumn::PileNo, row.pileNo);
    set(SummaryColumn::TestDate, row.testDate);
    set(SummaryColumn::StepCm, std::to_string(row.stepCm));
    set(SummaryColumn::Count, std::to_string(row.count));
    set(SummaryColumn::StartDepth, OptionalMetres(row.startDepth));
    set(SummaryColumn::DesignCageLength, OptionalMetres(row.designCageLength));
    set(SummaryColumn::DesignPileLength, OptionalMetres(row.designPileLength));
    set(SummaryColumn::BottomMarker, OptionalMetres(row.bottomMarker));
    std::string joints;
    for (int64_t joint : row.joints)
        joints += (joints.empty() ? "" : ";") + MetresText(joint);
    set(SummaryColumn::Joints, joints);
    set(SummaryColumn::MeasuredLength, OptionalMetres(row.measuredLength));
    set(SummaryColumn::Deviation, OptionalMetres(row.deviation));
    set(SummaryColumn::Conclusion, row.conclusion);
    set(SummaryColumn::SuggestedBottom, OptionalMetres(row.suggestedBottom));
    set(SummaryColumn::Confidence, row.confidence ? MetresText(*row.confidence) : std::string());
    return cells;
}

std::string SummaryCsvText(const std::vector<SummaryRow>& rows)
{
    std::string out = "\xEF\xBB\xBF";
    for (std::size_t c = 0; c < kSummaryColumns; ++c)
        out += (c ? "," : "") + std::string(kSummaryKeys[c]);
    out += "\r\n";
    for (const SummaryRow& row : rows) {
        const auto cells = SummaryCells(row);
        for (std::size_t c = 0; c < kSummaryColumns; ++c)
            out += (c ? "," : "") + CsvField(cells[c]);
        out += "\r\n";
    }
    return out;
}

std::string SummaryRuleText(const SummarySettings& settings)
{
    return "笼长 ≥ 设计笼长 − " + MetresText(ToCm(settings.tolerance)) + " m";
}

std::string SummaryTitle(const std::vector<SummaryRow>& rows, const std::string& folderName)
{
    if (rows.empty() || rows.front().engineeringName.empty())
        return folderName;
    const std::string& name = rows.front().engineeringName;
    const bool shared =
        std::all_of(rows.begin(), rows.end(), [&](const SummaryRow& r) { return r.engineeringName == name; });
    return shared ? name : folderName;
}
