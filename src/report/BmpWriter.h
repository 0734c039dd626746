#pragma once

#include <QImage>

#include <string>
#include <vector>

// The program's own BMP writer: uncompressed BITMAPINFOHEADER files with the image size and
// resolution fields left 0, a colour table only for 1, 4 and 8 bits, rows bottom-up and padded to
// 4 bytes. The pictures are read by whatever viewer the operators have, so the header stays the
// plain Windows 3 layout.

inline constexpr int kBmpHeaderBytes = 54;  // file header (14) and info header (40)

// Bits per pixel of a picture for a display of the given depth (planes x bits per pixel), as the
// pictures have always followed the screen: 1, 4, 8, 24, else 32.
int BmpBitsForDisplayDepth(int displayDepth);

// True for the depths the writer can store: 1, 4, 8, 16, 24 and 32.
bool IsBmpBitDepth(int bits);

// Colour table written for 1, 4 and 8 bits (2^bits entries as 0x00RRGGBB), empty otherwise. White
// is the last entry and black the first, so a monochrome page keeps its meaning at every depth.
std::vector<unsigned int> BmpColourTable(int bits);

// The page as a monochrome bitmap holds it: pure white stays white, every other colour becomes
// black. The renderers draw in colour on a white page and reduce it with this before writing, so
// the pictures are black and white at every depth.
QImage MonochromePage(const QImage& image);

// The whole file for image at the given depth. Pixels take the nearest colour of the colour table;
// at 1 bit only pure white stays white, as when a page is drawn into a monochrome bitmap. Empty for
// a null image, an unsupported depth, or a picture too large for the header's 32-bit sizes.
std::vector<unsigned char> EncodeBmp(const QImage& image, int bits);

enum class BmpWriteResult {
    Ok,
    InvalidImage,  // nothing to write: null image, unsupported depth, or too large
    CannotCreate   // the file could not be written; an existing picture of that name is unchanged
};

// Writes image to path. The bytes go to a temporary file in the same folder that is renamed over
// the old picture, so a failed write never leaves a half-written picture behind.
BmpWriteResult WriteBmp(const QImage& image, int bits, const std::string& path);
