#pragma once

#include "report/ExcelExport.h"

#include <optional>

class CExportList;
class Prompts;

// "导出数据" (32816): the rows go through the view's export list, whose column titles name the
// worksheet's columns; the file name is asked for and the outcome told through Prompts.

// Empties list and fills it with one row per sample of data, the shallowest first.
void FillExportList(CExportList& list, const CFileData& data);

// The worksheet as list holds it: the column titles, then its rows. std::nullopt when a column
// has no title to name it by.
std::optional<std::vector<XlsRow>> ExportListSheet(const CExportList& list);

// The whole command on the data set on display. Returns the outcome whose message was shown, or
// std::nullopt when nothing was said: the operator cancelled the file dialog, or a column had no
// title.
std::optional<ExcelExportResult> RunExcelExport(CExportList& list, const CFileData& data, Prompts& prompts);
