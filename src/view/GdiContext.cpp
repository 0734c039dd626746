#include "view/GdiContext.h"

#include <QColorSpace>
#include <QFontMetrics>
#include <QHash>
#include <QStringList>

#include <QImage>
#include <QPaintEngine>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

namespace gdi {

QPen SolidPen(int width, const QColor& color)
{
    QPen pen(color);
    pen.setStyle(Qt::SolidLine);
    if (width <= 1) {
        pen.setWidth(1);
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    } else {
        pen.setWidth(width);
        pen.setCosmetic(false);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    return pen;
}

QPen DashPen(const QColor& color)
{
    QPen pen = SolidPen(1, color);
    pen.setDashPattern({18.0, 6.0});
    return pen;
}

void RegisterFontSubstitutes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitutions(QString::fromUtf16(kFaceSongTi),
                                   {QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                                    QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    });
}

QFont PointFont(int tenths)
{
    RegisterFontSubstitutes();
    QFont font(QString::fromUtf16(kFaceSongTi));
    // Rounded like the platform's MulDiv; never below one pixel so tiny sizes stay drawable.
    const int pixels = (tenths * 96 + 360) / 720;
    font.setPixelSize(pixels > 0 ? pixels : 1);
    return font;
}

QFont DefaultFont()
{
    return PointFont(120);
}

}  // namespace gdi

namespace {

// Pixels of a plain 32-bit image that QPainter would paint into without clipping, transform,
// blending or antialiasing, so that writing them directly gives the same picture.
class RasterTarget {
public:
    // What the pixels written stand for. Stamps: the wide pens' own look. AsQPainter: exactly the
    // pixels QPainter would set, which holds only where it sets them without a blend step (full
    // opacity, formats with premultiplied or no alpha).
    enum class Writes { Stamps, AsQPainter };

    // The image under painter when its pixels can be written directly, or an invalid target.
    static RasterTarget Of(QPainter& painter, Writes writes)
    {
        const bool exact = writes == Writes::AsQPainter;
        RasterTarget t;
        QPaintDevice* device = painter.device();
        if (!device || device->devType() != QInternal::Image || !painter.paintEngine() ||
            painter.paintEngine()->type() != QPaintEngine::Raster)
            return t;
        if (painter.hasClipping() || !painter.deviceTransform().isIdentity() ||
            painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
            painter.testRenderHint(QPainter::Antialiasing))
            return t;
        if (exact && painter.opacity() != 1.0)
            return t;
        QImage& image = *static_cast<QImage*>(device);
        const QImage::Format format = image.format();
        if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied &&
            (exact || format != QImage::Format_ARGB32))
            return t;
        // The painter's begin already made the image's data its own, so this does not copy.
        t.m_pBits = image.bits();
        t.m_nBytesPerLine = image.bytesPerLine();
        t.m_nWidth = image.width();
        t.m_nHeight = image.height();
        return t;
    }

    bool Valid() const { return m_pBits != nullptr; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight; }

    QRgb* Row(int y) const { return reinterpret_cast<QRgb*>(m_pBits + y * m_nBytesPerLine); }

    // Pixels x0..x1 of row y, cut to the image.
    void Span(int y, int x0, int x1, QRgb color) const
    {
        if (y < 0 || y >= m_nHeight)
            return;
        x0 = std::max(x0, 0);
        x1 = std::min(x1, m_nWidth - 1);
        if (x0 > x1)
            return;
        std::fill(Row(y) + x0, Row(y) + x1 + 1, color);
    }

