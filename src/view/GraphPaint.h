#pragma once

#include "analysis/BandLayout.h"
#include "data/FileSlot.h"

#include <QSize>

class GdiContext;
class QPainter;

// The routines the graph paint is built from. Each draws from the data set it is given, so the
// same routines serve the screen, orvek-cli and the tests with a recording device.
namespace graph {

// Colours of the graph.
inline constexpr unsigned kValueCurveRgb = 0xFF0000;     // (255, 0, 0)
inline constexpr unsigned kGradientCurveRgb = 0x82C8FA;  // (130, 200, 250)
inline constexpr unsigned kGridRgb = 0xB9EDB9;           // (185, 237, 185)
inline constexpr int kCurvePenWidth = 3;
inline constexpr int kPrintedCurvePenWidth = 6;

// Band routine: titles, grid with value labels, frames and the curves of component c (1..3) in
// band slot s (1..3), in a client area of the given size with unit height G. Takes its own
// context on the painter.
void DrawBand(QPainter& painter, const CFileData& data, QSize client, int unitHeight, int slot, int component);

// Curve routine: value curve, gradient curve, the gradient "0" label (slots 1 and 2) and the zero
// line of one band. Takes its own context on the painter.
void DrawCurves(QPainter& painter, const CFileData& data, QSize client, int unitHeight, int slot, int component);

// Depth axis below the bands, drawn in the context of the paint (its font and default pen).
void DrawDepthAxis(GdiContext& dc, const CFileData& data, QSize client);

// The vertical-component band of a printed waveform page in the curve rectangle area, with
// unit height G, from the primary data set of slot. Draws with the painter's font and restores
// the painter's state afterwards.
void DrawPrintedBand(QPainter& painter, const PanelRect& area, const FileSlot& slot, int unitHeight);

}  // namespace graph
