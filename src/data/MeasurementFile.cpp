#include "data/MeasurementFile.h"

#include "data/ByteIO.h"
#include "data/Messages.h"
#include "data/PathUtil.h"
#include "data/SafeFile.h"
#include "data/SampleBlocks.h"
#include "data/Smooth.h"
#include "data/TextCodec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <ctime>
#include <memory>
#include <filesystem>
#include <optional>
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

bool LocalDate(int64_t timeValue, std::tm& out)
{
    const std::time_t t = static_cast<std::time_t>(timeValue);
#ifdef _WIN32
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

bool IsMidnightOf(int64_t timeValue, int year, int month, int day)
{
    std::tm tm{};
    return LocalDate(timeValue, tm) && tm.tm_year == year - 1900 && tm.tm_mon == month - 1 && tm.tm_mday == day &&
           tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0;
}

// The local time value of a date at 00:00:00, daylight saving as the system decides.
// mktime reads the time zone afresh at every call (on glibc a stat of /etc/localtime), which costs
// more than the rest of a file's header, and the two data sets of a file, like the files of a day,
// share their date. So the last value is taken again as long as it still turns back into that
// date's midnight, the way the date is shown and written back; otherwise mktime decides (another
// date, a day past the month's end that mktime carries into the next month).
bool DateToTime(int year, int month, int day, int64_t& out)
{
    struct Last {
        int year = 0, month = 0, day = 0;
        int64_t value = 0;
    };
    thread_local Last last;
    if (last.year == year && last.month == month && last.day == day && IsMidnightOf(last.value, year, month, day)) {
        out = last.value;
        return true;
    }
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) {
        return false;
    }
    out = static_cast<int64_t>(t);
    last = Last{year, month, day, out};
    return true;
}

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
    if (!r.i32(d.m_nAcqWord1) || !r.i32(d.m_nAcqWord2) || !r.f32(d.m_fStartDepth) || !r.i32(d.m_nStep) ||
        !r.u32(n)) {
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
    if (!r.cstr(bytes)) return HeaderStatus::Truncated;
    d.m_strProject = WidenBytes(bytes);
    if (!r.cstr(bytes)) return HeaderStatus::Truncated;
    d.m_strSite = WidenBytes(bytes);
    if (!r.cstr(bytes)) return HeaderStatus::Truncated;
    d.m_strPileNo = WidenBytes(bytes);
    switch (ReadDate(r, d.m_testDate, y, m, day)) {
    case DateCheck::Ok: return HeaderStatus::Ok;
    case DateCheck::Truncated: return HeaderStatus::Truncated;
    case DateCheck::Invalid: break;
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

[[maybe_unused]] int32_t WrappingDiff(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Marker table, report block, primary acquisition header and primary samples into slot.
// On a bad date the fields read so far are committed to `commit` before the error is raised.
LoadResult ReadPrimary(Reader& r, FileSlot& slot, FileSlot& commit, uint32_t& n, bool decodeSamples)
{
    if (!r.i32(slot.markerCount)) {
        return LoadResult::Truncated;
    }
    for (float& depth : slot.markerDepth) {
        if (!r.f32(depth)) return LoadResult::Truncated;
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
    case HeaderStatus::Ok: break;
    case HeaderStatus::Truncated: return LoadResult::Truncated;
    case HeaderStatus::TooMany: return LoadResult::TooManySamples;
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

// Loads work on a copy of the slot so that a failed load leaves it untouched; the copy is kept per
// thread so that repeated loads (the view reloads on every paint while asked to) reuse it. The
// sample tables are too large to copy at every load: the copy borrows the slot's own, which a
// load writes only once nothing can fail any more. Committing makes the copy the slot; a load
// that fails hands the tables back. (A bad test date commits inside ReadPrimary: the slot then
// holds tables again and keeps them.)
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
    static thread_local FileSlot m_copy;
};

thread_local FileSlot ScratchCopy::m_copy;

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

std::string FormatFixed2(float value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0.00");
}

// Report text to code page 936. Code units U+FF80..U+FFFF are acquisition bytes held widened
// (a default taken from the acquisition header); they go back to the file as the bytes they were.
std::optional<std::string> EncodeReportText(std::u16string_view text)
{
    std::string out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] < 0xFF80) {
            continue;
        }
        const std::optional<std::string> run = Utf16ToCp936(text.substr(start, i - start));
        if (!run) {
            return std::nullopt;
        }
        out += *run;
        if (i < text.size()) {
            out.push_back(static_cast<char>(text[i] & 0xFF));
        }
        start = i + 1;
    }
    return out;
}

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// Where a number's digits start for atoi and atof: after the leading blanks and one sign.
std::size_t SkipBlanksAndSign(std::u16string_view text, bool& negative)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    return i;
}

