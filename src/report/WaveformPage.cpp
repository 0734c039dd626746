#include "report/WaveformPage.h"

#include "analysis/DeviceMath.h"
#include "analysis/Scales.h"
#include "report/PageFonts.h"
#include "view/GdiContext.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace waveform {

namespace {

constexpr int kMajorTick = 24;
constexpr int kMinorTick = 16;
constexpr int kMinorTicks = 50;
constexpr int kCoordLimit = 1000000;

QString DepthText(double depth)
{
    return QString::asprintf("%.2f", depth);
}

void Line(GdiContext& dc, int x1, int y1, int x2, int y2)
{
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
}

}  // namespace

PanelRect CurveArea(int pageWidth, int pageHeight)
{
    return PanelRect{pageWidth / 20, pageHeight / 10, pageWidth - pageWidth / 20, pageHeight - pageHeight / 4};
}

int PrintedUnitHeight(const PanelRect& area)
{
    return (area.bottom - area.top) / 3;
}

void DrawPageTitle(GdiContext& dc, const QString& title, int titleWidth, int titleLeft, int pageHeight)
{
    const QPaintDevice* device = dc.Painter().device();
    const QFont previous = dc.SelectFont(pagefont::TitleFont(device ? device->logicalDpiY() : 96));
    const QSize extent = dc.GetTextExtent(title);
    dc.TextOut((titleWidth - extent.width()) / 2 + titleLeft, pageHeight / 10 - extent.height() - 10, title);
    dc.SelectFont(previous);
}

void DrawPageDepthAxis(GdiContext& dc, const CFileData& data, const PanelRect& area)
{
    const int L = area.left;
    const int R = area.right;
    const int B = area.bottom;
    const float a0 = DepthMin(data, true);
    const float a1 = DepthAxisEnd(data);

    dc.TextOut(L, B, DepthText(a0));
    const QString end = DepthText(a1);
    dc.TextOut(R - dc.GetTextExtent(end).width(), B, end);
    for (int k = 1; k <= 4; ++k) {
        const int x = L + k * ((R - L) / 5);
        dc.TextOut(x, B, DepthText(static_cast<double>(a0) + k * (static_cast<double>(a1) - a0) / 5.0));
        Line(dc, x, B, x, B - kMajorTick);
    }
    for (int k = 0; k < kMinorTicks; ++k) {
        const int x = L + (R - L) * k / kMinorTicks;
        Line(dc, x, B, x, B - kMinorTick);
    }
    dc.FlushLines();
}

std::vector<PrintedMarker> StoredMarkers(const FileSlot& slot, const PanelRect& area)
{
    std::vector<PrintedMarker> markers;
    if (slot.markerCount != kMarkerSlots || area.right <= area.left)
        return markers;
    const float a0 = DepthMin(slot.primary, true);
    const float a1 = DepthAxisEnd(slot.primary);
    // Metres per device unit, kept in single precision like the rest of the depth arithmetic.
    const float metresPerUnit = (a1 - a0) / static_cast<float>(area.right - area.left);
    if (!std::isfinite(metresPerUnit) || metresPerUnit <= 0.0f)
        return markers;
    for (int k = 0; k < kMarkerSlots; ++k) {
        const float d = slot.markerDepth[std::size_t(k)];
        if (!(d > 0.0f))
            continue;
        const float x = (d - a0) / metresPerUnit + static_cast<float>(area.left);
        markers.push_back({k, TruncClamped(x, kCoordLimit) + 1, QString::asprintf("%.02f", static_cast<double>(d))});
    }
    return markers;
}

}  // namespace waveform
