// The four writers of a measurement file, one after another with any arguments, on a file that
// loads: what a writer stores reads back, every byte it does not own stays as it was (bytes it
// adds past the old end are zero), a refused write changes nothing, and the result still loads.
#include "FuzzSupport.h"

#include "data/Adjustments.h"
#include "data/ByteIO.h"
#include "data/MeasurementFile.h"
#include "data/NumberText.h"
#include "data/SafeFile.h"
#include "data/TextCodec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadBack(const std::string& path)
{
    FileBytes file = ReadWholeFile(path);
    FUZZ_REQUIRE(file.status == ReadStatus::Ok);
    return std::move(file.bytes);
}

bool Loads(FileSlot& slot, const Bytes& bytes)
{
    try {
        return FullLoadFromBytes(slot, bytes) == LoadResult::Ok;
    } catch (const InvalidTestDateError&) {
        return false;
    }
}

// The load the program makes before a write, which ties the data to the file.
void LoadFile(FileSlot& slot, const std::string& path)
{
    try {
        FUZZ_REQUIRE(FullLoad(slot, path) == LoadResult::Ok);
    } catch (const InvalidTestDateError&) {
        FUZZ_REQUIRE(false);
    }
}

// The bytes a writer may change.
class Patch {
public:
    explicit Patch(std::size_t size) : m_owned(size, false) {}
    void own(std::size_t begin, std::size_t end)
    {
        for (std::size_t i = begin; i < end && i < m_owned.size(); ++i) {
            m_owned[i] = true;
        }
    }
    // after has the expected size and differs from before only in owned bytes.
    bool keepsTheRest(const Bytes& before, const Bytes& after) const
    {
        if (after.size() != m_owned.size()) {
            return false;
        }
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (!m_owned[i] && after[i] != (i < before.size() ? before[i] : 0)) {
                return false;
            }
        }
        return true;
    }

private:
    std::vector<bool> m_owned;
};

bool SameDataSet(const CFileData& a, const CFileData& b)
{
    if (a.m_nAcqWord1 != b.m_nAcqWord1 || a.m_nAcqWord2 != b.m_nAcqWord2 || a.m_nStep != b.m_nStep ||
        a.m_nCount != b.m_nCount || !fuzz::SameBits(a.m_fStartDepth, b.m_fStartDepth) ||
        a.m_strProject != b.m_strProject || a.m_strSite != b.m_strSite || a.m_strPileNo != b.m_strPileNo ||
        FormatTestDate(a.m_testDate) != FormatTestDate(b.m_testDate)) {
        return false;
    }
    for (uint32_t i = 0; i < a.m_nCount; ++i) {
        if (!fuzz::SameReading(a.m_raw[i], b.m_raw[i])) {
            return false;
        }
    }
    return true;
}

// What every writer shares: the file, its bytes and load before the write, and whether it was made
// read-only (which every writer must refuse without touching it).
struct Step {
    FuzzedDataProvider& fdp;
    const std::string& path;
    const Bytes& before;
    FileSlot& loaded;
    bool readOnly;

    // A refused write: the file is exactly as it was.
    void checkRefused(WriteResult result) const
    {
        FUZZ_REQUIRE(result != WriteResult::Ok);
        FUZZ_REQUIRE(ReadBack(path) == before);
    }
    // Any write, accepted or refused, leaves a file that loads.
    std::unique_ptr<FileSlot> reload(const Bytes& after) const
    {
        auto slot = std::make_unique<FileSlot>();
        FUZZ_REQUIRE(Loads(*slot, after));
        return slot;
    }
};

float AnyFloat(FuzzedDataProvider& fdp)
{
    return fdp.ConsumeBool() ? fdp.ConsumeFloatingPointInRange(-1.0f, 200.0f)
                             : std::bit_cast<float>(fdp.ConsumeIntegral<uint32_t>());
}

