#include "view/GdiContext.h"

#include "view/WidePenRaster.h"

#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <cmath>
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

// Device edge of the logical coordinate v at ratio r: logical pixels cover whole device pixels,
// and neighbours share their edge, so nothing is left out or covered twice.
int DeviceEdge(int v, qreal r)
{
    return static_cast<int>(std::floor(v * r + 0.5));
}

// The pixel runs of width-1 lines in logical pixels, as the platform's cosmetic pen sets them:
// a single line covers its pixels up to, not including, the larger end (whichever way it runs);
// in a longer polyline each segment covers its start and stops before its end. The dash pattern
// (18 on, 6 off) runs from the start of each line.
class LogicalLineRuns {
public:
    explicit LogicalLineRuns(bool dashed) : m_bDashed(dashed) {}

    // False for a segment that is neither horizontal nor vertical.
    bool Add(QPoint from, QPoint to, bool single)
    {
        if (from.x() != to.x() && from.y() != to.y())
            return false;
        const bool horizontal = from.y() == to.y();
        const int a = horizontal ? from.x() : from.y();
        const int b = horizontal ? to.x() : to.y();
        if (a == b)
            return true;
        const int step = a < b ? 1 : -1;
        // First and last pixel along the line, in the order the pattern runs.
        int first = a;
        int last = b - step;
        if (single && a > b) {
            first = a - 1;
            last = b;
        }
        for (int p = first;; p += step) {
            if (!m_bDashed || m_nPhase % 24 < 18)
                AddPixel(horizontal ? QPoint(p, from.y()) : QPoint(from.x(), p));
            ++m_nPhase;
            if (p == last)
                break;
        }
        return true;
    }

    const std::vector<QRect>& Rects() const { return m_rects; }

private:
    void AddPixel(QPoint p)
    {
        if (!m_rects.empty()) {
            QRect& r = m_rects.back();
            if (r.height() == 1 && r.top() == p.y() && (p.x() == r.right() + 1 || p.x() == r.left() - 1)) {
                r.setLeft(std::min(r.left(), p.x()));
                r.setRight(std::max(r.right(), p.x()));
                return;
            }
            if (r.width() == 1 && r.left() == p.x() && (p.y() == r.bottom() + 1 || p.y() == r.top() - 1)) {
                r.setTop(std::min(r.top(), p.y()));
                r.setBottom(std::max(r.bottom(), p.y()));
                return;
            }
        }
        m_rects.emplace_back(p, QSize(1, 1));
    }

    bool m_bDashed;
    int m_nPhase = 0;
    std::vector<QRect> m_rects;
};

}  // namespace

qreal gdi::PixelRatio(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    if (!device || device->devicePixelRatio() == 1.0)
        return 1.0;
    const QTransform& t = painter.deviceTransform();
    const qreal r = device->devicePixelRatio();
    if (t.type() != QTransform::TxScale || t.m11() != r || t.m22() != r)
        return 1.0;
    return r;
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

void GdiContext::FillDeviceRects(const std::vector<QRect>& logical, const QColor& color)
{
    const qreal r = gdi::PixelRatio(m_painter);
    m_painter.save();
    // Drawn in device pixels: the painter's scale is undone for the fill.
    m_painter.setWorldTransform(QTransform::fromScale(1.0 / r, 1.0 / r));
    for (const QRect& l : logical) {
        const int x0 = DeviceEdge(l.left(), r);
        const int y0 = DeviceEdge(l.top(), r);
        const int x1 = DeviceEdge(l.left() + l.width(), r);
        const int y1 = DeviceEdge(l.top() + l.height(), r);
        if (x1 > x0 && y1 > y0)
            m_painter.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), color);
    }
    m_painter.restore();
}

bool GdiContext::FineLines(const QPolygon& points)
{
    const bool dashed = m_pen.style() != Qt::SolidLine;
    if (gdi::PixelRatio(m_painter) == 1.0 || !m_pen.isCosmetic() || m_pen.widthF() > 1.0 ||
        m_pen.brush().style() != Qt::SolidPattern ||
        (dashed && m_pen.dashPattern() != gdi::DashPen(Qt::black).dashPattern()))
        return false;
    LogicalLineRuns runs(dashed);
    const bool single = points.size() == 2;
    for (qsizetype i = 1; i < points.size(); ++i)
        if (!runs.Add(points[i - 1], points[i], single))
            return false;
    FillDeviceRects(runs.Rects(), m_pen.color());
    return true;
}

void GdiContext::FlushLines()
{
    if (m_pendingLine.size() >= 2 && !FineLines(m_pendingLine) &&
        !RasterWidePolyline(m_painter, m_pen, m_pendingLine)) {
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
    const bool hollow = m_brush.style() == Qt::NoBrush;
    const bool plainPen =
        m_pen.style() == Qt::NoPen || (m_pen.style() == Qt::SolidLine && m_pen.isCosmetic() && m_pen.widthF() <= 1.0);
    if (gdi::PixelRatio(m_painter) != 1.0 && plainPen && (hollow || m_brush.style() == Qt::SolidPattern)) {
        if (!hollow)
            FillDeviceRects({QRect(QPoint(left, top), QPoint(right - 1, bottom - 1))}, m_brush.color());
        if (m_pen.style() != Qt::NoPen)
            FillDeviceRects({QRect(left, top, right - left, 1), QRect(left, bottom - 1, right - left, 1),
                             QRect(left, top, 1, bottom - top), QRect(right - 1, top, 1, bottom - top)},
                            m_pen.color());
        return;
    }
    // A QRect of width w is stroked over w + 1 columns; the platform's rectangle ends before right.
    m_painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void GdiContext::FillSolidRect(const QRect& rect, const QColor& color)
{
    FlushLines();
    if (gdi::PixelRatio(m_painter) != 1.0)
        FillDeviceRects({rect}, color);
    else
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
        if (gdi::PixelRatio(m_painter) != 1.0)
            FillDeviceRects({cell}, m_painter.background().color());
        else
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
