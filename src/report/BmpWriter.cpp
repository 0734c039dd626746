#include "report/BmpWriter.h"

#include "data/SafeFile.h"

#include <array>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace {

void PutU16(std::vector<unsigned char>& out, std::size_t at, uint32_t v)
{
    out[at] = static_cast<unsigned char>(v & 0xFF);
    out[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

void PutU32(std::vector<unsigned char>& out, std::size_t at, uint32_t v)
{
    PutU16(out, at, v & 0xFFFF);
    PutU16(out, at + 2, v >> 16);
}

constexpr unsigned int Rgb(unsigned r, unsigned g, unsigned b) { return (r << 16) | (g << 8) | b; }

// The sixteen colours of a 4-bit display.
constexpr std::array<unsigned int, 16> kVgaColours = {
    Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
    Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192),
    Rgb(128, 128, 128), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
    Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255)};

// The twenty reserved colours of an 8-bit display: ten at each end of the table.
constexpr std::array<unsigned int, 10> kStaticLow = {
    Rgb(0, 0, 0),     Rgb(128, 0, 0),   Rgb(0, 128, 0),     Rgb(128, 128, 0),   Rgb(0, 0, 128),
    Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192), Rgb(192, 220, 192), Rgb(166, 202, 240)};
constexpr std::array<unsigned int, 10> kStaticHigh = {
    Rgb(255, 251, 240), Rgb(160, 160, 164), Rgb(128, 128, 128), Rgb(255, 0, 0),   Rgb(0, 255, 0),
    Rgb(255, 255, 0),   Rgb(0, 0, 255),     Rgb(255, 0, 255),   Rgb(0, 255, 255), Rgb(255, 255, 255)};

std::vector<unsigned int> EightBitTable()
{
    std::vector<unsigned int> table(kStaticLow.begin(), kStaticLow.end());
    // A 6 x 6 x 6 colour cube and a grey ramp fill the free middle of the table.
    for (unsigned r = 0; r < 6; ++r)
        for (unsigned g = 0; g < 6; ++g)
            for (unsigned b = 0; b < 6; ++b)
                table.push_back(Rgb(r * 51, g * 51, b * 51));
    for (unsigned k = 1; k <= 20; ++k) {
        const unsigned v = k * 255 / 21;
        table.push_back(Rgb(v, v, v));
    }
    table.insert(table.end(), kStaticHigh.begin(), kStaticHigh.end());
    return table;
}

// Nearest table entry by squared RGB distance. The reserved colours are tried first, so a colour
// that is in the table twice (black, white, the primaries) gets its reserved index.
class NearestColour {
public:
    explicit NearestColour(const std::vector<unsigned int>& table) : m_table(table)
    {
        const int n = static_cast<int>(table.size());
        if (n == 256) {
            for (int i = 0; i < 10; ++i) m_order.push_back(i);
            for (int i = 246; i < 256; ++i) m_order.push_back(i);
            for (int i = 10; i < 246; ++i) m_order.push_back(i);
        } else {
            for (int i = 0; i < n; ++i) m_order.push_back(i);
        }
    }

    unsigned char operator()(unsigned int rgb)
    {
        const auto hit = m_cache.find(rgb);
        if (hit != m_cache.end()) return hit->second;
        long best = std::numeric_limits<long>::max();
        int bestIndex = 0;
        for (int i : m_order) {
            const long dr = static_cast<long>((rgb >> 16) & 0xFF) - static_cast<long>((m_table[i] >> 16) & 0xFF);
            const long dg = static_cast<long>((rgb >> 8) & 0xFF) - static_cast<long>((m_table[i] >> 8) & 0xFF);
            const long db = static_cast<long>(rgb & 0xFF) - static_cast<long>(m_table[i] & 0xFF);
            const long d = dr * dr + dg * dg + db * db;
            if (d < best) {
                best = d;
                bestIndex = i;
            }
        }
        const auto index = static_cast<unsigned char>(bestIndex);
        m_cache.emplace(rgb, index);
        return index;
    }

private:
    const std::vector<unsigned int>& m_table;
    std::vector<int> m_order;
    std::unordered_map<unsigned int, unsigned char> m_cache;
};

}  // namespace

int BmpBitsForDisplayDepth(int displayDepth)
{
    if (displayDepth <= 1) return 1;
    if (displayDepth <= 4) return 4;
    if (displayDepth <= 8) return 8;
    if (displayDepth <= 24) return 24;
    return 32;
}