void SaveAsCopyStep(const Step& s)
{
    std::array<float, kMarkerSlots> depths{};
    for (float& d : depths) {
        d = AnyFloat(s.fdp);
    }
    // 0: onto the file itself, 1: a new file, 2: over another file, 3: over a read-only file.
    const int kind = s.fdp.ConsumeIntegralInRange(0, 3);
    const std::string target = kind == 0 ? s.path : fuzz::TempPath("copy.cdd");
    Bytes other;
    std::error_code ec;
    std::filesystem::remove(fuzz::TempPath("copy.cdd"), ec);
    if (kind >= 2) {
        other = s.fdp.ConsumeBytes<unsigned char>(s.fdp.ConsumeIntegralInRange(0, 64));
        fuzz::WriteFile(target, other, kind == 3);
    }
    const WriteResult result = SaveAsCopy(s.path, target, depths);
    if (s.readOnly || kind == 3) {
        s.checkRefused(result);
        FUZZ_REQUIRE(kind < 2 || ReadBack(target) == other);
        FUZZ_REQUIRE(kind != 1 || !std::filesystem::exists(target, ec));
        return;
    }
    FUZZ_REQUIRE(result == WriteResult::Ok);
    FUZZ_REQUIRE(kind == 0 || ReadBack(s.path) == s.before);
    const Bytes after = ReadBack(target);
    Patch patch(std::max<std::size_t>(s.before.size(), cdd::kReportFlag));
    patch.own(cdd::kMarkerCount, cdd::kReportFlag);
    FUZZ_REQUIRE(patch.keepsTheRest(s.before, after));
    const auto copy = s.reload(after);
    FUZZ_REQUIRE(copy->markerCount == cdd::kStampedMarkerCount);
    for (int k = 0; k < kMarkerSlots; ++k) {
        FUZZ_REQUIRE(fuzz::SameBits(copy->markerDepth[k], depths[k]));
    }
    FUZZ_REQUIRE(SameDataSet(copy->primary, s.loaded.primary) && SameDataSet(copy->secondary, s.loaded.secondary));
}

void ZWriteBackStep(const Step& s)
{
    const uint32_t n = s.loaded.primary.m_nCount;
    std::vector<std::u16string> cells;
    std::vector<std::optional<int32_t>> typed;
    for (std::size_t k = s.fdp.ConsumeIntegralInRange<std::size_t>(0, n + 2); k > 0; --k) {
        if (s.fdp.ConsumeBool()) {
            // A number as typed: blanks around it, an optional '+'; now and then a typo after it.
            const int32_t value = s.fdp.ConsumeIntegral<int32_t>();
            std::u16string text(s.fdp.ConsumeIntegralInRange(0, 2), u' ');
            text += value >= 0 && s.fdp.ConsumeBool() ? u"+" : u"";
            text += fuzz::Widen(std::to_string(value));
            text += std::u16string(s.fdp.ConsumeIntegralInRange(0, 2), u' ');
            const bool typo = s.fdp.ConsumeProbability<float>() < 0.05f;
            if (typo) {
                text += u"x" + fuzz::AnyText(s.fdp, 6);
            }
            cells.push_back(text);
            typed.push_back(typo ? std::nullopt : std::optional<int32_t>(value));
        } else {
            cells.push_back(fuzz::AnyText(s.fdp, 12));
            typed.push_back(ParseWholeNumber(cells.back()));
        }
    }
    // A table filled from a file of another length is refused, and so is a cell of a sample that
    // does not hold a whole number.
    const bool otherLength = s.fdp.ConsumeProbability<float>() < 0.1f;
    const WriteResult result = ZWriteBack(s.path, otherLength ? n + 1 : n, cells);
    const bool allWhole = std::all_of(typed.begin(), typed.begin() + std::min<std::size_t>(n, typed.size()),
                                      [](const std::optional<int32_t>& z) { return z.has_value(); });
    if (s.readOnly || otherLength || !allWhole) {
        return s.checkRefused(result);
    }
    FUZZ_REQUIRE(result == WriteResult::Ok);
    const Bytes after = ReadBack(s.path);
    Patch patch(s.before.size());
    for (std::size_t k = 0; k < std::min<std::size_t>(n, cells.size()); ++k) {
        const std::size_t pos = cdd::kSamples + cdd::kSampleSize * (n - 1 - k) + 8;
        patch.own(pos, pos + 4);
        FUZZ_REQUIRE(!typed[k] || byteio::GetI32(after.data() + pos) == *typed[k]);
    }
    FUZZ_REQUIRE(patch.keepsTheRest(s.before, after));
    FUZZ_REQUIRE(s.reload(after)->primary.m_nCount == n);
}