    // The pixels x0..x1 of the rows y0..y1, cut to the image.
    void Block(int x0, int x1, int y0, int y1, QRgb color) const
    {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, m_nWidth - 1);
        y0 = std::max(y0, 0);
        y1 = std::min(y1, m_nHeight - 1);
        if (x0 > x1 || y0 > y1)
            return;
        const int n = x1 - x0 + 1;
        uchar* line = m_pBits + y0 * m_nBytesPerLine + x0 * qsizetype(sizeof(QRgb));
        // Most blocks are the three pixels of a width-3 curve's rows.
        if (n == 3) {
            for (int y = y0; y <= y1; ++y, line += m_nBytesPerLine) {
                QRgb* p = reinterpret_cast<QRgb*>(line);
                p[0] = color;
                p[1] = color;
                p[2] = color;
            }
            return;
        }
        for (int y = y0; y <= y1; ++y, line += m_nBytesPerLine)
            std::fill_n(reinterpret_cast<QRgb*>(line), n, color);
    }

    // Pixels y0..y1 of column x, cut to the image.
    void Column(int x, int y0, int y1, QRgb color) const
    {
        if (x < 0 || x >= m_nWidth)
            return;
        y0 = std::max(y0, 0);
        y1 = std::min(y1, m_nHeight - 1);
        for (int y = y0; y <= y1; ++y)
            Row(y)[x] = color;
    }

private:
    uchar* m_pBits = nullptr;
    qsizetype m_nBytesPerLine = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

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

// n / d for n > 0 and d > 0. The divisors are twice a segment's minor extent, mostly 2 or 4 on
// a dense curve, where a shift spares the division's latency.
int PositiveQuotient(int n, int d)
{
    const unsigned ud = static_cast<unsigned>(d);
    if ((ud & (ud - 1)) == 0)
        return n >> std::countr_zero(ud);
    return n / d;
}

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
                k = dx == 0 ? remaining : PositiveQuotient(-dy - 2 * err + 2 * dx - 1, 2 * dx);
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
            k = dy == 0 ? remaining : PositiveQuotient(2 * err - dx + 2 * dy - 1, 2 * dy);
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

bool RasterWidePolyline(QPainter& painter, const QPen& pen, const QPolygon& points)
{
    if (pen.isCosmetic() || pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern ||
        pen.color().alpha() != 255 || pen.width() < 2 || pen.width() > 16)
        return false;
    const RasterTarget target = RasterTarget::Of(painter, RasterTarget::Writes::Stamps);
    if (!target.Valid())
        return false;

    // Far-away points would make long walks outside the image; QPainter clips those itself.
    const int w = target.Width();
    const int h = target.Height();
    if (w > (1 << 20) || h > (1 << 20))
        return false;
    for (const QPoint& p : points)
        if (p.x() < -64 || p.y() < -64 || p.x() >= w + 64 || p.y() >= h + 64)
            return false;

    const DiskStamp stamp(pen.width());
    RunStamper runs(target, stamp, pen.color().rgb() | 0xFF000000u);
    for (int i = 1; i < points.size(); ++i)
        BresenhamRuns(runs, points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y());
    runs.Flush();
    return true;
}

// Width-1 lines. QPainter steps a cosmetic pen's line pixel by pixel, clip-testing and dashing
// each one, which made the grid and the frames a large share of a full-screen paint. For the lines
// the graph draws - horizontal or vertical, inside the image, solid or with a dash of whole
// pixels - the pixels it sets are simple to state and are set here directly:
// - a line from a to b sets the pixels from a towards b, without b; drawn right-to-left or
//   bottom-to-top it sets them from the pixel next to a up to and including b;
// - the dash pattern starts with its first dash at the first pixel set;
// - the closed outline of a rectangle sets every pixel of its four edges.
class ThinPen {
public:
    // False for pens this does not reproduce; they go through QPainter.
    bool Set(const QPen& pen)
    {
        if (!pen.isCosmetic() || pen.widthF() != 1.0 || pen.capStyle() != Qt::FlatCap ||
            pen.brush().style() != Qt::SolidPattern || pen.color().alpha() != 255)
            return false;
        m_color = pen.color().rgb() | 0xFF000000u;
        m_nPeriod = 0;
        if (pen.style() == Qt::SolidLine)
            return true;
        if (pen.style() != Qt::CustomDashLine || pen.dashOffset() != 0.0)
            return false;
        const QList<qreal> pattern = pen.dashPattern();
        if (pattern.isEmpty() || pattern.size() % 2 != 0 || pattern.size() > kMaxDashes)
            return false;
        m_nDashes = static_cast<int>(pattern.size());
        for (int i = 0; i < m_nDashes; ++i) {
            const qreal length = pattern[i];
            if (length < 1.0 || length > 256.0 || length != std::floor(length))
                return false;
            m_nPeriod += static_cast<int>(length);
            m_dashEnds[i] = m_nPeriod;
        }
        return true;
    }

