#pragma once

#include "data/FileSlot.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One depth step of an exported log: the field values in nT as the program shows them, and their
// gradients in nT/m as they are (difference x 100 / step), not the whole numbers the screen shows.
struct WellLogRow {
    float depth = 0.0f;
    int32_t x = 0, y = 0, z = 0;
    double gx = 0.0, gy = 0.0, gz = 0.0;
};

// What the LAS and CSV exports write: the rows shallowest first, and the header values as texts
// already decoded for display (UTF-8).
struct WellLog {
    std::string pileNo;
    std::string site;
    std::string project;
    std::string testDate;  // "%Y-%m-%d"
    int32_t stepCm = 0;
    int32_t smoothWindow = 1;
    // The stored marker depths (slots 0..9 joint levels 1..10, slot 10 the bottom); a slot that is
    // not a positive number holds no marker.
    std::array<float, kMarkerSlots> markerDepth{};
    std::vector<WellLogRow> rows;
};
