#pragma once

#include "data/CFileData.h"

// Rebuilds the smoothed X, Y, Z of data from its raw samples with window w, and the differences
// between consecutive smoothed values. Depths of the smoothed table are left as the load set them.
void RebuildSmoothedTable(CFileData& data, int w);
