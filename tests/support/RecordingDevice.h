#pragma once

#include <QBrush>
#include <QFont>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

#include <memory>

// One primitive as it reached the paint engine, with the state it was drawn in.
struct RecordedItem {
    enum Kind { Line, Rect, Polyline, Polygon, Text, Path, Image };
    Kind kind = Line;
    QVector<QPointF> points;  // Line: 2 points; Polyline/Polygon: all vertices
    QRectF rect;              // Rect: as given to QPainter (stroked over width + 1 columns)
    QString text;             // Text
    QPointF textTopLeft;      // Text: top-left corner of the text cell (baseline minus ascent)
    QPointF textBaseline;     // Text: left end of the baseline
    qreal textEndX = 0;       // Text: right end of the baseline
    QFont font;
    QPen pen;
    QBrush brush;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    bool clipped = false;

    // The rectangle in the platform's terms, (left, top) to (right, bottom) with right and bottom
    // just outside the outline: a QRect of width w is stroked over w + 1 columns.
    QRect GdiRect() const
    {
        const QRect r = rect.toRect();
        return QRect(QPoint(r.left(), r.top()), QPoint(r.left() + r.width() + 1, r.top() + r.height() + 1));
    }
    QPoint P(int i) const { return points.value(i).toPoint(); }
    QVector<QPoint> IntPoints() const
    {
        QVector<QPoint> out;
        for (const QPointF& p : points)
            out.append(p.toPoint());
        return out;
    }
};

// Whether one of lines runs from a to b.
inline bool HasLine(const QVector<RecordedItem>& lines, QPoint a, QPoint b)
{
    for (const RecordedItem& l : lines)
        if (l.kind == RecordedItem::Line && l.P(0) == a && l.P(1) == b)
            return true;
    return false;
}

class RecordingEngine;

// A paint device that draws nothing and remembers every line, rectangle, polyline and text, so a
// test can check geometry ("grid line 2 of band 1 runs from (10, 41) to (1270, 41)") without
// comparing images. Reports 96 dpi like the screens the program was made for.
class RecordingDevice : public QPaintDevice {
public:
    explicit RecordingDevice(QSize size);
    ~RecordingDevice() override;

    QPaintEngine* paintEngine() const override;
    QSize size() const { return m_size; }

    const QVector<RecordedItem>& Items() const;
    void Clear();

    // Filters used by most tests.
    QVector<RecordedItem> Lines() const { return OfKind(RecordedItem::Line); }
    QVector<RecordedItem> Polylines() const { return OfKind(RecordedItem::Polyline); }
    QVector<RecordedItem> Texts() const { return OfKind(RecordedItem::Text); }
    QVector<RecordedItem> Rects() const { return OfKind(RecordedItem::Rect); }
    QVector<RecordedItem> OfKind(RecordedItem::Kind kind) const;
    // Lines and polylines drawn with a pen of this colour.
    QVector<RecordedItem> WithPenColor(const QColor& color) const;
    // The first text item equal to text, or nullptr.
    const RecordedItem* FindText(const QString& text) const;
    QVector<RecordedItem> TextsEqual(const QString& text) const;
    // The text whose cell starts at topLeft, or "<none>".
    QString TextAt(QPoint topLeft) const;
    bool HasLine(QPoint a, QPoint b) const { return ::HasLine(Lines(), a, b); }
    // Whether a rectangle was drawn with this outline in the platform's terms (see GdiRect).
    bool HasRect(const QRect& gdiRect) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    std::unique_ptr<RecordingEngine> m_engine;
};
