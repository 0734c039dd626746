#pragma once

#include "data/WellLog.h"

#include <string>

// The LAS and CSV exports of a measurement file: what the desktop command and orvek-cli share once
// they know the file, the output and the smoothing window.

enum class WellLogFormat { Las, Csv };

// The log of slot's primary data set: its smoothed table is rebuilt from the raw samples with
// window (1 keeps the raw values), the gradients are the graph's differences x 100 / step without
// the graph's truncation to whole numbers, and the markers are the stored ones (none unless the
// file's marker table was stamped).
WellLog MakeWellLog(FileSlot& slot, int window);

struct WellLogExportResult {
    bool ok = false;
    std::string message;  // the operator's message, UTF-8: "已保存！" or what went wrong
};

// Full load of input (no configuration file), its log with window, written to output through the
// safe replacement. Nothing is written when the input cannot be loaded, holds no sample, or is
// the output itself; an old output is replaced only by a complete new one.
WellLogExportResult ExportWellLog(const std::string& input, const std::string& output, int window,
                                  WellLogFormat format);
