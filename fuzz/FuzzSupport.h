// Helpers shared by the property-checking fuzz targets.
#pragma once

#include "data/CFileData.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fuzz {

// A broken property is a finding: say which one, then stop so that libFuzzer keeps the input.
#define FUZZ_REQUIRE(cond)                                                                   \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

// The input of the targets that start from a measurement file: the file's bytes, then a block of
// argument bytes, then two bytes (little-endian) giving the block's length. Any input splits, so
// that every mutation is a file and some arguments; a plain ".cdd" still works as a seed.
struct SplitInput {
    std::vector<unsigned char> file;
    std::vector<unsigned char> args;
};

inline SplitInput Split(const uint8_t* data, std::size_t size)
{
    SplitInput in;
    if (size < 2) {
        in.file.assign(data, data + size);
        return in;
    }
    const std::size_t body = size - 2;
    const std::size_t argLen = (std::size_t(data[body]) | std::size_t(data[body + 1]) << 8) % (body + 1);
    in.file.assign(data, data + body - argLen);
    in.args.assign(data + body - argLen, data + body);
    return in;
}

// Float fields are compared bit for bit: a NaN depth read back is still the NaN that was written.
inline bool SameBits(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }

inline bool SameReading(const SampleRecord& a, const SampleRecord& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z && SameBits(a.depth, b.depth);
}

// Count, start depth and every raw reading of the table's whole capacity.
inline bool SameReadings(const CFileData& a, const CFileData& b)
{
    if (a.m_nCount != b.m_nCount || !SameBits(a.m_fStartDepth, b.m_fStartDepth) || a.m_raw.size() != b.m_raw.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.m_raw.size(); ++i) {
        if (!SameReading(a.m_raw[i], b.m_raw[i])) {
            return false;
        }
    }
    return true;
}

// A text of up to maxUnits UTF-16 code units: well-formed text of one script, from ASCII to CJK and
// the planes beyond, or (when rawUnits allows it) any code units at all, lone surrogates included.
inline std::u16string AnyText(FuzzedDataProvider& fdp, std::size_t maxUnits, bool rawUnits = true)
{
    static constexpr std::pair<char32_t, char32_t> kScripts[] = {
        {0x20, 0x7E},       {0xA0, 0x24F},      {0x370, 0x52F},     {0x600, 0x6FF},   {0x3000, 0x30FF},
        {0x4E00, 0x9FFF},   {0xAC00, 0xD7A3},   {0xFF00, 0xFFFD},   {0x1F300, 0x1FAFF}, {0x20000, 0x2A6DF},
        {0x0, 0x10FFFF},
    };
    std::u16string text;
    const std::size_t units = fdp.ConsumeIntegralInRange<std::size_t>(0, maxUnits);
    const int script = fdp.ConsumeIntegralInRange<int>(rawUnits ? -1 : 0, int(std::size(kScripts)) - 1);
    while (text.size() < units && fdp.remaining_bytes() > 0) {
        if (script < 0) {
            text.push_back(fdp.ConsumeIntegral<char16_t>());
            continue;
        }
        char32_t c = fdp.ConsumeIntegralInRange(kScripts[script].first, kScripts[script].second);
        if (c >= 0xD800 && c < 0xE000) {
            c = u'?';
        }
        if (c >= 0x10000) {
            text.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(c));
        }
    }
    return text;
}

// The writers work on real files: they go to a folder of this process, on a memory file system
// when there is one, since every write is flushed to disk and a run makes millions of them.
inline const std::string& TempDir()
{
    // Never destroyed, so that the exit handler that removes the folder can still name it.
    static const std::string* dir = [] {
        const char* env = std::getenv("TMPDIR");
        std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : env && *env ? env : "/tmp";
        auto name = new std::string(base + "/orvek-fuzz-XXXXXX");
        FUZZ_REQUIRE(::mkdtemp(name->data()) != nullptr);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(TempDir(), ec);
        });
        return name;
    }();
    return *dir;
}

inline std::string TempPath(const char* name) { return TempDir() + "/" + name; }

inline void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes, bool readOnly = false)
{
    ::chmod(path.c_str(), 0644);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_REQUIRE(f != nullptr);
    FUZZ_REQUIRE(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    FUZZ_REQUIRE(std::fclose(f) == 0);
    FUZZ_REQUIRE(::chmod(path.c_str(), readOnly ? 0444 : 0644) == 0);
}

inline std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Mostly numbers the dialog could hold, formatted as an operator would type them; sometimes any
// text at all.
inline std::u16string StartDepthText(FuzzedDataProvider& fdp)
{
    if (fdp.ConsumeBool()) {
        return Widen(fdp.ConsumeRandomLengthString(24));
    }
    char buf[64];
    const double value = fdp.ConsumeBool() ? fdp.ConsumeFloatingPointInRange(-10.0, 220.0)
                                           : fdp.ConsumeFloatingPoint<double>();
    std::snprintf(buf, sizeof buf, "%.*f", fdp.ConsumeIntegralInRange(0, 4), value);
    return Widen(buf);
}

}  // namespace fuzz
