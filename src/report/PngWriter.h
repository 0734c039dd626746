#pragma once

#include <QImage>

#include <string>
#include <vector>

// PNG pictures of rendered graphs, written for speed: a batch of a day's files spends more time
// encoding than painting. The pixels are kept exactly. A graph has a few dozen colours, so it is
// stored with a colour table, one byte per pixel and no row filters, which leaves the long runs of
// equal bytes that the fastest deflate level packs well. A picture of more than 256 colours is
// stored as RGB. Alpha is not stored: the pictures are opaque.

// The whole file for image; empty for a null image.
std::vector<unsigned char> EncodePng(const QImage& image);

enum class PngWriteResult {
    Ok,
    InvalidImage,  // nothing to write: a null image
    CannotCreate   // the file could not be written; an existing picture of that name is unchanged
};

// Writes image to path through a temporary file renamed over the old picture, as the BMP writer does.
PngWriteResult WritePng(const QImage& image, const std::string& path);
