#pragma once

#include <string>

// Locale-independent number texts for the files the program writes (a desktop session may run
// under a locale whose decimal separator is a comma).

// The shortest text that reads back as exactly the same float; "nan", "inf" or "-inf" otherwise.
std::string ShortestText(float value);
// The same for a double.
std::string ShortestText(double value);
// Fixed notation with the given number of decimals, rounded to nearest.
std::string FixedText(double value, int decimals);
