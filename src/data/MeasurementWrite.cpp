#include "data/MeasurementFile.h"

#include "data/ByteIO.h"
#include "data/Messages.h"
#include "data/NumberText.h"
#include "data/PathUtil.h"
#include "data/SafeFile.h"
#include "data/TextCodec.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

// Report text to code page 936. A text left as the dialog showed it goes back as the bytes it was
// shown from - the file's saved report text, or the acquisition header's default - so that what the
// operator did not touch stays byte for byte what it was, valid code page 936 or not. Anything else
// was typed and is encoded as typed.
std::optional<std::string> EncodeReportText(std::u16string_view text, const std::string& saved,
                                            const std::u16string* acquisition)
{
    if (text == Cp936ToUtf16(saved)) {
        return saved;
    }
    if (acquisition && text == DecodeAcquisitionText(*acquisition)) {
        return NarrowToBytes(*acquisition);
    }
    return Utf16ToCp936(text);
}

// The six texts of the report block as the file holds them, each cut to the length a load keeps.
std::array<std::string, 6> StoredReportTexts(const std::vector<unsigned char>& bytes)
{
    std::array<std::string, 6> texts;
    std::size_t pos = cdd::kReportTexts;
    for (std::string& text : texts) {
        while (pos < bytes.size() && bytes[pos] != 0) {
            text.push_back(static_cast<char>(bytes[pos++]));
        }
        ++pos;
        if (text.size() > cdd::kMaxReportTextBytes) {
            text.resize(cdd::kMaxReportTextBytes);
        }
    }
    return texts;
}

// Reads the file a writer patches. The file must open for reading and writing, as the
// instrument's own software demands, so a read-only file is refused before anything happens.
WriteResult ReadForPatch(const std::string& path, std::vector<unsigned char>& bytes)
{
    if (!CanOpenReadWrite(path)) {
        return WriteResult::CannotRead;
    }
    FileBytes file = ReadWholeFile(path);
    if (file.status != ReadStatus::Ok) {
        return WriteResult::CannotRead;
    }
    bytes = std::move(file.bytes);
    return WriteResult::Ok;
}

// Reads a measurement file for a patch: besides ReadForPatch, its header must load, so that a
// report or a marker table is never stamped into a file that is not one of ours (an empty file,
// a text file that happens to end in ".cdd"). A bad test date does not matter here: the patches
// leave the date alone. header receives the file's header load.
WriteResult ReadMeasurementForPatch(const std::string& path, std::vector<unsigned char>& bytes,
                                    FileSlot* header = nullptr)
{
    const WriteResult read = ReadForPatch(path, bytes);
    if (read != WriteResult::Ok) {
        return read;
    }
    std::unique_ptr<FileSlot> probe;
    if (!header) {
        probe = std::make_unique<FileSlot>();
        header = probe.get();
    }
    LoadResult loaded = LoadResult::Ok;
    try {
        loaded = HeaderLoadFromBytes(*header, bytes);
    } catch (const InvalidTestDateError&) {
        loaded = LoadResult::Ok;
    }
    return loaded == LoadResult::Ok ? WriteResult::Ok : WriteResult::InvalidFile;
}

// A target that exists but may not be written is refused, as creating it would be; replacing it
// by rename would otherwise get round its read-only attribute.
bool TargetWritable(const std::string& path)
{
    std::error_code ec;
    return !std::filesystem::exists(NativePath(path), ec) || CanOpenReadWrite(path);
}

WriteResult Commit(const std::string& path, const std::vector<unsigned char>& bytes)
{
    return ReplaceFileContents(path, bytes) ? WriteResult::Ok : WriteResult::CannotCreate;
}

void PutAcqText(std::vector<unsigned char>& out, const std::u16string& text)
{
    const std::string bytes = NarrowToBytes(text);
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.push_back(0);
}

void AppendI32(std::vector<unsigned char>& out, int32_t v)
{
    const std::size_t pos = out.size();
    out.resize(pos + 4);
    byteio::PutI32(out.data() + pos, v);
}

