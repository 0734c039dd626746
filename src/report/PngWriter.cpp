#include "report/PngWriter.h"

#include "data/SafeFile.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <unordered_map>

namespace {

// Up to 256 colours in order of first appearance, and every pixel's index; false when the image
// has more colours than a table holds.
struct Indexed {
    std::vector<png_color> palette;
    std::vector<unsigned char> pixels;
};

bool ToIndexed(const QImage& image, Indexed& out)
{
    std::unordered_map<QRgb, unsigned char> index;
    out.pixels.resize(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()));
    unsigned char* p = out.pixels.data();
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        // Runs of one colour are the rule; the map is asked only where the colour changes.
        QRgb last = 0;
        unsigned char lastIndex = 0;
        bool started = false;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x] & 0xFFFFFFu;
            if (!started || c != last) {
                auto it = index.find(c);
                if (it == index.end()) {
                    if (out.palette.size() == 256)
                        return false;
                    out.palette.push_back(png_color{static_cast<png_byte>(qRed(c)), static_cast<png_byte>(qGreen(c)),
                                                    static_cast<png_byte>(qBlue(c))});
                    it = index.emplace(c, static_cast<unsigned char>(out.palette.size() - 1)).first;
                }
                last = c;
                lastIndex = it->second;
                started = true;
            }
            *p++ = lastIndex;
        }
    }
    return true;
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports errors by a long jump back here; everything with a destructor lives in the
// caller, so the jump skips none.
bool Encode(const QImage& rgb, const Indexed* indexed, std::vector<unsigned char>& out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    const png_uint_32 width = static_cast<png_uint_32>(rgb.width());
    const png_uint_32 height = static_cast<png_uint_32>(rgb.height());
    png_set_IHDR(png, info, width, height, 8, indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed)
        png_set_PLTE(png, info, indexed->palette.data(), static_cast<int>(indexed->palette.size()));
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    if (indexed)
        png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    if (indexed) {
        for (png_uint_32 y = 0; y < height; ++y)
            png_write_row(png, indexed->pixels.data() + static_cast<std::size_t>(y) * width);
    } else {
        // 0xAARRGGBB words are B, G, R, A in memory on a little-endian host and A, R, G, B on a
        // big-endian one.
        if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
            png_set_bgr(png);
            png_set_filler(png, 0, PNG_FILLER_AFTER);
        } else {
            png_set_filler(png, 0, PNG_FILLER_BEFORE);
        }
        for (png_uint_32 y = 0; y < height; ++y)
            png_write_row(png, rgb.constScanLine(static_cast<int>(y)));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<unsigned char> EncodePng(const QImage& image)
{
    std::vector<unsigned char> out;
    if (image.isNull())
        return out;
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    Indexed indexed;
    const bool fits = ToIndexed(rgb, indexed);
    if (!Encode(rgb, fits ? &indexed : nullptr, out))
        out.clear();
    return out;
}

PngWriteResult WritePng(const QImage& image, const std::string& path)
{
    const std::vector<unsigned char> bytes = EncodePng(image);
    if (bytes.empty())
        return PngWriteResult::InvalidImage;
    return ReplaceFileContents(path, bytes) ? PngWriteResult::Ok : PngWriteResult::CannotCreate;
}