void DataRewriteStep(const Step& s)
{
    // The corrections the rewrite exists for, applied as the program applies them: only when accepted.
    CFileData& primary = s.loaded.primary;
    for (int op = s.fdp.ConsumeIntegralInRange(0, 3); op > 0; --op) {
        if (s.fdp.ConsumeBool()) {
            InsertTail(primary);
        } else {
            ApplyStartDepthCorrection(primary, PlanStartDepthCorrection(primary, fuzz::StartDepthText(s.fdp)));
        }
    }
    // Data that no longer stands for this file (its load failed since) is refused.
    if (s.fdp.ConsumeProbability<float>() < 0.1f) {
        s.loaded.sourcePath.clear();
    }
    const WriteResult result = DataRewrite(s.path, s.loaded);
    if (s.readOnly || s.loaded.sourcePath.empty()) {
        return s.checkRefused(result);
    }
    FUZZ_REQUIRE(result == WriteResult::Ok);
    const Bytes after = ReadBack(s.path);
    const CFileData& secondary = s.loaded.secondary;
    const std::size_t n = primary.m_nCount;
    const std::size_t texts =
        secondary.m_strProject.size() + secondary.m_strSite.size() + secondary.m_strPileNo.size() + 3;
    const std::size_t end = cdd::SecondaryOffset(uint32_t(n)) + 20 + texts + 12 + cdd::kSampleSize * secondary.m_nCount;
    Patch patch(std::max(s.before.size(), end));
    patch.own(cdd::kStartDepth, cdd::kStartDepth + 4);
    patch.own(cdd::kCount, cdd::kCount + 4);
    patch.own(cdd::kSamples, end);
    FUZZ_REQUIRE(patch.keepsTheRest(s.before, after));
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char* p = after.data() + cdd::kSamples + cdd::kSampleSize * i;
        const SampleRecord& r = primary.m_raw[i];
        FUZZ_REQUIRE(byteio::GetI32(p) == r.x && byteio::GetI32(p + 4) == r.y && byteio::GetI32(p + 8) == r.z &&
                     fuzz::SameBits(byteio::GetF32(p + 12), r.depth));
    }
    const auto back = s.reload(after);
    FUZZ_REQUIRE(back->primary.m_nCount == n && fuzz::SameBits(back->primary.m_fStartDepth, primary.m_fStartDepth));
    for (std::size_t i = 0; i < n; ++i) {
        // A depth of at most 0.01 m either side of 0 is repaired by every load, so only the others
        // read back as written.
        if (i == 0 || std::fabs(primary.m_raw[i].depth) > 0.01f) {
            FUZZ_REQUIRE(fuzz::SameReading(back->primary.m_raw[i], primary.m_raw[i]));
        }
    }
    FUZZ_REQUIRE(SameDataSet(back->secondary, secondary));
}

// A length as typed into the print settings dialog, and the value the C library reads from it;
// nullopt for any other text.
std::u16string LengthText(FuzzedDataProvider& fdp, std::optional<double>& expected)
{
    expected.reset();
    if (fdp.ConsumeBool()) {
        return fuzz::AnyText(fdp, 16);
    }
    std::string number(fdp.ConsumeIntegralInRange(0, 2), ' ');
    number += fdp.PickValueInArray({"", "+", "-"});
    // Plain decimals, any double at all, and exponents past both ends of the double range.
    char buf[512];
    const int digits = fdp.ConsumeIntegralInRange(1, 17);
    const int kind = fdp.ConsumeIntegralInRange(0, 2);
    const double value = kind == 0 ? fdp.ConsumeFloatingPointInRange(-1e4, 1e4)
                                   : std::bit_cast<double>(fdp.ConsumeIntegral<uint64_t>());
    if (kind == 0) {
        std::snprintf(buf, sizeof buf, "%.*f", digits % 5, value);
    } else if (kind == 1) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, value);
    } else {
        std::snprintf(buf, sizeof buf, "%de%d", digits, fdp.ConsumeIntegralInRange(-500, 500));
    }
    number += buf;
    expected = std::strtod(number.c_str(), nullptr);
    std::u16string text = fuzz::Widen(number);
    if (fdp.ConsumeBool()) {
        text += u"m" + fuzz::AnyText(fdp, 4);
    }
    return text;
}

bool PlainAscii(const std::u16string& text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c > 0 && c < 0x80; });
}

