#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

// The drawing of this program is defined in the terms of the Windows device context: text placed
// by its top-left corner, rectangles whose right and bottom edges lie outside, a current position
// for MoveTo/LineTo, a text colour separate from the pen, opaque text backgrounds by default and
// point fonts converted at 96 dpi. GdiContext gives exactly those semantics on a QPainter, so the
// drawing code reads like the rules it follows and every routine starts from the same defaults.
//
// A GdiContext is a "device context" taken for one routine: it saves the painter state on
// construction, resets it to the defaults of a fresh context (black width-1 pen, white brush,
// default font, black text on an opaque white background, copy mode) and restores it on
// destruction, so nested routines that take their own context see the defaults again.
//
// Wide pens on a plain image are stamped (WidePenRaster); everything else is drawn by QPainter.
//
// On an image finer than the drawing's coordinates (a backing image at the screen's pixel ratio)
// the coordinates stay the program's pixels, and each of them covers the device pixels under it:
// width-1 lines, rectangles and text backgrounds are set on whole device pixels (a line of one
// pixel is two device pixels wide at ratio 2), wide pens grow with the ratio, text is rendered at
// the device resolution. At ratio 1 nothing of this applies.
class GdiContext {
public:
    // Defaults: a fresh context. Inherit: keep the painter's pen, brush and font, as a routine does
    // that draws into a context handed to it (a printer page) rather than one it took itself.
    enum class Start { Defaults, Inherit };
    explicit GdiContext(QPainter& painter, Start start = Start::Defaults);
    ~GdiContext();
    GdiContext(const GdiContext&) = delete;
    GdiContext& operator=(const GdiContext&) = delete;

    QPainter& Painter() { return m_painter; }

    // Selection returns what was selected before, like SelectObject.
    QPen SelectPen(const QPen& pen);
    QBrush SelectBrush(const QBrush& brush);
    QBrush SelectHollowBrush() { return SelectBrush(Qt::NoBrush); }
    QFont SelectFont(const QFont& font);
    const QFont& CurrentFont() const { return m_font; }
    const QPen& CurrentPen() const { return m_pen; }

    void SetTextColor(const QColor& color) { m_textColor = color; }
    void SetOpaqueBackground(bool opaque) { m_bOpaqueBackground = opaque; }
    // The inverting raster mode used for lines that are erased by drawing them again.
    void SetInvertMode(bool invert);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // MoveTo the first point and LineTo each following one, handing the points over at once.
    void Polyline(QPolygon points);
    QPoint CurrentPosition() const { return m_position; }
    // Outline with the current pen, filled with the current brush; covers l..r-1 and t..b-1.
    void Rectangle(int left, int top, int right, int bottom);
    void FillSolidRect(const QRect& rect, const QColor& color);

    // Text with the top-left corner of its cell at (x, y).
    void TextOut(int x, int y, const QString& text);
    // Single line, left and top aligned in rect and clipped to it (the default DrawText format).
    void DrawText(const QRect& rect, const QString& text);
    QSize GetTextExtent(const QString& text) const;
    // tmHeight of the selected font: ascent plus descent.
    int TextHeight() const;

    // Draws the lines collected so far; needed before another context draws on the same painter.
    void FlushLines();

private:
    void DrawTextAt(const QPointF& baselineOrigin, const QString& text, const QRect* clip);
    // Horizontal and vertical width-1 lines on a finer image, on the device pixels of their logical
    // pixels; false, with nothing drawn, for other pens, ratios or lines.
    bool FineLines(const QPolygon& points);
    // The device pixels under logical rectangles, in color with the painter's composition mode.
    void FillDeviceRects(const std::vector<QRect>& logical, const QColor& color);

    QPainter& m_painter;
    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
    QColor m_textColor = Qt::black;
    bool m_bOpaqueBackground = true;
    QPoint m_position;
    // LineTo calls that continue each other are collected and drawn as one polyline: the same
    // pixels, and the raster engine joins them far faster than single segments.
    QPolygon m_pendingLine;
};

namespace gdi {

// Solid pen: width 1 is cosmetic (one device pixel on any device, last pixel of a line left out);
// wider pens have round ends and joins, as geometric pens of the platform had.
QPen SolidPen(int width, const QColor& color);
// Width-1 dashed pen with the platform's 18-on, 6-off dash.
QPen DashPen(const QColor& color);
// Face "宋体" of `tenths` tenths of a point, converted at 96 dpi whatever the target device.
QFont PointFont(int tenths);
// The font a fresh context starts with (the system font of the operators' Chinese Windows).
QFont DefaultFont();
// Registers the CJK substitutes of "宋体" once per process.
void RegisterFontSubstitutes();
// Device pixels per pixel of the drawing when painter draws untransformed onto an image of a
// pixel ratio above 1; 1 for every other painter (printers, plain images, transformed drawing).
qreal PixelRatio(const QPainter& painter);

inline constexpr const char16_t* kFaceSongTi = u"宋体";

}  // namespace gdi
