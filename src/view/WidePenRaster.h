#pragma once

#include <QPainter>
#include <QPen>
#include <QPolygon>

// Draws the polyline with a wide solid pen (2 to 16 pixels, opaque) by stamping the pen's disk
// along the segments, when painter paints a plain 32-bit image without clipping, transform,
// composition or antialiasing. False, with nothing drawn, for every other pen or device: the
// caller then strokes the polyline with QPainter.
bool RasterWidePolyline(QPainter& painter, const QPen& pen, const QPolygon& points);
