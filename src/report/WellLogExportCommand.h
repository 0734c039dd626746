#pragma once

#include "analysis/WellLogExport.h"

#include <QString>

#include <optional>

class Prompts;

// "导出LAS文件…" and "导出CSV文件…": the output name is asked for with the file's folder and name
// proposed under the format's extension, the file on display is exported with the smoothing on
// display, and the outcome is told with the program's messages.

// The name proposed for the export of filePath: its ".cdd" (in any case) replaced by the format's
// extension, or the extension added.
QString ProposedLogPath(const QString& filePath, WellLogFormat format);

// The whole command. Returns the outcome whose message was shown, or std::nullopt when the
// operator cancelled the file dialog.
std::optional<WellLogExportResult> RunWellLogExport(const QString& filePath, int smoothWindow, WellLogFormat format,
                                                    Prompts& prompts);
