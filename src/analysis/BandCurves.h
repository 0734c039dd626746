#pragma once

#include "analysis/BandScale.h"
#include "data/CFileData.h"

#include <vector>

// The points of the two curves of a band, ready to be joined with straight segments (the first
// point is the move-to). Band slot 1 (and the printed page) draws splines evaluated once per device
// column; slots 2 and 3 draw one point per sample. A curve that cannot be drawn (too few samples,
// no scale) comes back empty. Columns more than one plot width outside the plot are left out.

// Value curve of component c in band slot 1, 2 or 3 (smoothed values and depths).
std::vector<CurvePoint> ValueCurvePoints(const CFileData& data, int c, int slot, const BandScale& scale);
// Gradient curve of component c in band slot 1, 2 or 3 (raw depths, smoothed differences).
std::vector<CurvePoint> GradientCurvePoints(const CFileData& data, int c, int slot, const BandScale& scale);
