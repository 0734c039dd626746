#pragma once

// The table child control of the graph view as the paint needs it: in table mode a pending
// refill request is handed to it. The table display implements it.
class ITableDisplay {
public:
    virtual ~ITableDisplay() = default;
    // Refills the table with the samples of the screen slot.
    virtual void Fill() = 0;
};
