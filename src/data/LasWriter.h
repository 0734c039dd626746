#pragma once

#include "data/WellLog.h"

#include <string>

// The log as a LAS 2.0 file (CWLS log ASCII standard), unwrapped, UTF-8: ~Version, ~Well, ~Curve
// (DEPT X Y Z GX GY GZ), ~Parameter (sampling step, smoothing window, stored markers) and ~ASCII
// with one line per sample, shallowest first.
inline constexpr const char* kLasNullText = "-999.25";

std::string LasText(const WellLog& log);

// Writes LasText(log) to path through the safe replacement: an old file there is replaced only
// once the new one is complete. False when it could not be written.
bool WriteLasFile(const std::string& path, const WellLog& log);
