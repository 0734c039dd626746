#pragma once

#include "analysis/BandLayout.h"
#include "data/FileSlot.h"

#include <QString>

#include <vector>

class GdiContext;

// The parts of a waveform page that printing draws itself around the band of the graph view: the
// page title, the depth axis along the bottom of the curve area and the places of the stored
// markers. Page coordinates are device units of the printer, W x V.
namespace waveform {

// Curve area of a waveform page: (W/20, V/10, W - W/20, V - V/4).
PanelRect CurveArea(int pageWidth, int pageHeight);
// G of the printed band: the whole curve area holds one band of 3G.
int PrintedUnitHeight(const PanelRect& area);

// The title centred in the band titleLeft .. titleLeft + titleWidth, its bottom 10 units above
// the curve area, in a 20-point font; a title wider than the band starts left of it.
void DrawPageTitle(GdiContext& dc, const QString& title, int titleWidth, int titleLeft, int pageHeight);

// Depth labels and ticks along the bottom edge of the area, with the context's font and pen.
void DrawPageDepthAxis(GdiContext& dc, const CFileData& data, const PanelRect& area);

// A stored marker as it goes onto the page.
struct PrintedMarker {
    int kind = 0;
    int x = 0;
    QString label;
};
// The stored markers of slot placed on the depth axis of area: only a complete marker table
// (11 entries) counts, and depths of 0 or below are empty slots.
std::vector<PrintedMarker> StoredMarkers(const FileSlot& slot, const PanelRect& area);

}  // namespace waveform