// Whether the decimal number at the start of text (digits, a fraction, an exponent) is below 1 in
// magnitude. For a number outside the double range this tells an underflow, which reads as 0 like
// the C library reads it, from an overflow, which reads as infinity.
bool MagnitudeBelowOne(std::string_view text)
{
    std::size_t i = 0;
    int64_t intDigits = 0, fractionZeros = 0;
    bool nonZero = false, pastPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !pastPoint) {
            pastPoint = true;
        } else if (c < '0' || c > '9') {
            break;
        } else if (!pastPoint) {
            nonZero = nonZero || c != '0';
            intDigits += nonZero ? 1 : 0;
        } else if (!nonZero) {
            nonZero = c != '0';
            fractionZeros += nonZero ? 0 : 1;
        }
    }
    if (!nonZero) {
        return true;
    }
    // Decimal exponent of the first significant digit, then the written exponent on top.
    int64_t magnitude = intDigits > 0 ? intDigits - 1 : -(fractionZeros + 1);
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negative = text[j] == '-';
        j += text[j] == '-' || text[j] == '+' ? 1 : 0;
        int64_t exponent = 0;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j) {
            exponent = std::min<int64_t>(exponent * 10 + (text[j] - '0'), int64_t(1) << 40);
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude < 0;
}

}  // namespace

InvalidTestDateError::InvalidTestDateError(int y, int m, int d)
    : std::runtime_error("invalid test date " + std::to_string(y) + "-" + std::to_string(m) + "-" +
                         std::to_string(d)),
      year(y), month(m), day(d)
{
}

namespace {

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

}  // namespace

LoadResult FullLoad(FileSlot& slot, const std::string& path)
{
    return LoadFromFile(slot, path, &FullLoadFromBytes);
}

namespace {

// A sample whose depth is |depth| < 0.01 (in double precision) is a gap the instrument left. Since
// 0.01f is the float nearest 0.01 and lies below it, for a float that is |depth| <= 0.01f.
static_assert(static_cast<double>(0.01f) < 0.01);
bool IsGap(float depth) { return std::fabs(depth) <= 0.01f; }

// A gap after the first sample gets the depth of its place and the previous sample's value
// wherever it has none.
void FillGap(SampleRecord& s, const SampleRecord& previous, int i, int count, int32_t step)
{
    s.depth = static_cast<float>(static_cast<double>(count - 1 - i) * step / 100.0);
    if (s.x == 0) s.x = previous.x;
    if (s.y == 0) s.y = previous.y;
    if (s.z == 0) s.z = previous.z;
}

// What the full load makes of the primary samples: decoded from the table's bytes, gaps filled,
// differences, the smoothed table; one pass, the previous sample kept in registers.
void CompletePrimary(CFileData& p, uint32_t n, const unsigned char* table)
{
    const int count = static_cast<int>(n);
    SampleRecord* raw = p.m_raw.data();
    SampleRecord* smoothed = p.m_smoothed.data();
#ifdef ORVEK_SAMPLE_BLOCKS
    // x86 is little-endian: a sample's 16 bytes are the record's first block as it lies in memory.
    __m128i previous = _mm_setzero_si128();
    for (int i = 0; i < count; ++i, table += cdd::kSampleSize) {
        __m128i head = blocks::Load(table);
        if (i > 0 && IsGap(_mm_cvtss_f32(_mm_castsi128_ps(_mm_shuffle_epi32(head, _MM_SHUFFLE(3, 3, 3, 3)))))) {
            SampleRecord s = DecodeSample(table);
            FillGap(s, raw[i - 1], i, count, p.m_nStep);
            head = blocks::LoadHead(s);
        }
        const __m128i diff = i == 0 ? _mm_setzero_si128() : _mm_sub_epi32(head, previous);
        blocks::StoreHead(raw[i], head);
        blocks::StoreTail(raw[i], head, diff);
        blocks::StoreHead(smoothed[i], head);
        blocks::StoreTail(smoothed[i], head, diff);
        previous = head;
    }
#else
    SampleRecord previous;
    for (int i = 0; i < count; ++i, table += cdd::kSampleSize) {
        SampleRecord s = DecodeSample(table);
        if (i == 0) {
            s.dx = s.dy = s.dz = 0;
        } else {
            if (IsGap(s.depth)) {
                FillGap(s, previous, i, count, p.m_nStep);
            }
            s.dx = WrappingDiff(s.x, previous.x);
            s.dy = WrappingDiff(s.y, previous.y);
            s.dz = WrappingDiff(s.z, previous.z);
        }
        raw[i] = s;
        smoothed[i] = s;
        previous = s;
    }
#endif
    p.m_nSmoothedCount = count;
    SmoothRecords(smoothed, count, p.m_nSmoothWindow);
}

}  // namespace

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

