#pragma once
// A graph view told to show a file, and pixel probes for what it painted.

#include "view/CDrawView.h"
#include "view/FrameState.h"

#include <QFileInfo>
#include <QImage>

// Shows path the way the main frame hands a chosen file over; the next paint reads it.
inline void ShowFile(CDrawCanvas& view, FrameState& frame, const QString& path)
{
    view.SetFrame(&frame);
    view.ShowFile(path, QFileInfo(path).absolutePath());
}

// Pixels of area (clipped to the image) that hold colour, alpha ignored.
inline int CountColor(const QImage& image, QRgb colour, const QRect& area)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}
