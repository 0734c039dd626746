#include "data/MeasurementFile.h"

#include "data/ByteIO.h"
#include "data/Messages.h"
#include "data/SafeFile.h"
#include "data/Smooth.h"
#include "data/TextCodec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

// Sequential reader over the file's bytes; every read checks the end of the buffer, so a file that
// ends early fails the load instead of reading past it.
class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {}
    bool seek(std::size_t pos)
    {
        m_pos = pos;
        return pos <= m_bytes.size();
    }
    std::size_t pos() const { return m_pos; }
    bool i32(int32_t& out)
    {
        if (m_pos > m_bytes.size() || m_bytes.size() - m_pos < 4) {
            return false;
        }
        out = byteio::GetI32(m_bytes.data() + m_pos);
        m_pos += 4;
        return true;
    }
    bool u32(uint32_t& out)
    {
        int32_t v = 0;
        const bool ok = i32(v);
        out = static_cast<uint32_t>(v);
        return ok;
    }
    bool f32(float& out)
    {
        int32_t v = 0;
        const bool ok = i32(v);
        out = std::bit_cast<float>(v);
        return ok;
    }
    // Bytes up to the next NUL (which is consumed); false when the file ends first.
    bool cstr(std::string& out)
    {
        out.clear();
        while (m_pos < m_bytes.size()) {
            const unsigned char c = m_bytes[m_pos++];
            if (c == 0) {
                return true;
            }
            out.push_back(static_cast<char>(c));
        }
        return false;
    }
    const unsigned char* here() const { return m_bytes.data() + m_pos; }
    bool has(std::size_t count) const { return m_pos <= m_bytes.size() && m_bytes.size() - m_pos >= count; }

private:
    const std::vector<unsigned char>& m_bytes;
    std::size_t m_pos = 0;
};

enum class DateCheck { Ok, Truncated, Invalid };

DateCheck ReadDate(Reader& r, int64_t& out, int& y, int& m, int& d)
{
    if (!r.i32(y) || !r.i32(m) || !r.i32(d)) {
        return DateCheck::Truncated;
    }
    if (y < 1900 || m < 1 || m > 12 || d < 1 || d > 31) {
        return DateCheck::Invalid;
    }
    return DateToTime(y, m, d, out) ? DateCheck::Ok : DateCheck::Invalid;
}

// Acquisition header from the reader's position: words, start depth, step, count, texts, date.
// Returns the count in n; the count is checked against the capacity before the texts are read.
enum class HeaderStatus { Ok, Truncated, TooMany, BadDate };

HeaderStatus ReadAcquisitionHeader(Reader& r, CFileData& d, uint32_t& n, int& y, int& m, int& day)
{
    if (!r.i32(d.m_nAcqWord1) || !r.i32(d.m_nAcqWord2) || !r.f32(d.m_fStartDepth) || !r.i32(d.m_nStep) || !r.u32(n)) {
        return HeaderStatus::Truncated;
    }
    if (n > static_cast<uint32_t>(kMaxSamples)) {
        return HeaderStatus::TooMany;
    }
    d.m_nCount = n;
    std::string bytes;
    d.m_strProject.clear();
    d.m_strSite.clear();
    d.m_strPileNo.clear();
    if (!r.cstr(bytes))
        return HeaderStatus::Truncated;
    d.m_strProject = WidenBytes(bytes);
    if (!r.cstr(bytes))
        return HeaderStatus::Truncated;
    d.m_strSite = WidenBytes(bytes);
    if (!r.cstr(bytes))
        return HeaderStatus::Truncated;
    d.m_strPileNo = WidenBytes(bytes);
    switch (ReadDate(r, d.m_testDate, y, m, day)) {
    case DateCheck::Ok:
        return HeaderStatus::Ok;
    case DateCheck::Truncated:
        return HeaderStatus::Truncated;
    case DateCheck::Invalid:
        break;
    }
    return HeaderStatus::BadDate;
}

SampleRecord DecodeSample(const unsigned char* p)
{
    SampleRecord s;
    s.x = byteio::GetI32(p);
    s.y = byteio::GetI32(p + 4);
    s.z = byteio::GetI32(p + 8);
    s.depth = byteio::GetF32(p + 12);
    return s;
}

// With `decode` false only checks that the table is there (the full load decodes it later, in the
// pass that completes the samples).
bool ReadSamples(Reader& r, CFileData& d, uint32_t n, bool decode = true)
{
    const std::size_t size = std::size_t(n) * cdd::kSampleSize;
    if (!r.has(size)) {
        return false;
    }
    // Checked once for the whole table above, so the records are decoded straight from the bytes.
    const unsigned char* p = r.here();
    for (uint32_t i = 0; decode && i < n; ++i, p += cdd::kSampleSize) {
        SampleRecord& s = d.m_raw[i];
        const SampleRecord decoded = DecodeSample(p);
        s.x = decoded.x;
        s.y = decoded.y;
        s.z = decoded.z;
        s.depth = decoded.depth;
    }
    r.seek(r.pos() + size);
    return true;
}

