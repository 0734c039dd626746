#include "view/WidePenRaster.h"

#include "view/GdiContext.h"

#include <QImage>
#include <QPaintEngine>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Pixels of a plain 32-bit image that QPainter would paint into without clipping, transform,
// composition or antialiasing, so that the stamps can be written into them directly. An image at
// a pixel ratio above 1 (the screen's) counts as plain: the stamps are put at device pixels.
class RasterTarget {
public:
    // The image under painter when its pixels can be written directly, or an invalid target.
    static RasterTarget Of(QPainter& painter)
    {
        RasterTarget t;
        QPaintDevice* device = painter.device();
        if (!device || device->devType() != QInternal::Image || !painter.paintEngine() ||
            painter.paintEngine()->type() != QPaintEngine::Raster)
            return t;
        const qreal ratio = gdi::PixelRatio(painter);
        if (painter.hasClipping() || (ratio == 1.0 && !painter.deviceTransform().isIdentity()) ||
            painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
            painter.testRenderHint(QPainter::Antialiasing))
            return t;
        QImage& image = *static_cast<QImage*>(device);
        const QImage::Format format = image.format();
        if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied &&
            format != QImage::Format_ARGB32)
            return t;
        // The painter's begin already made the image's data its own, so this does not copy.
        t.m_pBits = image.bits();
        t.m_nBytesPerLine = image.bytesPerLine();
        t.m_nWidth = image.width();
        t.m_nHeight = image.height();
        t.m_ratio = ratio;
        return t;
    }

    bool Valid() const { return m_pBits != nullptr; }
    qreal Ratio() const { return m_ratio; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    // Pixels x0..x1 of row y, cut to the image.
    void Span(int y, int x0, int x1, QRgb color) const
    {
        if (y < 0 || y >= m_nHeight)
            return;
        x0 = std::max(x0, 0);
        x1 = std::min(x1, m_nWidth - 1);
        if (x0 > x1)
            return;
        QRgb* row = reinterpret_cast<QRgb*>(m_pBits + y * m_nBytesPerLine);
        std::fill(row + x0, row + x1 + 1, color);
    }

    // The pixels x0..x1 of the rows y0..y1, cut to the image.
    void Block(int x0, int x1, int y0, int y1, QRgb color) const
    {
        for (int y = std::max(y0, 0); y <= std::min(y1, m_nHeight - 1); ++y)
            Span(y, x0, x1, color);
    }

private:
    uchar* m_pBits = nullptr;
    qsizetype m_nBytesPerLine = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    qreal m_ratio = 1.0;
};

// The device pixel under which a disk of deviceWidth pixels is stamped for a line of a pen
// logicalWidth pixels wide through the logical coordinate v. An odd pen is centred on its logical
// pixel, an even one on that pixel's top-left corner; the disk is centred on its pixel when its
// width is odd and on the pixel's top-left corner when even.
int DeviceCentre(int v, int logicalWidth, int deviceWidth, qreal ratio)
{
    const qreal centre = (v + (logicalWidth % 2 == 1 ? 0.5 : 0.0)) * ratio;
    return static_cast<int>(std::floor(deviceWidth % 2 == 1 ? centre : centre + 0.5));
}

// Wide curve pens stroked by QPainter cost milliseconds per curve of 2048 noisy samples (every
// vertex gets a round join, and the overlapping outline is filled with the winding rule). On a
// plain image the same pixels are set far faster by stamping the pen's disk along each segment,
// which is how the platform's wide pens looked anyway. Anything else (printers, recording
// devices, clipping, transforms, raster operations) goes through QPainter.
//
// The picture is the union of the disks at every pixel of the segments' Bresenham lines. Rather
// than setting each disk's pixels (the disks of neighbouring pixels overlap almost entirely), the
// pixels are taken as straight runs along a column or a row and each run's union is set once,
// row span by row span.
class DiskStamp {
public:
    explicit DiskStamp(int width)
    {
        // Offsets -w/2 .. (w-1)/2 around the pixel centre; for even widths the disk's centre lies
        // between pixels, as a geometric pen's outline does.
        m_nLo = -width / 2;
        m_nHi = (width - 1) / 2;
        const double centre = (width % 2 == 0) ? -0.5 : 0.0;
        const double r2 = (width / 2.0) * (width / 2.0);
        for (int dy = m_nLo; dy <= m_nHi; ++dy) {
            Span row;
            for (int dx = m_nLo; dx <= m_nHi; ++dx) {
                const double ex = dx - centre;
                const double ey = dy - centre;
                if (ex * ex + ey * ey <= r2 + 1e-9) {
                    row.left = std::min(row.left, dx);
                    row.right = std::max(row.right, dx);
                }
            }
            m_rows[dy - m_nLo] = row;
        }
        const Span& middle = m_rows[-m_nLo];
        m_bSquare = std::all_of(m_rows, m_rows + (m_nHi - m_nLo + 1), [&middle](const Span& row) {
            return row.left == middle.left && row.right == middle.right;
        });
        // Union of the rows first..last: the rows are centred on the same column, so it is the
        // span reaching furthest out.
        for (int first = m_nLo; first <= m_nHi; ++first) {
            Span u;
            for (int last = first; last <= m_nHi; ++last) {
                const Span& row = m_rows[last - m_nLo];
                if (row.left <= row.right) {
                    u.left = std::min(u.left, row.left);
                    u.right = std::max(u.right, row.right);
                }
                m_unions[first - m_nLo][last - m_nLo] = u;
            }
        }
    }

