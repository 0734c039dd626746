#pragma once

#include "data/CFileData.h"

#include <array>
#include <cstdint>

inline constexpr int kMarkerSlots = 11;
inline constexpr int kBottomMarker = 10;  // slots 0..9 are joint levels 1..10

// What one load of a measurement file fills.
struct FileSlot {
    CFileData primary;
    CFileData secondary;
    float cfgValueA = 0.0f;
    int32_t cfgValueB = 0;
    std::array<float, kMarkerSlots> markerDepth{};
    int32_t markerCount = 0;
};