    bool Solid() const { return m_nPeriod == 0; }

    // The line from (x0, y0) to (x1, y1); false when it is not one this draws.
    bool Line(const RasterTarget& t, int x0, int y0, int x1, int y1) const
    {
        if ((x0 != x1 && y0 != y1) || (x0 == x1 && y0 == y1) || !t.Contains(x0, y0) || !t.Contains(x1, y1))
            return false;
        const bool horizontal = y0 == y1;
        const int a = horizontal ? x0 : y0;
        const int b = horizontal ? x1 : y1;
        // The pixels set, in drawing order: first, first + step, ..., count of them.
        const int step = b > a ? 1 : -1;
        const int first = b > a ? a : a - 1;
        const int count = std::abs(b - a);
        if (Solid()) {
            const int lo = std::min(first, first + step * (count - 1));
            const int hi = std::max(first, first + step * (count - 1));
            if (horizontal)
                t.Span(y0, lo, hi, m_color);
            else
                t.Column(x0, lo, hi, m_color);
            return true;
        }
        // Pattern piece i covers pixels [start, end) of the line; the even pieces are the dashes.
        int start = 0;
        for (int i = 0; start < count; i = (i + 1) % m_nDashes) {
            const int periodStart = start - (i == 0 ? 0 : m_dashEnds[i - 1]);
            const int end = std::min(count, periodStart + m_dashEnds[i]);
            if (i % 2 == 0) {
                const int from = first + step * start;
                const int to = first + step * (end - 1);
                if (horizontal)
                    t.Span(y0, std::min(from, to), std::max(from, to), m_color);
                else
                    t.Column(x0, std::min(from, to), std::max(from, to), m_color);
            }
            start = end;
        }
        return true;
    }

    // The outline of the rectangle with corners (left, top) and (right, bottom), edges included.
    bool Outline(const RasterTarget& t, int left, int top, int right, int bottom) const
    {
        if (!Solid() || left >= right || top >= bottom || !t.Contains(left, top) || !t.Contains(right, bottom))
            return false;
        t.Span(top, left, right, m_color);
        t.Span(bottom, left, right, m_color);
        t.Column(left, top + 1, bottom - 1, m_color);
        t.Column(right, top + 1, bottom - 1, m_color);
        return true;
    }

private:
    static constexpr int kMaxDashes = 8;
    QRgb m_color = 0;
    int m_nPeriod = 0;  // 0 for a solid pen
    int m_nDashes = 0;
    int m_dashEnds[kMaxDashes] = {};  // end of each dash and gap within the period
};

bool RasterThinLines(QPainter& painter, const QPen& pen, const QPolygon& points)
{
    ThinPen thin;
    if (!thin.Set(pen))
        return false;
    const RasterTarget target = RasterTarget::Of(painter, RasterTarget::Writes::AsQPainter);
    if (!target.Valid())
        return false;
    if (points.size() == 2)
        return thin.Line(target, points[0].x(), points[0].y(), points[1].x(), points[1].y());
    // A closed rectangle drawn as four lines (the gradient panel frame).
    if (points.size() == 5 && points[0] == points[4]) {
        const bool firstHorizontal = points[0].y() == points[1].y();
        for (int i = 0; i < 4; ++i) {
            const bool horizontal = (i % 2 == 0) == firstHorizontal;
            const QPoint& p = points[i];
            const QPoint& q = points[i + 1];
            if (horizontal ? (p.y() != q.y() || p.x() == q.x()) : (p.x() != q.x() || p.y() == q.y()))
                return false;
        }
        const int left = std::min(points[0].x(), points[2].x());
        const int right = std::max(points[0].x(), points[2].x());
        const int top = std::min(points[0].y(), points[2].y());
        const int bottom = std::max(points[0].y(), points[2].y());
        return thin.Outline(target, left, top, right, bottom);
    }
    return false;
}