namespace {

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
// leave the date alone. count receives the number of primary samples the file announces.
WriteResult ReadMeasurementForPatch(const std::string& path, std::vector<unsigned char>& bytes,
                                    uint32_t* count = nullptr)
{
    const WriteResult read = ReadForPatch(path, bytes);
    if (read != WriteResult::Ok) {
        return read;
    }
    auto probe = std::make_unique<FileSlot>();
    LoadResult loaded = LoadResult::Ok;
    try {
        loaded = HeaderLoadFromBytes(*probe, bytes);
    } catch (const InvalidTestDateError&) {
        loaded = LoadResult::Ok;
    }
    if (loaded != LoadResult::Ok) {
        return WriteResult::InvalidFile;
    }
    if (count) {
        *count = probe->primary.m_nCount;
    }
    return WriteResult::Ok;
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
    uint32_t fileCount = 0;
    const WriteResult read = ReadMeasurementForPatch(path, bytes, &fileCount);
    if (read != WriteResult::Ok) {
        return read;
    }
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
            byteio::PutI32(bytes.data() + pos, ParseLeadingInt(zCells[k]));
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
    std::vector<unsigned char> block;
    for (const std::u16string* text : sources) {
        // The file holds each text up to its NUL; what follows a NUL typed into a text could never
        // be read back and would shift the texts after it.
        const std::u16string_view typed(*text);
        const std::optional<std::string> encoded = EncodeReportText(typed.substr(0, typed.find(u'\0')));
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
    std::vector<unsigned char> bytes;
    const WriteResult read = ReadMeasurementForPatch(path, bytes);
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

ReportTexts FillReportFields(const FileSlot& slot)
{
    const CFileData& p = slot.primary;
    ReportTexts t;
    if (p.m_nReportFlag == 1) {
        t.startDepth = Ascii(FormatFixed2(p.m_fReportStartDepth));
        t.pileNo = p.m_strReportPileNo;
        t.engineeringName = p.m_strEngineeringName;
        t.notes = p.m_strNotes;
        t.date = p.m_strReportDate;
        t.detectedLength = Ascii(FormatFixed2(p.m_fDetectedLength));
        t.designCageLength = Ascii(FormatFixed2(p.m_fDesignCageLength));
        t.designPileLength = Ascii(FormatFixed2(p.m_fDesignPileLength));
        t.project = p.m_strReportProject;
        t.site = p.m_strReportSite;
        return t;
    }
    t.startDepth = Ascii(FormatFixed2(p.m_raw[0].depth));
    t.pileNo = p.m_strPileNo;
    t.designCageLength = Ascii(FormatFixed2(slot.markerDepth[kBottomMarker]));
    t.date = Ascii(FormatTestDate(p.m_testDate));
    t.project = p.m_strProject;
    t.site = p.m_strSite;
    return t;
}

int32_t ParseLeadingInt(std::u16string_view text)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - u'0'), int64_t(INT32_MAX) + 1);
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

double ParseLeadingDouble(std::u16string_view text)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    // from_chars takes neither blanks nor a '+'; what follows the sign must be the number itself.
    std::string ascii;
    for (; i < text.size() && text[i] < 0x80; ++i) {
        ascii.push_back(static_cast<char>(text[i]));
    }
    if (ascii.empty() || ascii[0] == '+' || ascii[0] == '-') {
        return 0.0;
    }
    double value = 0.0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        value = MagnitudeBelowOne(ascii) ? 0.0 : HUGE_VAL;
    } else if (res.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::string FormatTestDate(int64_t timeValue)
{
    std::tm tm{};
    if (!LocalDate(timeValue, tm)) {
        return std::string();
    }
    char buf[32];
    const std::size_t len = std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
    return std::string(buf, len);
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
    }
    return msg::kCannotCreate;
}

const char* LoadResultMessage(LoadResult result)
{
    switch (result) {
    case LoadResult::Ok:
    case LoadResult::CannotOpen: return "";
    case LoadResult::Empty: return msg::kInvalidFile;
    case LoadResult::Truncated: return msg::kFileTruncated;
    case LoadResult::TooManySamples: return msg::kTooManySamples;
    case LoadResult::TooLarge: return msg::kFileTooLarge;
    }
    return "";
}