void ReportSaveStep(const Step& s)
{
    ReportTexts t;
    std::array<std::optional<double>, 4> numbers;
    std::u16string* lengths[] = {&t.detectedLength, &t.startDepth, &t.designCageLength, &t.designPileLength};
    for (int k = 0; k < 4; ++k) {
        *lengths[k] = LengthText(s.fdp, numbers[k]);
    }
    // The order the report block stores them in.
    std::u16string* texts[] = {&t.pileNo, &t.engineeringName, &t.notes, &t.date, &t.project, &t.site};
    std::size_t asciiBytes = 0;
    bool allAscii = true;
    for (std::u16string* text : texts) {
        *text = fuzz::AnyText(s.fdp, s.fdp.ConsumeBool() ? 40 : 300);
        asciiBytes += text->size() + 1;
        allAscii = allAscii && PlainAscii(*text) && text->size() <= cdd::kMaxReportTextBytes;
    }
    const WriteResult result = ReportSave(s.path, t);
    // Texts that plainly fit are never refused.
    const bool plainlyFit = allAscii && cdd::kReportTexts + asciiBytes <= cdd::kReportEnd;
    FUZZ_REQUIRE(s.readOnly || !plainlyFit || result == WriteResult::Ok);
    if (s.readOnly || result != WriteResult::Ok) {
        return s.checkRefused(result);
    }
    const Bytes after = ReadBack(s.path);
    FUZZ_REQUIRE(byteio::GetI32(after.data() + cdd::kReportFlag) == 1);
    for (int k = 0; k < 4; ++k) {
        const float stored = byteio::GetF32(after.data() + cdd::kDetectedLength + 4 * k);
        const float want = numbers[k] ? static_cast<float>(*numbers[k]) : stored;
        FUZZ_REQUIRE(stored == want || (std::isnan(stored) && std::isnan(want)));
    }
    // The six texts end with the sixth NUL from offset 68, before the acquisition header.
    std::size_t end = cdd::kReportTexts;
    for (int nul = 0; nul < 6; ++end) {
        FUZZ_REQUIRE(end < cdd::kReportEnd && end < after.size());
        nul += after[end] == 0;
    }
    Patch patch(std::max(s.before.size(), end));
    patch.own(cdd::kReportFlag, end);
    FUZZ_REQUIRE(patch.keepsTheRest(s.before, after));
    const auto back = s.reload(after);
    const CFileData& p = back->primary;
    const std::u16string* read[] = {&p.m_strReportPileNo, &p.m_strEngineeringName, &p.m_strNotes,
                                    &p.m_strReportDate,   &p.m_strReportProject,   &p.m_strReportSite};
    // Pile number, project and site left as the acquisition header showed them keep its bytes.
    const CFileData& acq = s.loaded.primary;
    const std::u16string* defaults[] = {&acq.m_strPileNo, nullptr, nullptr, nullptr, &acq.m_strProject, &acq.m_strSite};
    for (int k = 0; k < 6; ++k) {
        // A text is stored up to its first NUL; any other text reads back as typed.
        const std::u16string stored = texts[k]->substr(0, texts[k]->find(u'\0'));
        const bool shownDefault = defaults[k] && stored == DecodeAcquisitionText(*defaults[k]);
        FUZZ_REQUIRE(shownDefault ? *read[k] == Cp936ToUtf16(NarrowToBytes(*defaults[k])) : *read[k] == stored);
    }
    FUZZ_REQUIRE(SameDataSet(p, s.loaded.primary) && SameDataSet(back->secondary, s.loaded.secondary));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::SplitInput in = fuzz::Split(data, size);
    auto slot = std::make_unique<FileSlot>();
    if (!Loads(*slot, in.file)) {
        return 0;
    }
    FuzzedDataProvider fdp(in.args.data(), in.args.size());
    const std::string path = fuzz::TempPath("file.cdd");
    Bytes before = in.file;
    for (int step = fdp.ConsumeIntegralInRange(1, 3); step > 0; --step) {
        const bool readOnly = fdp.ConsumeProbability<float>() < 0.1f;
        fuzz::WriteFile(path, before, readOnly);
        LoadFile(*slot, path);
        const Step s{fdp, path, before, *slot, readOnly};
        switch (fdp.ConsumeIntegralInRange(0, 3)) {
        case 0: SaveAsCopyStep(s); break;
        case 1: ZWriteBackStep(s); break;
        case 2: DataRewriteStep(s); break;
        default: ReportSaveStep(s); break;
        }
        before = ReadBack(path);
        FUZZ_REQUIRE(Loads(*slot, before));
    }
    return 0;
}