// Text in an opaque cell on a plain image. Inside its cell the picture of a text depends only on
// the text, the font, the two colours and the image format: the cell is filled first, so nothing
// that was under it shows. QPainter shapes the text and blends every glyph again on each call,
// which costs a full-screen paint as much as all its curves; the same labels and titles come
// back on every repaint, so each cell is drawn once by QPainter and copied from then on. A text
// whose ink reaches outside its cell depends on what is there and is always drawn by QPainter.
// The cells are kept per thread, so that painting in several threads needs no lock.
class TextCells {
public:
    struct Cell {
        int ascent = 0;
        QImage pixels;  // the cell, or null when the text is not kept
    };

    static TextCells& ForThisThread()
    {
        thread_local TextCells cells;
        return cells;
    }

    // The cell of text as QPainter draws it with painter's hints into image, the font and
    // colours given; made on first use.
    const Cell& Get(const QImage& image, const QPainter& painter, const QFont& font, const QColor& textColor,
                    const QColor& background, const QString& text)
    {
        QString key = font.toString() + QChar(0x1f) + font.families().join(QChar(0x1e)) + QChar(0x1f) +
                      QString::number(int(font.hintingPreference())) + QChar(0x1f) +
                      QString::number(int(font.styleStrategy())) + QChar(0x1f) +
                      QString::number(image.devicePixelRatio());
        key += QChar(0x1f);
        key += QString::number(quint64(textColor.rgba64()), 16) + QChar(0x1f) +
               QString::number(quint64(background.rgba64()), 16);
        key += QChar(0x1f) + QString::number(int(image.format())) + QChar(0x1f) +
               QString::number(image.dotsPerMeterX()) + QChar(0x1f) + QString::number(image.dotsPerMeterY());
        key += QChar(0x1f) + QString::number(int(painter.renderHints())) + QChar(0x1f) +
               QString::number(int(painter.layoutDirection()));
        key += QChar(0x1f);
        key += text;
        const auto it = m_cells.constFind(key);
        if (it != m_cells.constEnd())
            return *it;
        Cell cell = Make(image, painter, font, textColor, background, text);
        // Labels change with the data; a bound keeps a long session from collecting them all.
        const qsizetype bytes = cell.pixels.sizeInBytes() + key.size() * qsizetype(sizeof(QChar));
        if (m_cells.size() >= kMaxCells || m_nBytes + bytes > kMaxBytes) {
            m_cells.clear();
            m_nBytes = 0;
        }
        m_nBytes += bytes;
        return *m_cells.insert(key, std::move(cell));
    }

private:
    static constexpr qsizetype kMaxCells = 1024;
    static constexpr qsizetype kMaxBytes = 8 << 20;

    // Whether every pixel of the 32-bit image outside inside is untouched.
    template <typename Untouched>
    static bool OnlyInside(const QImage& image, const QRect& inside, Untouched untouched)
    {
        for (int y = 0; y < image.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            const bool rowCrosses = y >= inside.top() && y <= inside.bottom();
            for (int x = 0; x < image.width(); ++x) {
                if (rowCrosses && x == inside.left())
                    x = inside.right() + 1;
                if (x < image.width() && !untouched(line[x]))
                    return false;
            }
        }
        return true;
    }

    static void Prepare(QPainter& p, const QPainter& like, const QFont& font, const QColor& textColor)
    {
        p.setRenderHints(p.renderHints(), false);
        p.setRenderHints(like.renderHints(), true);
        p.setLayoutDirection(like.layoutDirection());
        p.setFont(font);
        p.setPen(QPen(textColor));
    }