// Marker table, report block, primary acquisition header and primary samples into slot.
// On a bad date the fields read so far are committed to `commit` before the error is raised.
LoadResult ReadPrimary(Reader& r, FileSlot& slot, FileSlot& commit, uint32_t& n, bool decodeSamples)
{
    if (!r.i32(slot.markerCount)) {
        return LoadResult::Truncated;
    }
    for (float& depth : slot.markerDepth) {
        if (!r.f32(depth))
            return LoadResult::Truncated;
    }
    CFileData& p = slot.primary;
    if (!r.i32(p.m_nReportFlag) || !r.f32(p.m_fDetectedLength) || !r.f32(p.m_fReportStartDepth) ||
        !r.f32(p.m_fDesignCageLength) || !r.f32(p.m_fDesignPileLength)) {
        return LoadResult::Truncated;
    }
    std::array<std::u16string*, 6> texts = {&p.m_strReportPileNo, &p.m_strEngineeringName, &p.m_strNotes,
                                            &p.m_strReportDate,   &p.m_strReportProject,   &p.m_strReportSite};
    std::string bytes;
    for (std::u16string* text : texts) {
        if (!r.cstr(bytes)) {
            return LoadResult::Truncated;
        }
        // A text longer than the format allows keeps its first 255 bytes.
        if (bytes.size() > cdd::kMaxReportTextBytes) {
            bytes.resize(cdd::kMaxReportTextBytes);
        }
        *text = Cp936ToUtf16(bytes);
    }
    r.seek(cdd::kAcqHeader);
    int y = 0, m = 0, d = 0;
    switch (ReadAcquisitionHeader(r, p, n, y, m, d)) {
    case HeaderStatus::Ok:
        break;
    case HeaderStatus::Truncated:
        return LoadResult::Truncated;
    case HeaderStatus::TooMany:
        return LoadResult::TooManySamples;
    case HeaderStatus::BadDate:
        std::swap(commit, slot);
        throw InvalidTestDateError(y, m, d);
    }
    r.seek(cdd::kSamples);
    return ReadSamples(r, p, n, decodeSamples) ? LoadResult::Ok : LoadResult::Truncated;
}

// Secondary data set; anything unreadable leaves an empty data set rather than stale samples of
// another file, so that a later data rewrite cannot copy them into this one.
void ReadSecondary(const std::vector<unsigned char>& bytes, uint32_t n, CFileData& secondary)
{
    Reader r(bytes);
    uint32_t m = 0;
    int y = 0, mo = 0, d = 0;
    if (!r.seek(cdd::SecondaryOffset(n)) || ReadAcquisitionHeader(r, secondary, m, y, mo, d) != HeaderStatus::Ok ||
        !ReadSamples(r, secondary, m)) {
        CFileData fresh;
        fresh.m_nSmoothWindow = secondary.m_nSmoothWindow;
        secondary = std::move(fresh);
    }
}

// The three sample tables of a data set, exchanged without copying.
struct Tables {
    std::vector<SampleRecord> raw, smoothed;
    std::vector<DepthPixelEntry> pixels;
    void Exchange(CFileData& d)
    {
        raw.swap(d.m_raw);
        smoothed.swap(d.m_smoothed);
        pixels.swap(d.m_depthPixels);
    }
};

// Loads work on a copy of the slot so that a failed load leaves it untouched. The sample tables
// are too large to copy at every load (the view reloads on every paint while asked to): the copy
// borrows the slot's own, which a load writes only once nothing can fail any more. Committing
// makes the copy the slot; a load that fails hands the tables back. (A bad test date commits
// inside ReadPrimary: the slot then holds tables again and keeps them.)
class ScratchCopy {
public:
    explicit ScratchCopy(FileSlot& slot) : m_slot(slot)
    {
        Tables primary, secondary;
        primary.Exchange(slot.primary);
        secondary.Exchange(slot.secondary);
        m_copy = slot;
        primary.Exchange(m_copy.primary);
        secondary.Exchange(m_copy.secondary);
    }
    ~ScratchCopy()
    {
        if (m_slot.primary.m_raw.empty()) {
            Tables primary, secondary;
            primary.Exchange(m_copy.primary);
            primary.Exchange(m_slot.primary);
            secondary.Exchange(m_copy.secondary);
            secondary.Exchange(m_slot.secondary);
        }
    }
    ScratchCopy(const ScratchCopy&) = delete;
    ScratchCopy& operator=(const ScratchCopy&) = delete;
    FileSlot& operator*() { return m_copy; }
    void Commit() { std::swap(m_slot, m_copy); }

private:
    FileSlot& m_slot;
    // Not kept per thread: the Windows threads library frees a thread's storage before the
    // destructors of its thread_local objects run.
    FileSlot m_copy;
};

