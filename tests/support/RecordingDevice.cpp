#include "RecordingDevice.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QTextItem>

class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override
    {
        const auto flags = state.state();
        if (flags & DirtyPen)
            m_pen = state.pen();
        if (flags & DirtyBrush)
            m_brush = state.brush();
        if (flags & DirtyFont)
            m_font = state.font();
        if (flags & DirtyCompositionMode)
            m_mode = state.compositionMode();
        if (flags & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled))
            m_clipped = state.isClipEnabled() && state.clipOperation() != Qt::NoClip;
    }

    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i) {
            RecordedItem item = Make(RecordedItem::Line);
            item.points = {lines[i].p1(), lines[i].p2()};
            items.append(item);
        }
    }

    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            RecordedItem item = Make(RecordedItem::Rect);
            item.rect = rects[i];
            items.append(item);
        }
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        RecordedItem item = Make(mode == PolylineMode ? RecordedItem::Polyline : RecordedItem::Polygon);
        item.points.reserve(count);
        for (int i = 0; i < count; ++i)
            item.points.append(points[i]);
        items.append(item);
    }

    void drawTextItem(const QPointF& p, const QTextItem& textItem) override
    {
        // Qt hands one string over in script runs ("梯度(" and "nT/m)"); a run that continues the
        // previous text on its baseline belongs to the same string.
        if (!items.isEmpty() && items.back().kind == RecordedItem::Text) {
            RecordedItem& last = items.back();
            if (qAbs(last.textBaseline.y() - p.y()) < 0.01 && qAbs(last.textEndX - p.x()) < 0.5) {
                last.text += textItem.text();
                last.textEndX = p.x() + textItem.width();
                return;
            }
        }
        RecordedItem item = Make(RecordedItem::Text);
        item.text = textItem.text();
        item.font = textItem.font();
        item.textTopLeft = QPointF(p.x(), p.y() - textItem.ascent());
        item.textBaseline = p;
        item.textEndX = p.x() + textItem.width();
        items.append(item);
    }

    void drawPath(const QPainterPath& path) override
    {
        RecordedItem item = Make(RecordedItem::Path);
        item.rect = path.boundingRect();
        items.append(item);
    }

    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override
    {
        RecordedItem item = Make(RecordedItem::Image);
        item.rect = r;
        items.append(item);
    }

    void drawImage(const QRectF& r, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
        RecordedItem item = Make(RecordedItem::Image);
        item.rect = r;
        items.append(item);
    }

    QVector<RecordedItem> items;

private:
    RecordedItem Make(RecordedItem::Kind kind) const
    {
        RecordedItem item;
        item.kind = kind;
        item.pen = m_pen;
        item.brush = m_brush;
        item.font = m_font;
        item.mode = m_mode;
        item.clipped = m_clipped;
        return item;
    }

    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
    QPainter::CompositionMode m_mode = QPainter::CompositionMode_SourceOver;
    bool m_clipped = false;
};

RecordingDevice::RecordingDevice(QSize size) : m_size(size), m_engine(std::make_unique<RecordingEngine>()) {}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const
{
    return m_engine.get();
}

const QVector<RecordedItem>& RecordingDevice::Items() const
{
    return m_engine->items;
}

void RecordingDevice::Clear()
{
    m_engine->items.clear();
}

QVector<RecordedItem> RecordingDevice::OfKind(RecordedItem::Kind kind) const
{
    QVector<RecordedItem> out;
    for (const RecordedItem& item : m_engine->items)
        if (item.kind == kind)
            out.append(item);
    return out;
}

QVector<RecordedItem> RecordingDevice::WithPenColor(const QColor& color) const
{
    QVector<RecordedItem> out;
    for (const RecordedItem& item : m_engine->items)
        if ((item.kind == RecordedItem::Line || item.kind == RecordedItem::Polyline) &&
            item.pen.style() != Qt::NoPen && item.pen.color() == color)
            out.append(item);
    return out;
}

const RecordedItem* RecordingDevice::FindText(const QString& text) const
{
    for (const RecordedItem& item : m_engine->items)
        if (item.kind == RecordedItem::Text && item.text == text)
            return &item;
    return nullptr;
}

QVector<RecordedItem> RecordingDevice::TextsEqual(const QString& text) const
{
    QVector<RecordedItem> out;
    for (const RecordedItem& item : m_engine->items)
        if (item.kind == RecordedItem::Text && item.text == text)
            out.append(item);
    return out;
}

QString RecordingDevice::TextAt(QPoint topLeft) const
{
    for (const RecordedItem& item : m_engine->items)
        if (item.kind == RecordedItem::Text && item.textTopLeft.toPoint() == topLeft)
            return item.text;
    return QStringLiteral("<none>");
}

bool RecordingDevice::HasRect(const QRect& gdiRect) const
{
    for (const RecordedItem& item : m_engine->items)
        if (item.kind == RecordedItem::Rect && item.GdiRect() == gdiRect)
            return true;
    return false;
}

int RecordingDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return m_size.width() * 254 / 960;
    case PdmHeightMM:
        return m_size.height() * 254 / 960;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}
