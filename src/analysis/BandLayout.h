#pragma once

#include <cstdint>

// Layout numbers of the graph: one band per shown component, stacked from the top, and the depth
// axis below them. G may come out zero or negative in a tiny client area; every function here
// still returns plain numbers and the caller decides what still fits.

// Rectangle in device pixels (right and bottom as given to a Rectangle-style call).
struct PanelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PanelRect&) const = default;
};

// Unit height G for n shown components (1..3) in a client of height H; 0 for any other n.
int UnitHeight(int shownComponents, int clientHeight);
// Bottom of the lowest band for n shown components: 3G + 10, 6G + 20, 9G + 30; 0 otherwise.
int LowestBandBottom(int shownComponents, int unitHeight);
// Top T(s) of band slot s (1..3).
int BandTop(int slot, int unitHeight);

// Frames and title rectangles of one band.
struct BandRects {
    PanelRect valueFrame;      // (10, T, W - 10, T + 2G)
    PanelRect gradientFrame;   // (10, T + 2G + 5, W - 10, T + 3G + 5)
    PanelRect componentTitle;  // (W - 200, T, W, H)
    PanelRect gradientTitle;   // (W - 200, T + 2G + 10, W, H)
};
BandRects BandRectsFor(int slot, int clientWidth, int clientHeight, int unitHeight);

// Band slot of component c (1 = X, 2 = Y, 3 = Z) under the given switches; 0 when c is not shown.
int BandSlotOf(int c, bool showX, bool showY, bool showZ);

// y of horizontal grid line i (1..4) of a value panel with top T.
int GridLineY(int bandTop, int unitHeight, int i);
// x of vertical grid line i (1..4); also the x of major depth tick i.
int GridLineX(int clientWidth, int i);

// Label value of horizontal grid line i (1..4) in band slot s: odd values go up by one, and
// slots 1 and 3 cut them to whole hundreds. Only lines 1 and 4 are labelled.
int64_t ValueLabel(int64_t top, int64_t bottom, int line, int slot);

// Depth axis below the bands.
inline constexpr int kDepthAxisLabelRise = 30;  // labels have their top at H - 30, ticks start there
inline constexpr int kDepthAxisMajorTick = 14;  // major ticks rise to H - 44
inline constexpr int kDepthAxisMinorTick = 6;   // minor ticks rise to H - 36
inline constexpr int kDepthAxisMinorTicks = 50;
// x of depth label i (0 = A0 at 10, 5 = A1 at W - 40, 1..4 between).
int DepthAxisLabelX(int clientWidth, int i);
// Depth written at label i (0..5): A0 + i (A1 - A0) / 5.
float DepthAxisLabelValue(float a0, float a1, int i);
// x of minor tick j (0..49).
int DepthAxisMinorTickX(int clientWidth, int j);
