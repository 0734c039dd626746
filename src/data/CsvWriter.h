#pragma once

#include "data/WellLog.h"

#include <string>
#include <string_view>

// The columns of the LAS export as comma-separated values for spreadsheets: a header line, then
// one line per sample, shallowest first, lines ended by CR LF. Numbers only, so the text is plain
// ASCII (and therefore UTF-8); a depth that is not a number is left empty.
inline constexpr const char* kCsvHeader = "DEPT (m),X (nT),Y (nT),Z (nT),GX (nT/m),GY (nT/m),GZ (nT/m)";

std::string CsvText(const WellLog& log);

// Writes CsvText(log) to path through the safe replacement. False when it could not be written.
bool WriteCsvFile(const std::string& path, const WellLog& log);

// A field of a CSV line: quoted (with doubled quotes) when it holds a comma, a quote or a line end.
std::string CsvField(std::string_view text);
