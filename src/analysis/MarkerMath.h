#pragma once

#include "analysis/CursorMath.h"
#include "data/FileSlot.h"

#include <string>

// Marker kinds, their colours, and where a marker lands. Kinds 0..9 are the joint
// levels 1..10, kind 10 (kBottomMarker) is the cage bottom; the kind is also the marker's slot in
// the file's marker table.

// Line colour as 0xRRGGBB: blue (0, 0, 255) for the bottom, olive (128, 128, 0) for the joints.
unsigned MarkerColorRgb(int kind);
inline constexpr int kMarkerPenWidth = 2;

// Depth text of a marker: "%.02f".
std::string MarkerLabel(float depth);

// Screen geometry of a marker at client x: the upward label starts at (x + 3, 500); removing the
// marker repaints the label's rectangle (x + 3, 360) .. (x + 23, 500).
inline constexpr int kMarkerLineTop = 5;
inline constexpr int kMarkerLabelOffset = 3;
inline constexpr int kMarkerLabelBase = 500;
inline constexpr int kMarkerLabelTop = 360;
inline constexpr int kMarkerLabelWidth = 20;
inline constexpr int kMarkerLabelPoints = 150;  // tenths of a point

// Where a marker put at client x lands.
struct MarkerSpot {
    bool drawn = false;  // false: the marker counts as placed but nothing is drawn
    int entry = -1;      // depth-to-pixel table entry
    float depth = 0.0f;  // depth of that entry's sample
};
// The entry under x must be one of the samples, and its depth must not lie above the shallowest
// sample (only possible with damaged depths).
MarkerSpot LocateMarker(const CursorScale& scale, const CFileData& data, int x);

// Whether a depth read from the file's marker table stands for a marker.
inline bool IsStoredMarker(float depth) { return depth > 0.0f; }

// Cursor x at which a stored depth is placed again when a file is shown:
// trunc((d - dminInt) / ((dmax - dminInt) / (W - 20)) + 10) + 1. The marker then snaps to the sample
// that IndexFromPixel finds there. 0 without a valid scale.
int RestoredMarkerX(const CursorScale& scale, float depth);

// Printed pages: the label font is MulDiv(14, vertical dpi, 96) pixels high and the label stands
// at (x + 3, 3 x top).
int PrintedLabelFontHeight(int dpiY);
int PrintedLabelY(int top);