    static Cell Make(const QImage& image, const QPainter& painter, const QFont& font, const QColor& textColor,
                     const QColor& background, const QString& text)
    {
        Cell cell;
        const QFontMetrics metrics(font, &image);
        cell.ascent = metrics.ascent();
        const int width = metrics.horizontalAdvance(text);
        const int height = metrics.height();
        // Cells of titles and labels are small; large text is rare enough to be drawn each time.
        if (width <= 0 || height <= 0 || qsizetype(width) * height > 64 * 1024)
            return cell;
        // The text is drawn with a margin all round; where its ink lands shows in the alpha of
        // a transparent image.
        const int margin = 2 * height + 8;
        const QRect inCell(margin, margin, width, height);
        const QPointF origin(margin, margin + cell.ascent);
        QImage ink(width + 2 * margin, height + 2 * margin, QImage::Format_ARGB32_Premultiplied);
        ink.setDotsPerMeterX(image.dotsPerMeterX());
        ink.setDotsPerMeterY(image.dotsPerMeterY());
        ink.fill(Qt::transparent);
        {
            QPainter p(&ink);
            Prepare(p, painter, font, textColor);
            p.drawText(origin, text);
        }
        if (!OnlyInside(ink, inCell, [](QRgb pixel) { return qAlpha(pixel) == 0; }))
            return cell;
        // The glyphs may be rendered differently for an opaque image, so the check is repeated
        // in the image's own format on two grounds, and the cell is taken from the first.
        QImage drawn;
        for (const QColor& ground : {QColor(Qt::white), QColor(Qt::gray)}) {
            QImage trial(ink.size(), image.format());
            trial.setDotsPerMeterX(image.dotsPerMeterX());
            trial.setDotsPerMeterY(image.dotsPerMeterY());
            trial.setColorSpace(image.colorSpace());
            trial.fill(ground);
            const QRgb groundPixel = *reinterpret_cast<const QRgb*>(trial.constScanLine(0));
            {
                QPainter p(&trial);
                Prepare(p, painter, font, textColor);
                p.fillRect(inCell, background);
                p.drawText(origin, text);
            }
            if (!OnlyInside(trial, inCell, [groundPixel](QRgb pixel) { return pixel == groundPixel; }))
                return cell;
            if (drawn.isNull())
                drawn = trial;
        }
        cell.pixels = drawn.copy(inCell);
        return cell;
    }

    QHash<QString, Cell> m_cells;
    qsizetype m_nBytes = 0;
};

}  // namespace

bool GdiContext::DrawTextFromCell(const QPointF& baselineOrigin, const QString& text, const QRect* clip)
{
    if (!m_bOpaqueBackground || m_textColor.alpha() != 255 || baselineOrigin.x() != std::floor(baselineOrigin.x()) ||
        baselineOrigin.y() != std::floor(baselineOrigin.y()) || std::abs(baselineOrigin.x()) > 1e6 ||
        std::abs(baselineOrigin.y()) > 1e6)
        return false;
    const QBrush& background = m_painter.background();
    if (background.style() != Qt::SolidPattern || background.color().alpha() != 255 ||
        m_painter.backgroundMode() != Qt::TransparentMode)
        return false;
    const RasterTarget target = RasterTarget::Of(m_painter, RasterTarget::Writes::AsQPainter);
    if (!target.Valid())
        return false;
    QImage& image = *static_cast<QImage*>(m_painter.device());
    const TextCells::Cell& cell =
        TextCells::ForThisThread().Get(image, m_painter, m_font, m_textColor, background.color(), text);
    if (cell.pixels.isNull())
        return false;
    const QPoint topLeft(int(baselineOrigin.x()), int(baselineOrigin.y()) - cell.ascent);
    QRect area = QRect(topLeft, cell.pixels.size()).intersected(image.rect());
    if (clip)
        area = area.intersected(*clip);
    const qsizetype bytes = qsizetype(area.width()) * qsizetype(sizeof(QRgb));
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(target.Row(y) + area.left(),
                    cell.pixels.constScanLine(y - topLeft.y()) + (area.left() - topLeft.x()) * qsizetype(sizeof(QRgb)),
                    bytes);
    return true;
}

GdiContext::GdiContext(QPainter& painter, Start start) : m_painter(painter)
{
    m_painter.save();
    if (start == Start::Inherit) {
        m_pen = m_painter.pen();
        m_brush = m_painter.brush();
        m_font = m_painter.font();
    } else {
        m_pen = gdi::SolidPen(1, Qt::black);
        m_brush = QBrush(Qt::white);
        m_font = gdi::DefaultFont();
    }
    m_painter.setPen(m_pen);
    m_painter.setBrush(m_brush);
    m_painter.setFont(m_font);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBackground(QBrush(Qt::white));
    m_painter.setBackgroundMode(Qt::TransparentMode);
}

GdiContext::~GdiContext()
{
    FlushLines();
    m_painter.restore();
}

QPen GdiContext::SelectPen(const QPen& pen)
{
    FlushLines();
    QPen old = m_pen;
    m_pen = pen;
    m_painter.setPen(pen);
    return old;
}