void AppendSample(std::vector<unsigned char>& out, const SampleRecord& s)
{
    AppendI32(out, s.x);
    AppendI32(out, s.y);
    AppendI32(out, s.z);
    AppendI32(out, std::bit_cast<int32_t>(s.depth));
}

}  // namespace

WriteResult SaveAsCopy(const std::string& currentPath, const std::string& targetPath,
                       const std::array<float, kMarkerSlots>& markerDepths)
{
    std::vector<unsigned char> bytes;
    const WriteResult read = ReadMeasurementForPatch(currentPath, bytes);
    if (read != WriteResult::Ok) {
        return read;
    }
    if (!TargetWritable(targetPath)) {
        return WriteResult::CannotCreate;
    }
    byteio::PutI32At(bytes, cdd::kMarkerCount, cdd::kStampedMarkerCount);
    for (int k = 0; k < kMarkerSlots; ++k) {
        byteio::PutF32At(bytes, cdd::kMarkerTable + 4 * std::size_t(k), markerDepths[k]);
    }
    return Commit(targetPath, bytes);
}

WriteResult ZWriteBack(const std::string& path, uint32_t sampleCount, const std::vector<std::u16string>& zCells)
{
    std::vector<unsigned char> bytes;
    auto header = std::make_unique<FileSlot>();
    const WriteResult read = ReadMeasurementForPatch(path, bytes, header.get());
    if (read != WriteResult::Ok) {
        return read;
    }
    const uint32_t fileCount = header->primary.m_nCount;
    // The cells count down from the file's last sample: cells of a grid filled from a file of
    // another length would land on the wrong samples.
    if (fileCount != sampleCount) {
        return WriteResult::InvalidFile;
    }
    const std::size_t n = std::min<std::size_t>(sampleCount, kMaxSamples);
    const std::size_t cells = std::min(n, zCells.size());
    for (std::size_t k = 0; k < cells; ++k) {
        const std::size_t s = n - 1 - k;
        const std::size_t pos = cdd::kSamples + cdd::kSampleSize * s + 8;
        // Never write beyond the file: a sample the file does not hold has no Z to replace.
        if (pos + 4 <= bytes.size()) {
            // A cell the C library would read up to its first blank ("44 610" as 44) is refused
            // rather than written as a value nobody typed.
            const std::optional<int32_t> z = ParseWholeNumber(zCells[k]);
            if (!z) {
                return WriteResult::NotWholeNumber;
            }
            byteio::PutI32(bytes.data() + pos, *z);
        }
    }
    return Commit(path, bytes);
}

WriteResult DataRewrite(const std::string& path, const FileSlot& slot)
{
    std::vector<unsigned char> bytes;
    const WriteResult read = ReadForPatch(path, bytes);
    if (read != WriteResult::Ok) {
        return read;
    }
    // The samples of a slot go back only into the file they were read from.
    if (!SameFile(slot.sourcePath, path)) {
        return WriteResult::InvalidFile;
    }
    const CFileData& p = slot.primary;
    const CFileData& s = slot.secondary;
    const uint32_t n = std::min<uint32_t>(p.m_nCount, kMaxSamples);
    const uint32_t m = std::min<uint32_t>(s.m_nCount, kMaxSamples);
    byteio::PutF32At(bytes, cdd::kStartDepth, p.m_fStartDepth);
    byteio::PutI32At(bytes, cdd::kCount, static_cast<int32_t>(n));

    std::vector<unsigned char> tail;
    for (uint32_t i = 0; i < n; ++i) {
        AppendSample(tail, p.m_raw[i]);
    }
    for (unsigned char b = 0; b < cdd::kSeparatorSize; ++b) {
        tail.push_back(b);
    }
    AppendI32(tail, s.m_nAcqWord1);
    AppendI32(tail, s.m_nAcqWord2);
    AppendI32(tail, std::bit_cast<int32_t>(s.m_fStartDepth));
    AppendI32(tail, s.m_nStep);
    AppendI32(tail, static_cast<int32_t>(m));
    PutAcqText(tail, s.m_strProject);
    PutAcqText(tail, s.m_strSite);
    PutAcqText(tail, s.m_strPileNo);
    std::tm tm{};
    if (LocalDate(s.m_testDate, tm)) {
        AppendI32(tail, tm.tm_year + 1900);
        AppendI32(tail, tm.tm_mon + 1);
        AppendI32(tail, tm.tm_mday);
    } else {
        AppendI32(tail, 0);
        AppendI32(tail, 0);
        AppendI32(tail, 0);
    }
    for (uint32_t i = 0; i < m; ++i) {
        AppendSample(tail, s.m_raw[i]);
    }
    // Bytes of the old file beyond the new content stay where they were.
    byteio::EnsureSize(bytes, cdd::kSamples + tail.size());
    std::copy(tail.begin(), tail.end(), bytes.begin() + cdd::kSamples);
    return Commit(path, bytes);
}

