#pragma once

#include <QString>

#include <functional>

class QPainter;

// Draws one stored marker on a printed waveform page: kind (0..9 joint levels, 10 cage bottom),
// the top and bottom of the curve area, the depth label, the page's painter and the marker's x.
// The marker drawing itself belongs to the cursor and marker handling of the graph view; the
// print job only works out which markers to draw and where.
using PrintedMarkerPainter =
    std::function<void(int kind, int top, int bottom, const QString& label, QPainter& painter, int x)>;

// The painter every print job starts with: the graph view's marker drawing for printed pages.
PrintedMarkerPainter DefaultPrintedMarkerPainter();