QBrush GdiContext::SelectBrush(const QBrush& brush)
{
    FlushLines();
    QBrush old = m_brush;
    m_brush = brush;
    m_painter.setBrush(brush);
    return old;
}

QFont GdiContext::SelectFont(const QFont& font)
{
    QFont old = m_font;
    m_font = font;
    m_painter.setFont(font);
    return old;
}

void GdiContext::SetInvertMode(bool invert)
{
    FlushLines();
    m_painter.setCompositionMode(invert ? QPainter::RasterOp_NotSourceXorDestination
                                        : QPainter::CompositionMode_SourceOver);
}

void GdiContext::MoveTo(int x, int y)
{
    FlushLines();
    m_position = QPoint(x, y);
}

void GdiContext::LineTo(int x, int y)
{
    if (m_pendingLine.isEmpty())
        m_pendingLine.append(m_position);
    m_pendingLine.append(QPoint(x, y));
    m_position = QPoint(x, y);
}

void GdiContext::Polyline(QPolygon points)
{
    FlushLines();
    if (points.isEmpty())
        return;
    m_position = points.last();
    if (points.size() >= 2)
        m_pendingLine = std::move(points);
}

void GdiContext::FlushLines()
{
    if (m_pendingLine.size() >= 2 && !RasterWidePolyline(m_painter, m_pen, m_pendingLine) &&
        !RasterThinLines(m_painter, m_pen, m_pendingLine)) {
        if (m_pendingLine.size() == 2)
            m_painter.drawLine(m_pendingLine[0], m_pendingLine[1]);
        else
            m_painter.drawPolyline(m_pendingLine);
    }
    m_pendingLine.clear();
}

void GdiContext::Rectangle(int left, int top, int right, int bottom)
{
    FlushLines();
    if (right <= left || bottom <= top)
        return;
    // A QRect of width w is stroked over w + 1 columns; the platform's rectangle ends before right.
    if (m_brush.style() == Qt::NoBrush && right - left >= 2 && bottom - top >= 2) {
        ThinPen thin;
        const RasterTarget target = RasterTarget::Of(m_painter, RasterTarget::Writes::AsQPainter);
        if (target.Valid() && thin.Set(m_pen) && thin.Outline(target, left, top, right - 1, bottom - 1))
            return;
    }
    m_painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void GdiContext::FillSolidRect(const QRect& rect, const QColor& color)
{
    FlushLines();
    m_painter.fillRect(rect, color);
}

void GdiContext::DrawTextAt(const QPointF& baselineOrigin, const QString& text, const QRect* clip)
{
    FlushLines();
    if (text.isEmpty() || DrawTextFromCell(baselineOrigin, text, clip))
        return;
    const QPen pen = m_painter.pen();
    m_painter.setPen(QPen(m_textColor));
    if (clip) {
        m_painter.save();
        m_painter.setClipRect(*clip, Qt::IntersectClip);
    }
    if (m_bOpaqueBackground) {
        const QFontMetrics metrics(m_font, m_painter.device());
        const QRect cell(int(baselineOrigin.x()), int(baselineOrigin.y()) - metrics.ascent(),
                         metrics.horizontalAdvance(text), metrics.height());
        m_painter.fillRect(cell, m_painter.background());
    }
    m_painter.drawText(baselineOrigin, text);
    if (clip)
        m_painter.restore();
    m_painter.setPen(pen);
}

void GdiContext::TextOut(int x, int y, const QString& text)
{
    const QFontMetrics metrics(m_font, m_painter.device());
    DrawTextAt(QPointF(x, y + metrics.ascent()), text, nullptr);
}

void GdiContext::DrawText(const QRect& rect, const QString& text)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QFontMetrics metrics(m_font, m_painter.device());
    DrawTextAt(QPointF(rect.left(), rect.top() + metrics.ascent()), text, &rect);
}

QSize GdiContext::GetTextExtent(const QString& text) const
{
    const QFontMetrics metrics(m_font, m_painter.device());
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

int GdiContext::TextHeight() const
{
    const QFontMetrics metrics(m_font, m_painter.device());
    return metrics.height();
}
