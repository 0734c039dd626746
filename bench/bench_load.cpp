// Full load plus the smoothed-table rebuild of a full 2048-sample file, against a plain read of
// the same bytes as the floor.
#include "analysis/Smoothing.h"
#include "data/MeasurementFile.h"
#include "data/SafeFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

void Put(std::vector<unsigned char>& b, std::size_t pos, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[pos + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A full-capacity file in the temporary folder, written once for all benchmarks.
const std::string& FullFile()
{
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "orvek-bench-2048.cdd").string();
        std::vector<unsigned char> b(1024 + 16 * 2048 + 16 + 64, 0);
        Put(b, 520, std::bit_cast<uint32_t>(511.75f));
        Put(b, 524, 25);
        Put(b, 528, 2048);
        std::size_t pos = 532;
        for (const char* t : {"P", "S", "B"}) {
            b[pos] = static_cast<unsigned char>(t[0]);
            pos += 2;
        }
        Put(b, pos, 2024);
        Put(b, pos + 4, 6);
        Put(b, pos + 8, 1);
        for (uint32_t i = 0; i < 2048; ++i) {
            const std::size_t s = 1024 + 16 * i;
            Put(b, s, static_cast<uint32_t>(30000 + int(200 * std::sin(i * 0.05))));
            Put(b, s + 4, static_cast<uint32_t>(-2000 + int(i % 17)));
            Put(b, s + 8, static_cast<uint32_t>(45000 + int(3000 * std::cos(i * 0.01))));
            Put(b, s + 12, std::bit_cast<uint32_t>(511.75f - 0.25f * static_cast<float>(i)));
        }
        const std::size_t sep = 1024 + 16 * 2048;
        for (int i = 0; i < 16; ++i) b[sep + i] = static_cast<unsigned char>(i);
        Put(b, sep + 16 + 12, 25);
        b[sep + 16 + 20] = 'x';
        Put(b, sep + 16 + 24, 2024);
        Put(b, sep + 16 + 28, 6);
        Put(b, sep + 16 + 32, 1);
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        return p;
    }();
    return path;
}

void BM_PlainRead(benchmark::State& state)
{
    for (auto _ : state) {
        FileBytes f = ReadWholeFile(FullFile());
        benchmark::DoNotOptimize(f.bytes.data());
    }
}
BENCHMARK(BM_PlainRead);

void BM_FullLoadAndRebuild(benchmark::State& state)
{
    auto slot = std::make_unique<FileSlot>();
    for (auto _ : state) {
        FullLoad(*slot, FullFile());
        RebuildSmoothedTable(slot->primary, 5);
        benchmark::DoNotOptimize(slot->primary.m_smoothed.data());
    }
}
BENCHMARK(BM_FullLoadAndRebuild);

// The two parts of the above, to see where the time goes.
void BM_FullLoad(benchmark::State& state)
{
    auto slot = std::make_unique<FileSlot>();
    for (auto _ : state) {
        FullLoad(*slot, FullFile());
        benchmark::DoNotOptimize(slot->primary.m_raw.data());
    }
}
BENCHMARK(BM_FullLoad);

void BM_Rebuild(benchmark::State& state)
{
    auto slot = std::make_unique<FileSlot>();
    FullLoad(*slot, FullFile());
    for (auto _ : state) {
        RebuildSmoothedTable(slot->primary, 5);
        benchmark::DoNotOptimize(slot->primary.m_smoothed.data());
    }
}
BENCHMARK(BM_Rebuild);

}  // namespace

BENCHMARK_MAIN();