    // The disks at (x, ya) .. (x, yb), ya <= yb.
    void StampColumn(const RasterTarget& t, int x, int ya, int yb, QRgb color) const
    {
        // The disk rows that reach row y from a centre in ya..yb are max(lo, y - yb) ..
        // min(hi, y - ya). Rows midFrom..midTo get the widest span: every disk row reaches them,
        // or, for a square disk, any disk row is as wide as the widest.
        const int midFrom = m_bSquare ? ya + m_nLo : ya + m_nHi;
        const int midTo = m_bSquare ? yb + m_nHi : yb + m_nLo;
        int y = std::max(ya + m_nLo, 0);
        const int yEnd = std::min(yb + m_nHi, t.Height() - 1);
        for (; y <= yEnd && y < midFrom; ++y)
            StampUnionRow(t, x, y, std::max(m_nLo, y - yb), std::min(m_nHi, y - ya), color);
        const Span& whole = m_unions[0][m_nHi - m_nLo];
        const int midEnd = std::min(yEnd, midTo);
        if (y <= midEnd) {
            t.Block(x + whole.left, x + whole.right, y, midEnd, color);
            y = midEnd + 1;
        }
        for (; y <= yEnd; ++y)
            StampUnionRow(t, x, y, std::max(m_nLo, y - yb), std::min(m_nHi, y - ya), color);
    }

    // The disks at (xa, y) .. (xb, y), xa <= xb.
    void StampRow(const RasterTarget& t, int xa, int xb, int y, QRgb color) const
    {
        if (m_bSquare) {
            const Span& whole = m_unions[0][m_nHi - m_nLo];
            t.Block(xa + whole.left, xb + whole.right, y + m_nLo, y + m_nHi, color);
            return;
        }
        for (int dy = m_nLo; dy <= m_nHi; ++dy) {
            const Span& row = m_rows[dy - m_nLo];
            if (row.left <= row.right)
                t.Span(y + dy, xa + row.left, xb + row.right, color);
        }
    }

private:
    static constexpr int kMaxWidth = 16;
    struct Span {
        int left = 1;
        int right = 0;
    };

    void StampUnionRow(const RasterTarget& t, int x, int y, int first, int last, QRgb color) const
    {
        const Span& u = m_unions[first - m_nLo][last - m_nLo];
        if (u.left <= u.right)
            t.Span(y, x + u.left, x + u.right, color);
    }

    int m_nLo = 0;
    int m_nHi = 0;
    bool m_bSquare = false;  // every row as wide as the middle one (width 3)
    Span m_rows[kMaxWidth];
    Span m_unions[kMaxWidth][kMaxWidth];
};

// Gathers the runs of a polyline and stamps each, joining a run with the one before when they
// lie on the same column or row and touch, as at the joints of a curve's segments.
class RunStamper {
public:
    RunStamper(const RasterTarget& target, const DiskStamp& stamp, QRgb color)
        : m_target(target), m_stamp(stamp), m_color(color)
    {
    }

    // The pixels (x, y0) .. (x, y1), in either order.
    void Column(int x, int y0, int y1) { Add(x, x, std::min(y0, y1), std::max(y0, y1)); }
    // The pixels (x0, y) .. (x1, y), in either order.
    void Row(int y, int x0, int x1) { Add(std::min(x0, x1), std::max(x0, x1), y, y); }

