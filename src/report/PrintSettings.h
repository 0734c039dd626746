#pragma once

#include <QString>

#include <array>

// What the print settings dialog hands to the print selection when it is confirmed. Printing
// reads the three flags; the texts are kept as they were typed.
struct PrintSettings {
    int printTitle = 1;
    int printWave = 0;
    int printTable = 0;
    std::array<QString, 8> texts;
};
