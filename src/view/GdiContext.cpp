#include "view/GdiContext.h"

#include "view/WidePenRaster.h"

#include <QFontMetrics>
#include <QStringList>

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
