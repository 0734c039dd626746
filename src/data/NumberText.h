#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Locale-independent number texts for the files the program writes (a desktop session may run
// under a locale whose decimal separator is a comma), and the reading of typed numbers.

// The shortest text that reads back as exactly the same float; "nan", "inf" or "-inf" otherwise.
std::string ShortestText(float value);
// The same for a double.
std::string ShortestText(double value);
// Fixed notation with the given number of decimals, rounded to nearest.
std::string FixedText(double value, int decimals);

// Parses like the C library's atoi / atof: leading blanks, an optional sign, then as many digits as
// there are; no digits gives 0. Integers saturate at the int32 range.
int32_t ParseLeadingInt(std::u16string_view text);
double ParseLeadingDouble(std::u16string_view text);

// A whole number and nothing else: blanks, an optional sign, decimal digits, blanks, within the
// int32 range. std::nullopt for any other text (an empty one, "44 610", "1.5", "3e2", an overflow).
std::optional<int32_t> ParseWholeNumber(std::u16string_view text);
