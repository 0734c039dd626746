#include "view/GdiContext.h"

#include <QFontMetrics>
#include <QStringList>

#include <QImage>
#include <QPaintEngine>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

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

// Wide curve pens stroked by QPainter cost milliseconds per curve of 2048 noisy samples (every
// vertex gets a round join, and the overlapping outline is filled with the winding rule). On a
// plain image the same pixels are set far faster by stamping the pen's disk along each segment,
// which is how the platform's wide pens looked anyway. Anything else (printers, recording
// devices, clipping, transforms, raster operations) goes through QPainter.
class DiskStamp {
public:
    explicit DiskStamp(int width)
    {
        // Offsets -w/2 .. (w-1)/2 around the pixel centre; for even widths the disk's centre lies
        // between pixels, as a geometric pen's outline does.
        const int lo = -width / 2;
        const int hi = (width - 1) / 2;
        const double centre = (width % 2 == 0) ? -0.5 : 0.0;
        const double r2 = (width / 2.0) * (width / 2.0);
        for (int dy = lo; dy <= hi; ++dy) {
            int left = 1, right = 0;
            for (int dx = lo; dx <= hi; ++dx) {
                const double ex = dx - centre;
                const double ey = dy - centre;
                if (ex * ex + ey * ey <= r2 + 1e-9) {
                    left = std::min(left, dx);
                    right = std::max(right, dx);
                }
            }
            if (left <= right)
                m_rows.push_back({dy, left, right});
        }
        m_nReach = std::max(-lo, hi);
    }

    int Reach() const { return m_nReach; }

    void Stamp(uchar* bits, qsizetype bytesPerLine, int w, int h, int x, int y, QRgb color) const
    {
        for (const Row& row : m_rows) {
            const int yy = y + row.dy;
            if (yy < 0 || yy >= h)
                continue;
            const int x0 = std::max(0, x + row.left);
            const int x1 = std::min(w - 1, x + row.right);
            QRgb* line = reinterpret_cast<QRgb*>(bits + yy * bytesPerLine);
            for (int xx = x0; xx <= x1; ++xx)
                line[xx] = color;
        }
    }

private:
    struct Row {
        int dy;
        int left;
        int right;
    };
    std::vector<Row> m_rows;
    int m_nReach = 0;
};

bool RasterWidePolyline(QPainter& painter, const QPen& pen, const QPolygon& points)
{
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image || !painter.paintEngine() ||
        painter.paintEngine()->type() != QPaintEngine::Raster)
        return false;
    if (pen.isCosmetic() || pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern ||
        pen.color().alpha() != 255 || pen.width() < 2 || pen.width() > 16)
        return false;
    if (painter.hasClipping() || !painter.deviceTransform().isIdentity() ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
        painter.testRenderHint(QPainter::Antialiasing))
        return false;
    QImage& image = *static_cast<QImage*>(device);
    const QImage::Format format = image.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return false;

    const DiskStamp stamp(pen.width());
    // Far-away points would make long walks outside the image; QPainter clips those itself.
    const QRect reach = image.rect().adjusted(-64, -64, 64, 64);
    for (const QPoint& p : points)
        if (!reach.contains(p))
            return false;

    const QRgb color = pen.color().rgb() | 0xFF000000u;
    // The painter's begin already made the image's data its own, so this does not copy.
    uchar* bits = image.bits();
    const qsizetype bytesPerLine = image.bytesPerLine();
    const int w = image.width();
    const int h = image.height();
    for (int i = 1; i < points.size(); ++i) {
        int x = points[i - 1].x();
        int y = points[i - 1].y();
        const int x1 = points[i].x();
        const int y1 = points[i].y();
        const int dx = std::abs(x1 - x);
        const int dy = -std::abs(y1 - y);
        const int sx = x < x1 ? 1 : -1;
        const int sy = y < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            stamp.Stamp(bits, bytesPerLine, w, h, x, y, color);
            if (x == x1 && y == y1)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
    return true;
}

}  // namespace

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

void GdiContext::FlushLines()
{
    if (m_pendingLine.size() >= 2 && !RasterWidePolyline(m_painter, m_pen, m_pendingLine)) {
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
    if (text.isEmpty())
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
