// Pictures of any size, pixel format and content through the BMP writer at any bit depth: the
// header agrees with the byte count and the geometry, an image or depth the writer cannot store
// writes nothing, and Qt's own reader reads the file back with every pixel where it belongs.
#include "FuzzSupport.h"

#include "data/SafeFile.h"
#include "report/BmpWriter.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

uint32_t U32(const std::vector<unsigned char>& b, std::size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t U16(const std::vector<unsigned char>& b, std::size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8; }

long Distance(QRgb a, QRgb b)
{
    const long dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

QImage AnyImage(FuzzedDataProvider& fdp)
{
    static constexpr QImage::Format kFormats[] = {
        QImage::Format_RGB32,  QImage::Format_ARGB32,     QImage::Format_ARGB32_Premultiplied,
        QImage::Format_RGB888, QImage::Format_Indexed8,   QImage::Format_Mono,
        QImage::Format_RGB16,  QImage::Format_Grayscale8, QImage::Format_RGBA64,
    };
    const int width = fdp.ConsumeIntegralInRange(0, fdp.ConsumeBool() ? 40 : 700);
    const int height = fdp.ConsumeIntegralInRange(0, fdp.ConsumeBool() ? 8 : 64);
    const QImage::Format format = fdp.PickValueInArray(kFormats);
    QImage image(width, height, format);
    if (image.isNull()) {
        return image;
    }
    if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono) {
        QList<QRgb> table(format == QImage::Format_Mono ? 2 : 256);
        for (QRgb& c : table) {
            c = fdp.ConsumeIntegral<uint32_t>();
        }
        image.setColorTable(table);
    }
    // The pixel bytes repeat a fuzzed pattern, so that large pictures are cheap to describe.
    const std::vector<uint8_t> pattern = fdp.ConsumeBytes<uint8_t>(fdp.ConsumeIntegralInRange(1, 512));
    std::size_t k = 0;
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (qsizetype i = 0; i < image.bytesPerLine(); ++i, ++k) {
            line[i] = pattern.empty() ? 0 : pattern[k % pattern.size()];
        }
    }
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const int bits = fdp.ConsumeBool() ? fdp.PickValueInArray({1, 4, 8, 16, 24, 32})
                                       : fdp.ConsumeIntegralInRange(-2, 64);
    const QImage image = AnyImage(fdp);
    const std::string path = fuzz::TempPath("picture.bmp");
    std::error_code ec;
    std::filesystem::remove(path, ec);

    const BmpWriteResult result = WriteBmp(image, bits, path);
    if (image.isNull() || !IsBmpBitDepth(bits)) {
        FUZZ_REQUIRE(result == BmpWriteResult::InvalidImage);
        FUZZ_REQUIRE(!std::filesystem::exists(path, ec));
        return 0;
    }
    FUZZ_REQUIRE(result == BmpWriteResult::Ok);
    const FileBytes file = ReadWholeFile(path);
    FUZZ_REQUIRE(file.status == ReadStatus::Ok);
    const std::vector<unsigned char>& b = file.bytes;

    // Header: the Windows 3 layout, its sizes consistent with the bytes there are.
    const uint32_t width = uint32_t(image.width()), height = uint32_t(image.height());
    const std::vector<unsigned int> table = BmpColourTable(bits);
    FUZZ_REQUIRE(table.size() == (bits <= 8 ? 1u << bits : 0u));
    const std::size_t stride = (std::size_t(width) * bits + 31) / 32 * 4;
    const std::size_t offset = kBmpHeaderBytes + 4 * table.size();
    FUZZ_REQUIRE(b.size() == offset + stride * height);
    FUZZ_REQUIRE(b[0] == 'B' && b[1] == 'M' && U32(b, 2) == b.size() && U32(b, 10) == offset);
    FUZZ_REQUIRE(U32(b, 14) == 40 && U32(b, 18) == width && U32(b, 22) == height);
    FUZZ_REQUIRE(U16(b, 26) == 1 && U16(b, 28) == uint32_t(bits) && U32(b, 30) == 0);
    for (std::size_t i = 0; i < table.size(); ++i) {
        FUZZ_REQUIRE(U32(b, kBmpHeaderBytes + 4 * i) == table[i]);
    }

    // Qt's reader agrees: same size, and every pixel the colour the depth can hold.
    QByteArray bytes(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "bmp");
    const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
    FUZZ_REQUIRE(!back.isNull() && back.size() == image.size());
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb want = source.pixel(x, y) & 0xFFFFFF;
            const QRgb got = back.pixel(x, y) & 0xFFFFFF;
            if (bits == 1) {
                FUZZ_REQUIRE((got == 0xFFFFFF) == (want == 0xFFFFFF) && (got == 0xFFFFFF || got == 0));
            } else if (bits <= 8) {
                long best = Distance(want, table[0]);
                for (unsigned int c : table) {
                    best = std::min(best, Distance(want, c));
                }
                FUZZ_REQUIRE(Distance(want, got) == best && std::find(table.begin(), table.end(), got) != table.end());
            } else if (bits == 16) {
                FUZZ_REQUIRE(qRed(got) >> 3 == qRed(want) >> 3 && qGreen(got) >> 3 == qGreen(want) >> 3 &&
                             qBlue(got) >> 3 == qBlue(want) >> 3);
            } else {
                FUZZ_REQUIRE(got == want);
            }
        }
    }
    return 0;
}
