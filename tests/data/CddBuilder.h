#pragma once
// Builds measurement-file bytes for tests, field by field, independently of the loader.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

struct TestSample {
    int32_t x, y, z;
    float depth;
};

struct TestDataSet {
    int32_t word1 = 7, word2 = -9;
    float startDepth = 10.0f;
    int32_t step = 25;
    std::string project = "PRJ", site = "SITE", pileNo = "P1";  // raw bytes
    int32_t year = 2024, month = 5, day = 17;
    std::vector<TestSample> samples;
    int32_t countOverride = -1;  // written instead of samples.size() when >= 0
};

class CddBuilder {
public:
    int32_t markerCount = 0;
    float markers[11] = {};
    int32_t reportFlag = 0;
    float lengths[4] = {};
    std::vector<std::string> reportTexts = {"", "", "", "", "", ""};  // raw cp936 bytes
    TestDataSet primary, secondary;

    std::vector<unsigned char> bytes() const
    {
        std::vector<unsigned char> b(1024, 0);
        put(b, 0, markerCount);
        for (int i = 0; i < 11; ++i) putf(b, 4 + 4 * i, markers[i]);
        put(b, 48, reportFlag);
        for (int i = 0; i < 4; ++i) putf(b, 52 + 4 * i, lengths[i]);
        std::size_t pos = 68;
        for (const std::string& t : reportTexts) {
            std::memcpy(b.data() + pos, t.data(), t.size());
            pos += t.size() + 1;
        }
        std::vector<unsigned char> head = header(primary);
        std::memcpy(b.data() + 512, head.data(), head.size());
        for (const TestSample& s : primary.samples) appendSample(b, s);
        for (int i = 0; i < 16; ++i) b.push_back(static_cast<unsigned char>(i));
        std::vector<unsigned char> sec = header(secondary);
        b.insert(b.end(), sec.begin(), sec.end());
        for (const TestSample& s : secondary.samples) appendSample(b, s);
        return b;
    }

    static std::vector<unsigned char> header(const TestDataSet& d)
    {
        std::vector<unsigned char> h(20, 0);
        put(h, 0, d.word1);
        put(h, 4, d.word2);
        putf(h, 8, d.startDepth);
        put(h, 12, d.step);
        put(h, 16, d.countOverride >= 0 ? d.countOverride : static_cast<int32_t>(d.samples.size()));
        for (const std::string* t : {&d.project, &d.site, &d.pileNo}) {
            h.insert(h.end(), t->begin(), t->end());
            h.push_back(0);
        }
        for (int32_t v : {d.year, d.month, d.day}) {
            h.resize(h.size() + 4);
            put(h, h.size() - 4, v);
        }
        return h;
    }

    static void put(std::vector<unsigned char>& b, std::size_t pos, int32_t v)
    {
        for (int i = 0; i < 4; ++i) b[pos + i] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i));
    }
    static void putf(std::vector<unsigned char>& b, std::size_t pos, float f)
    {
        int32_t v;
        std::memcpy(&v, &f, 4);
        put(b, pos, v);
    }
    static void appendSample(std::vector<unsigned char>& b, const TestSample& s)
    {
        b.resize(b.size() + 16);
        put(b, b.size() - 16, s.x);
        put(b, b.size() - 12, s.y);
        put(b, b.size() - 8, s.z);
        putf(b, b.size() - 4, s.depth);
    }
    static int32_t get(const std::vector<unsigned char>& b, std::size_t pos)
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(b[pos + i]) << (8 * i);
        return static_cast<int32_t>(v);
    }
    static float getf(const std::vector<unsigned char>& b, std::size_t pos)
    {
        const int32_t v = get(b, pos);
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
};

// A fresh folder under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir()
    {
        // Random rather than the process id, which repeats (wine hands out the same small ids run
        // after run) and has no portable spelling.
        static const std::string run = std::to_string(std::random_device{}());
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path() / ("orvek-test-" + run + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        // Read-only files and folders of a test must go too (Windows refuses to delete them).
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
        std::error_code walk;
        for (std::filesystem::recursive_directory_iterator it(m_path, walk), end; !walk && it != end;
             it.increment(walk)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
        std::filesystem::remove_all(m_path, ec);
    }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::string path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& b)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
