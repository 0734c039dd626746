#pragma once

#include "report/ExcelExport.h"

#include <optional>

class Prompts;

// "导出数据" (32816): the rows of the data set are built, kept in rows (the view's export list),
// and written under the fixed column titles; the file name is asked for and the outcome told
// through Prompts.

// The whole command on the data set on display. Returns the outcome whose message was shown, or
// std::nullopt when the operator cancelled the file dialog and nothing was said.
std::optional<ExcelExportResult> RunExcelExport(std::vector<XlsRow>& rows, const CFileData& data, Prompts& prompts);