    void Flush()
    {
        if (!m_bOpen)
            return;
        if (m_nY0 != m_nY1)
            m_stamp.StampColumn(m_target, m_nX0, m_nY0, m_nY1, m_color);
        else
            m_stamp.StampRow(m_target, m_nX0, m_nX1, m_nY0, m_color);
        m_bOpen = false;
    }

private:
    // Runs are one pixel wide or one pixel high; a single pixel may join either way.
    void Add(int x0, int x1, int y0, int y1)
    {
        if (m_bOpen) {
            const bool openIsRow = m_nX0 != m_nX1;
            const bool openIsColumn = m_nY0 != m_nY1;
            if (!openIsRow && x0 == x1 && x0 == m_nX0 && y0 <= m_nY1 + 1 && y1 >= m_nY0 - 1) {
                m_nY0 = std::min(m_nY0, y0);
                m_nY1 = std::max(m_nY1, y1);
                return;
            }
            if (!openIsColumn && y0 == y1 && y0 == m_nY0 && x0 <= m_nX1 + 1 && x1 >= m_nX0 - 1) {
                m_nX0 = std::min(m_nX0, x0);
                m_nX1 = std::max(m_nX1, x1);
                return;
            }
            Flush();
        }
        m_bOpen = true;
        m_nX0 = x0;
        m_nX1 = x1;
        m_nY0 = y0;
        m_nY1 = y1;
    }

    const RasterTarget& m_target;
    const DiskStamp& m_stamp;
    const QRgb m_color;
    bool m_bOpen = false;
    int m_nX0 = 0;
    int m_nX1 = 0;
    int m_nY0 = 0;
    int m_nY1 = 0;
};

// The pixels of the Bresenham line from (x, y) to (x1, y1), handed over as runs. The line steps
// one pixel along its major axis each time and moves along the minor axis where the error term
// says; the number of steps up to each such move is computed instead of stepping through them.
// The points lie within 64 pixels of an image, so every term below fits an int.
void BresenhamRuns(RunStamper& runs, int x, int y, int x1, int y1)
{
    const int dx = std::abs(x1 - x);
    const int dy = std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1;
    const int sy = y < y1 ? 1 : -1;
    // err is the error term of the classic loop (start dx - dy; a step in x subtracts dy, a step
    // in y adds dx). On a steep line every step moves y and also x when 2 err >= -dy; on any
    // other line every step moves x and also y when 2 err <= dx.
    int err = dx - dy;
    if (dy > dx) {
        int remaining = dy;  // steps left to (x1, y1)
        for (;;) {
            // Steps in this column before x moves: the first k >= 0 with 2 (err + k dx) >= -dy.
            int k = 0;
            if (2 * err < -dy)
                k = dx == 0 ? remaining : (-dy - 2 * err + 2 * dx - 1) / (2 * dx);
            if (k >= remaining) {
                runs.Column(x, y, y + sy * remaining);
                return;
            }
            runs.Column(x, y, y + sy * k);
            err += k * dx + dx - dy;
            y += sy * (k + 1);
            x += sx;
            remaining -= k + 1;
        }
    }
    int remaining = dx;
    for (;;) {
        // Steps in this row before y moves: the first k >= 0 with 2 (err - k dy) <= dx.
        int k = 0;
        if (2 * err > dx)
            k = dy == 0 ? remaining : (2 * err - dx + 2 * dy - 1) / (2 * dy);
        if (k >= remaining) {
            runs.Row(y, x, x + sx * remaining);
            return;
        }
        runs.Row(y, x, x + sx * k);
        err += dx - k * dy - dy;
        x += sx * (k + 1);
        y += sy;
        remaining -= k + 1;
    }
}

}  // namespace

bool RasterWidePolyline(QPainter& painter, const QPen& pen, const QPolygon& points)
{
    if (pen.isCosmetic() || pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern ||
        pen.color().alpha() != 255 || pen.width() < 2 || pen.width() > 16)
        return false;
    const RasterTarget target = RasterTarget::Of(painter);
    if (!target.Valid())
        return false;

    // Far-away points would make long walks outside the image; QPainter clips those itself.
    const int w = target.Width();
    const int h = target.Height();
    if (w > (1 << 20) || h > (1 << 20))
        return false;
    // On a finer image the pen is as wide as it looks at the logical size, and the points move to
    // the device pixels that their logical pixels cover.
    const qreal ratio = target.Ratio();
    const int width = pen.width();
    const int deviceWidth = std::max(1, static_cast<int>(std::lround(width * ratio)));
    if (deviceWidth > 16)
        return false;
    QPolygon device(points.size());
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPoint p = ratio == 1.0 ? points[i]
                                      : QPoint(DeviceCentre(points[i].x(), width, deviceWidth, ratio),
                                               DeviceCentre(points[i].y(), width, deviceWidth, ratio));
        if (p.x() < -64 || p.y() < -64 || p.x() >= w + 64 || p.y() >= h + 64)
            return false;
        device[i] = p;
    }

    const DiskStamp stamp(deviceWidth);
    RunStamper runs(target, stamp, pen.color().rgb() | 0xFF000000u);
    for (int i = 1; i < device.size(); ++i)
        BresenhamRuns(runs, device[i - 1].x(), device[i - 1].y(), device[i].x(), device[i].y());
    runs.Flush();
    return true;
}