WriteResult ReportSave(const std::string& path, const ReportTexts& texts)
{
    const std::array<const std::u16string*, 6> sources = {&texts.pileNo, &texts.engineeringName, &texts.notes,
                                                          &texts.date,   &texts.project,         &texts.site};
    // The file is read first for the bytes its texts were shown from; a file that cannot be read is
    // refused after the texts have been checked, as it always was.
    std::vector<unsigned char> bytes;
    auto header = std::make_unique<FileSlot>();
    const WriteResult read = ReadMeasurementForPatch(path, bytes, header.get());
    const std::array<std::string, 6> saved =
        read == WriteResult::Ok ? StoredReportTexts(bytes) : std::array<std::string, 6>{};
    const CFileData& acq = header->primary;
    const std::array<const std::u16string*, 6> defaults = {&acq.m_strPileNo, nullptr,           nullptr,
                                                           nullptr,          &acq.m_strProject, &acq.m_strSite};
    std::vector<unsigned char> block;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        // The file holds each text up to its NUL; what follows a NUL typed into a text could never
        // be read back and would shift the texts after it.
        const std::u16string_view typed(*sources[i]);
        const std::optional<std::string> encoded = EncodeReportText(typed.substr(0, typed.find(u'\0')), saved[i],
                                                                    read == WriteResult::Ok ? defaults[i] : nullptr);
        if (!encoded) {
            return WriteResult::NotEncodable;
        }
        if (encoded->size() > cdd::kMaxReportTextBytes) {
            return WriteResult::TextTooLong;
        }
        block.insert(block.end(), encoded->begin(), encoded->end());
        block.push_back(0);
    }
    if (cdd::kReportTexts + block.size() > cdd::kReportEnd) {
        return WriteResult::TextTooLong;
    }
    if (read != WriteResult::Ok) {
        return read;
    }
    byteio::PutI32At(bytes, cdd::kReportFlag, 1);
    byteio::PutF32At(bytes, cdd::kDetectedLength, static_cast<float>(ParseLeadingDouble(texts.detectedLength)));
    byteio::PutF32At(bytes, cdd::kReportStartDepth, static_cast<float>(ParseLeadingDouble(texts.startDepth)));
    byteio::PutF32At(bytes, cdd::kDesignCageLength, static_cast<float>(ParseLeadingDouble(texts.designCageLength)));
    byteio::PutF32At(bytes, cdd::kDesignPileLength, static_cast<float>(ParseLeadingDouble(texts.designPileLength)));
    byteio::EnsureSize(bytes, cdd::kReportTexts + block.size());
    std::copy(block.begin(), block.end(), bytes.begin() + cdd::kReportTexts);
    return Commit(path, bytes);
}

const char* WriteResultMessage(WriteResult result)
{
    switch (result) {
    case WriteResult::Ok: return "";
    case WriteResult::CannotRead: return msg::kCannotRead;
    case WriteResult::CannotCreate: return msg::kCannotCreate;
    case WriteResult::TextTooLong: return msg::kReportTooLong;
    case WriteResult::NotEncodable: return msg::kReportNotEncodable;
    case WriteResult::InvalidFile: return msg::kInvalidFile;
    case WriteResult::NotWholeNumber:
        return msg::kEnterInteger;
    }
    return msg::kCannotCreate;
}
