#pragma once

#include "analysis/SiteSummary.h"

#include <string>
#include <vector>

// The summary of results as spreadsheets: the first row holds the column headings, then one row
// per file with the cells the table shows. Every writer goes through the safe replacement and
// returns false when the file could not be written (it is then as it was).

inline constexpr const char* kSummarySheetName = "检测结果汇总";

// Excel 2007 and later (.xlsx), numbers as numbers with two decimals where the table shows two.
bool WriteSummaryXlsx(const std::string& path, const std::vector<SummaryRow>& rows);
// Excel 97-2003 (.xls) through the program's BIFF8 writer, whose cells are texts.
bool WriteSummaryXls(const std::string& path, const std::vector<SummaryRow>& rows);
// The CSV table (UTF-8 with a byte-order mark).
bool WriteSummaryCsv(const std::string& path, const std::vector<SummaryRow>& rows);
