#include "view/GraphPaint.h"

#include "analysis/BandCurves.h"
#include "analysis/BandScale.h"
#include "analysis/Scales.h"
#include "view/GdiContext.h"

#include <QPainter>

#include <utility>
#include <vector>

namespace graph {

namespace {

QColor Rgb(unsigned rgb)
{
    return QColor::fromRgb(QRgb(rgb));
}

QString ComponentTitle(int component)
{
    switch (component) {
    case kComponentX: return QStringLiteral("水平分量X(nT)");
    case kComponentY: return QStringLiteral("水平分量Y(nT)");
    default: return QStringLiteral("垂直分量(nT)");
    }
}

const QString kGradientTitle = QStringLiteral("梯度(nT/m)");

QRect ToQRect(const PanelRect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

void DrawPolyline(GdiContext& dc, const std::vector<CurvePoint>& points)
{
    if (points.size() < 2)
        return;
    QPolygon polygon(static_cast<qsizetype>(points.size()));
    QPoint* out = polygon.data();
    for (const CurvePoint& p : points)
        *out++ = QPoint(p.x, p.y);
    dc.Polyline(std::move(polygon));
}

void DrawLine(GdiContext& dc, int x1, int y1, int x2, int y2)
{
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
}

QString LabelText(int64_t value)
{
    return QString::number(static_cast<qlonglong>(value));
}

// The curve routine with the band's scale, which the band routine has already worked out.
void DrawCurvesScaled(QPainter& painter, const CFileData& data, const BandScale& scale, int clientWidth, int slot,
                      int component)
{
    const int W = clientWidth;
    GdiContext dc(painter);
    dc.SelectPen(gdi::SolidPen(kCurvePenWidth, Rgb(kValueCurveRgb)));
    DrawPolyline(dc, ValueCurvePoints(data, component, slot, scale));
    dc.SelectPen(gdi::SolidPen(kCurvePenWidth, Rgb(kGradientCurveRgb)));
    DrawPolyline(dc, GradientCurvePoints(data, component, slot, scale));

    // All gradients 0 or a step of 0 leave the panel without a scale: no zero line to place.
    if (!scale.GradientValid())
        return;
    const int y0 = scale.ZeroY();
    if (slot == 1 || slot == 2) {
        dc.SelectFont(dc.CurrentFont());
        dc.TextOut(10, y0 - dc.TextHeight() - 3, QStringLiteral("0"));
    }
    dc.SelectPen(gdi::DashPen(Rgb(kGridRgb)));
    DrawLine(dc, 10, y0, W - 10, y0);
}

}  // namespace

void DrawBand(QPainter& painter, const CFileData& data, QSize client, int unitHeight, int slot, int component)
{
    const int W = client.width();
    const int H = client.height();
    const int G = unitHeight;
    const int T = BandTop(slot, G);
    const BandRects rects = BandRectsFor(slot, W, H, G);
    const BandScale scale = BandScale::ForScreen(data, component, W, T, G);

    GdiContext dc(painter);
    dc.DrawText(ToQRect(rects.componentTitle), ComponentTitle(component));
    dc.DrawText(ToQRect(rects.gradientTitle), kGradientTitle);

    dc.SelectPen(gdi::DashPen(Rgb(kGridRgb)));
    const int tmHeight = dc.TextHeight();
    for (int i = 1; i <= 4; ++i) {
        const int y = GridLineY(T, G, i);
        DrawLine(dc, 10, y, W - 10, y);
        // Equal values give the panel no scale and so nothing to label.
        if ((i == 1 || i == 4) && scale.ValueValid()) {
            const ValueRange& range = scale.Values();
            dc.TextOut(10, y - tmHeight - 3, LabelText(ValueLabel(range.top, range.bottom, i, slot)));
        }
        const int x = GridLineX(W, i);
        DrawLine(dc, x, T, x, T + 2 * G);
        DrawLine(dc, x, T + 2 * G + 5, x, T + 3 * G + 5);
    }

    dc.SelectPen(gdi::SolidPen(1, Qt::black));
    dc.SelectHollowBrush();
    dc.Rectangle(rects.valueFrame.left, rects.valueFrame.top, rects.valueFrame.right, rects.valueFrame.bottom);

    DrawCurvesScaled(painter, data, scale, W, slot, component);

    const PanelRect& g = rects.gradientFrame;
    dc.MoveTo(g.left, g.top);
    dc.LineTo(g.right, g.top);
    dc.LineTo(g.right, g.bottom);
    dc.LineTo(g.left, g.bottom);
    dc.LineTo(g.left, g.top);
}

void DrawCurves(QPainter& painter, const CFileData& data, QSize client, int unitHeight, int slot, int component)
{
    const int W = client.width();
    const int T = BandTop(slot, unitHeight);
    DrawCurvesScaled(painter, data, BandScale::ForScreen(data, component, W, T, unitHeight), W, slot, component);
}

void DrawDepthAxis(GdiContext& dc, const CFileData& data, QSize client)
{
    const int W = client.width();
    const int H = client.height();
    const DepthAxisRange axis = DepthAxisOf(data);
    const float a0 = axis.a0;
    const float a1 = axis.a1;
    const int labelTop = H - kDepthAxisLabelRise;
    for (int i = 0; i <= 5; ++i)
        dc.TextOut(DepthAxisLabelX(W, i), labelTop,
                   QString::asprintf("%.2f", static_cast<double>(DepthAxisLabelValue(a0, a1, i))));
    for (int i = 1; i <= 4; ++i) {
        const int x = GridLineX(W, i);
        DrawLine(dc, x, labelTop, x, labelTop - kDepthAxisMajorTick);
    }
    for (int j = 0; j < kDepthAxisMinorTicks; ++j) {
        const int x = DepthAxisMinorTickX(W, j);
        DrawLine(dc, x, labelTop, x, labelTop - kDepthAxisMinorTick);
    }
    dc.FlushLines();
}

void DrawPrintedBand(QPainter& painter, const PanelRect& area, const FileSlot& slot, int unitHeight)
{
    const CFileData& data = slot.primary;
    const int L = area.left;
    const int T = area.top;
    const int R = area.right;
    const int B = area.bottom;
    const int G = unitHeight;
    // The curve rectangle of the page is the plot area itself.
    const int Lp = L;
    const int Rp = R;
    const int Tp = T;
    const BandScale scale = BandScale::ForPage(data, kComponentZ, Lp, Rp, Tp, G);
    const int titleX = R - (R - L) / 10;

    GdiContext dc(painter, GdiContext::Start::Inherit);
    dc.SetTextColor(Qt::black);
    dc.DrawText(QRect(QPoint(titleX, T + 10), QPoint(R - 1, B - 1)), QStringLiteral("垂直分量(nT)"));

    dc.SelectPen(gdi::DashPen(Rgb(kGridRgb)));
    for (int i = 1; i <= 4; ++i) {
        const int y = T + i * (2 * G / 5);
        DrawLine(dc, Lp, y, R, y);
        if ((i == 1 || i == 4) && scale.ValueValid()) {
            const ValueRange& range = scale.Values();
            // Slot 1 rules: the printed labels are cut to whole hundreds.
            dc.TextOut(Lp, y, LabelText(ValueLabel(range.top, range.bottom, i, 1)));
        }
        const int x = Lp + i * ((R - L) / 5);
        DrawLine(dc, x, T, x, T + 2 * G);
        DrawLine(dc, x, T + 2 * G + 5, x, T + 3 * G + 5);
    }

    dc.SelectPen(gdi::SolidPen(1, Qt::black));
    dc.SelectHollowBrush();
    dc.Rectangle(Lp, T, R, T + 2 * G);
    dc.MoveTo(Lp, T + 2 * G + 5);
    dc.LineTo(R - 3, T + 2 * G + 5);
    dc.LineTo(R - 3, T + 3 * G + 5);
    dc.LineTo(Lp, T + 3 * G + 5);
    dc.LineTo(Lp, T + 2 * G + 5);

    dc.DrawText(QRect(QPoint(titleX, T + 2 * G + 15), QPoint(R - 1, B - 1)), kGradientTitle);

    dc.SelectPen(gdi::SolidPen(kPrintedCurvePenWidth, Qt::black));
    DrawPolyline(dc, ValueCurvePoints(data, kComponentZ, 1, scale));
    DrawPolyline(dc, GradientCurvePoints(data, kComponentZ, 1, scale));

    if (!scale.GradientValid())
        return;
    const int y0 = scale.ZeroY();
    dc.TextOut(Lp, y0 - dc.TextHeight() - 3, QStringLiteral("0"));
    dc.SelectPen(gdi::DashPen(Rgb(kGridRgb)));
    DrawLine(dc, Lp, y0, Rp, y0);
}

}  // namespace graph
