#pragma once

#include <QPoint>
#include <QString>

#include <array>

// One marker slot of the graph view, indexed by marker kind (0..9 joint levels 1..10,
// 10 cage bottom). The line end points are kept so an inverted line can be erased by drawing it
// again.
struct MarkerRecord {
    QString label;
    int x = 0;
    float depth = 0.0f;
    int placed = 0;
    // Client width at which x was worked out; at any other width x is worked out again from depth.
    int width = 0;
    std::array<QPoint, 3> lineStart{};
    std::array<QPoint, 3> lineEnd{};
};