bool IsBmpBitDepth(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::vector<unsigned int> BmpColourTable(int bits)
{
    switch (bits) {
    case 1: return {Rgb(0, 0, 0), Rgb(255, 255, 255)};
    case 4: return {kVgaColours.begin(), kVgaColours.end()};
    case 8: return EightBitTable();
    default: return {};
    }
}

QImage MonochromePage(const QImage& image)
{
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QImage page(rgb.size(), QImage::Format_Mono);
    page.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    page.fill(0);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = page.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            if ((src[x] & 0xFFFFFFu) == 0xFFFFFFu) dst[x / 8] |= static_cast<uchar>(0x80u >> (x % 8));
    }
    return page;
}

std::vector<unsigned char> EncodeBmp(const QImage& image, int bits)
{
    if (image.isNull() || !IsBmpBitDepth(bits)) return {};
    const uint64_t width = static_cast<uint64_t>(image.width());
    const uint64_t height = static_cast<uint64_t>(image.height());
    const std::vector<unsigned int> table = BmpColourTable(bits);
    const uint64_t paletteBytes = 4 * table.size();
    const uint64_t rowBytes = (width * static_cast<uint64_t>(bits) + 31) / 32 * 4;
    const uint64_t fileBytes = kBmpHeaderBytes + paletteBytes + rowBytes * height;
    if (fileBytes > std::numeric_limits<uint32_t>::max()) return {};

    std::vector<unsigned char> out(static_cast<std::size_t>(fileBytes), 0);
    const auto pixelOffset = static_cast<uint32_t>(kBmpHeaderBytes + paletteBytes);
    PutU16(out, 0, 0x4D42);
    PutU32(out, 2, static_cast<uint32_t>(fileBytes));
    PutU32(out, 10, pixelOffset);
    PutU32(out, 14, 40);
    PutU32(out, 18, static_cast<uint32_t>(width));
    PutU32(out, 22, static_cast<uint32_t>(height));
    PutU16(out, 26, 1);
    PutU16(out, 28, static_cast<uint32_t>(bits));
    // Compression, image size, resolutions and colour counts stay 0: readers take the defaults.
    for (std::size_t i = 0; i < table.size(); ++i) {
        const unsigned int c = table[i];
        out[kBmpHeaderBytes + 4 * i] = static_cast<unsigned char>(c & 0xFF);
        out[kBmpHeaderBytes + 4 * i + 1] = static_cast<unsigned char>((c >> 8) & 0xFF);
        out[kBmpHeaderBytes + 4 * i + 2] = static_cast<unsigned char>((c >> 16) & 0xFF);
    }

    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    NearestColour nearest(table);
    for (uint64_t y = 0; y < height; ++y) {
        // Rows are stored bottom-up: the first row in the file is the image's last.
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(static_cast<int>(height - 1 - y)));
        unsigned char* row = out.data() + pixelOffset + y * rowBytes;
        for (uint64_t x = 0; x < width; ++x) {
            const unsigned int c = src[x] & 0xFFFFFFu;
            switch (bits) {
            case 1:
                if (c == 0xFFFFFFu) row[x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<unsigned char>(x % 2 == 0 ? nearest(c) << 4 : nearest(c));
                break;
            case 8:
                row[x] = nearest(c);
                break;
            case 16: {
                const unsigned v = (((c >> 19) & 0x1F) << 10) | (((c >> 11) & 0x1F) << 5) | ((c >> 3) & 0x1F);
                row[2 * x] = static_cast<unsigned char>(v & 0xFF);
                row[2 * x + 1] = static_cast<unsigned char>(v >> 8);
                break;
            }
            default: {
                const uint64_t step = static_cast<uint64_t>(bits / 8);
                row[step * x] = static_cast<unsigned char>(c & 0xFF);
                row[step * x + 1] = static_cast<unsigned char>((c >> 8) & 0xFF);
                row[step * x + 2] = static_cast<unsigned char>((c >> 16) & 0xFF);
                break;
            }
            }
        }
    }
    return out;
}

BmpWriteResult WriteBmp(const QImage& image, int bits, const std::string& path)
{
    const std::vector<unsigned char> bytes = EncodeBmp(image, bits);
    if (bytes.empty()) return BmpWriteResult::InvalidImage;
    return ReplaceFileContents(path, bytes) ? BmpWriteResult::Ok : BmpWriteResult::CannotCreate;
}
