#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Names of the pictures saved beside a measurement file. Paths are UTF-8 and keep the platform's
// separators; only the ".cdd" part of the name is touched.

// One data-table picture holds the samples of one printed data page: 24 rows of 7 groups.
inline constexpr int kSamplesPerTablePicture = 168;

// Notice shown after saving; %s is the picture pattern of PictureNoticePattern.
inline constexpr const char* kPictureNoticeFormat = "图片已保存至%s";

// The path with every ".cdd" taken out (in any case, left to right, in folder names too): the stem
// the picture names build on.
std::string PictureBase(std::string_view filePath);

// Number of data-table pictures for count samples: ceil(count / 168).
int TablePictureCount(uint32_t count);

// The graph picture: base + "_1.bmp".
std::string GraphPicturePath(std::string_view filePath);

// Data-table picture i (0-based): base + "_" + (i + 2) + ".bmp".
std::string TablePicturePath(std::string_view filePath, int index);

// Every picture one save writes, the graph picture first.
std::vector<std::string> PicturePaths(std::string_view filePath, uint32_t count);

// The path with every ".cdd" (in any case) replaced by "*.bmp", which tells the operator which
// files to look for.
std::string PictureNoticePattern(std::string_view filePath);

// "图片已保存至" followed by the pattern above.
std::string PictureNoticeText(std::string_view filePath);
