#pragma once

#include "data/FileSlot.h"
#include "data/MeasurementFile.h"

#include <string>

// Full load of path into slot (no configuration file involved); throws CliFailure with the
// program's message when the file cannot be loaded.
void LoadOrFail(FileSlot& slot, const std::string& path);

// Header load, as the print settings dialog reads a selected file.
void HeaderLoadOrFail(FileSlot& slot, const std::string& path);

// Throws CliFailure with the program's message when the write failed.
void CheckWrite(WriteResult result);

// Shortest text that reads back as exactly the same float ("null" for NaN and infinities).
std::string FloatText(float value);

// A JSON string literal of a UTF-8 text, or of a text held in memory.
std::string JsonString(const std::string& utf8);
std::string JsonString(const std::u16string& text);
