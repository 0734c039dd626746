#pragma once

#include "view/ViewCommands.h"

#include <QString>

// What the graph view reads of the main frame at every paint: the display mode (the command id of
// the active one, cmd::kGraphMode or cmd::kTableMode) and the direction switches with their count. The main frame
// implements it; FrameState serves orvek-cli and tests.
class IFrameState {
public:
    virtual ~IFrameState() = default;
    virtual int ViewMode() const = 0;
    virtual bool ShowX() const = 0;
    virtual bool ShowY() const = 0;
    virtual bool ShowZ() const = 0;
    virtual int ShownComponents() const = 0;
};
