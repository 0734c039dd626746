#pragma once

#include <QString>

// Display modes of the graph view; the main frame holds the command id of the active one.
inline constexpr int kViewModeTable = 32794;
inline constexpr int kViewModeGraph = 32795;

// What the graph view reads of the main frame at every paint: the display mode and the direction
// switches with their count. The main frame implements it; FrameState serves orvek-cli and tests.
class IFrameState {
public:
    virtual ~IFrameState() = default;
    virtual int ViewMode() const = 0;
    virtual bool ShowX() const = 0;
    virtual bool ShowY() const = 0;
    virtual bool ShowZ() const = 0;
    virtual int ShownComponents() const = 0;
};