LoadResult StatusOfRead(ReadStatus status)
{
    return status == ReadStatus::TooLarge ? LoadResult::TooLarge : LoadResult::CannotOpen;
}

// The one path of both loads: the primary part is read into a scratch copy of the slot, `finish`
// completes what the load adds to it, and only then does the copy replace the slot.
template <typename Finish>
LoadResult LoadIntoSlot(FileSlot& slot, const std::vector<unsigned char>& bytes, bool decodeSamples, Finish finish)
{
    ScratchCopy scratch(slot);
    FileSlot& next = *scratch;
    Reader r(bytes);
    uint32_t n = 0;
    const LoadResult primary = ReadPrimary(r, next, slot, n, decodeSamples);
    if (primary != LoadResult::Ok) {
        return primary;
    }
    finish(next, n);
    // Bytes name no file; a load from a file names it once the load has succeeded.
    next.sourcePath.clear();
    scratch.Commit();
    return LoadResult::Ok;
}

// A load from a file: until it succeeds the slot no longer stands for any file, whatever data it
// keeps, so that no writer can put that data into the file that failed or into any other.
LoadResult LoadFromFile(FileSlot& slot, const std::string& path,
                        LoadResult (*load)(FileSlot&, const std::vector<unsigned char>&))
{
    slot.sourcePath.clear();
    const FileBytes file = ReadWholeFile(path);
    if (file.status != ReadStatus::Ok) {
        return StatusOfRead(file.status);
    }
    const LoadResult result = load(slot, file.bytes);
    if (result == LoadResult::Ok) {
        slot.sourcePath = path;
    }
    return result;
}

// A sample whose depth is |depth| < 0.01 (in double precision) is a gap the instrument left. Since
// 0.01f is the float nearest 0.01 and lies below it, for a float that is |depth| <= 0.01f.
static_assert(static_cast<double>(0.01f) < 0.01);
bool IsGap(float depth)
{
    return std::fabs(depth) <= 0.01f;
}

// A gap after the first sample gets the depth of its place and the previous sample's value
// wherever it has none.
void FillGap(SampleRecord& s, const SampleRecord& previous, int i, int count, int32_t step)
{
    s.depth = static_cast<float>(static_cast<double>(count - 1 - i) * step / 100.0);
    if (s.x == 0)
        s.x = previous.x;
    if (s.y == 0)
        s.y = previous.y;
    if (s.z == 0)
        s.z = previous.z;
}

// What the full load makes of the primary samples: decoded from the table's bytes, gaps filled,
// differences, and the smoothed table, which starts from the raw one with its differences.
void CompletePrimary(CFileData& p, uint32_t n, const unsigned char* table)
{
    const int count = static_cast<int>(n);
    SampleRecord* raw = p.m_raw.data();
    for (int i = 0; i < count; ++i, table += cdd::kSampleSize) {
        raw[i] = DecodeSample(table);
        if (i > 0 && IsGap(raw[i].depth)) {
            FillGap(raw[i], raw[i - 1], i, count, p.m_nStep);
        }
    }
    SetDifferences(raw, count);
    std::copy_n(raw, count, p.m_smoothed.data());
    p.m_nSmoothedCount = count;
    SmoothRecords(p.m_smoothed.data(), count, p.m_nSmoothWindow);
}

}  // namespace

LoadResult FullLoad(FileSlot& slot, const std::string& path)
{
    return LoadFromFile(slot, path, &FullLoadFromBytes);
}

LoadResult FullLoadFromBytes(FileSlot& slot, const std::vector<unsigned char>& bytes)
{
    return LoadIntoSlot(slot, bytes, false, [&](FileSlot& next, uint32_t n) {
        CompletePrimary(next.primary, n, bytes.data() + cdd::kSamples);
        ReadSecondary(bytes, n, next.secondary);
    });
}

LoadResult HeaderLoad(FileSlot& slot, const std::string& path)
{
    return LoadFromFile(slot, path, &HeaderLoadFromBytes);
}

LoadResult HeaderLoadFromBytes(FileSlot& slot, const std::vector<unsigned char>& bytes)
{
    if (bytes.empty()) {
        return LoadResult::Empty;
    }
    return LoadIntoSlot(slot, bytes, true, [](FileSlot&, uint32_t) {});
}

const char* LoadResultMessage(LoadResult result)
{
    switch (result) {
    case LoadResult::Ok:
    case LoadResult::CannotOpen:
        return "";
    case LoadResult::Empty:
        return msg::kInvalidFile;
    case LoadResult::Truncated:
        return msg::kFileTruncated;
    case LoadResult::TooManySamples:
        return msg::kTooManySamples;
    case LoadResult::TooLarge:
        return msg::kFileTooLarge;
    }
    return "";
}
