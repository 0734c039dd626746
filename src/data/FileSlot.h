#pragma once

#include "data/CFileData.h"

#include <array>
#include <cstdint>
#include <string>

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
    // The file the data was read from by the last successful load; empty when the slot holds no
    // file's data (never loaded, or the last load failed). Writers that write data of a slot refuse
    // any other file, so one file's samples can never land in another.
    std::string sourcePath;
};

// Drops the loaded data (both data sets and the marker table) but keeps the configuration values,
// which belong to the folder rather than to a file.
inline void ClearLoadedData(FileSlot& slot)
{
    slot.primary = CFileData{};
    slot.secondary = CFileData{};
    slot.markerDepth = {};
    slot.markerCount = 0;
    slot.sourcePath.clear();
}
