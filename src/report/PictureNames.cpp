#include "report/PictureNames.h"

namespace {

constexpr std::string_view kCddText = ".cdd";

// ".cdd" exactly as written: "P2.CDD" keeps its extension in its picture names ("P2.CDD_1.bmp"),
// as it always has, and users' scripts that collect the pictures rely on that.
std::size_t FindCdd(std::string_view text, std::size_t pos)
{
    return text.find(kCddText, pos);
}

// One left-to-right pass, like the string replacement the names have always been made with, so a
// ".cdd" formed by joining the pieces around a removed one stays.
std::string ReplaceAll(std::string_view text, std::string_view with)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = FindCdd(text, pos);
        if (hit == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(with);
        pos = hit + kCddText.size();
    }
}

}  // namespace

std::string PictureBase(std::string_view filePath) { return ReplaceAll(filePath, ""); }

int TablePictureCount(uint32_t count)
{
    return static_cast<int>((static_cast<uint64_t>(count) + kSamplesPerTablePicture - 1) / kSamplesPerTablePicture);
}

std::string GraphPicturePath(std::string_view filePath) { return PictureBase(filePath) + "_1.bmp"; }

std::string TablePicturePath(std::string_view filePath, int index)
{
    return PictureBase(filePath) + "_" + std::to_string(index + 2) + ".bmp";
}

std::vector<std::string> PicturePaths(std::string_view filePath, uint32_t count)
{
    std::vector<std::string> paths{GraphPicturePath(filePath)};
    const int tables = TablePictureCount(count);
    for (int i = 0; i < tables; ++i) {
        paths.push_back(TablePicturePath(filePath, i));
    }
    return paths;
}

std::string PictureNoticePattern(std::string_view filePath)
{
    std::string pattern = ReplaceAll(filePath, "*.bmp");
    // A file whose name does not end in ".cdd" as written ("P2.CDD") keeps its name in the
    // pictures; the notice still has to name the pictures, not the measurement file.
    if (!filePath.ends_with(kCddText))
        pattern += "*.bmp";
    return pattern;
}

std::string PictureNoticeText(std::string_view filePath)
{
    // Substituted by hand rather than through printf, so a '%' in a folder name stays a '%'.
    std::string text = kPictureNoticeFormat;
    text.replace(text.find("%s"), 2, PictureNoticePattern(filePath));
    return text;
}
