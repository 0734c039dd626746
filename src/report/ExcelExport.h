#pragma once

#include "data/CFileData.h"
#include "data/Messages.h"
#include "report/XlsWriter.h"

#include <string>
#include <vector>

// The export of the displayed file's vertical component (depth, Z, Z gradient) to an Excel
// workbook. The rows are built apart from the writing so that the view can fill its export list
// with them, and the SQL statements are built apart from both: they are what an ODBC route would
// execute and document exactly what the workbook holds.

namespace msg {
inline constexpr const char* kExcelSaved = "保存查询结果为Excel文件成功！";
inline constexpr const char* kExcelSaveFailed = "Excel文件保存失败。";
}  // namespace msg

// The save dialog of the export (for Prompts::FileRequest).
inline constexpr const char* kExcelSaveTitle = "文件列表另存为";
inline constexpr const char* kExcelSaveFilter = "Excel 文件(*.xls)|*.xls||";
inline constexpr const char* kExcelInitialName = "FileList";
inline constexpr const char* kExcelDefaultSuffix = "xls";

// The worksheet and its column names.
inline constexpr const char16_t* kExcelTableName = u"DSO_DX";
const std::vector<std::u16string>& ExcelColumnTitles();  // "深度", "垂直分量", "垂直梯度"

// One row per sample, from the last stored sample (the shallowest) down to sample 0: depth
// "%0.2f", Z "%d" and the Z gradient dZ x 100 / step "%d" (truncated toward zero; 0 for a step of
// 0, saturated at the 32-bit range). The count is clamped to the sample table.
std::vector<XlsRow> BuildExportRows(const CFileData& data);

// " CREATE TABLE DSO_DX ( " then each title followed by " TEXT , " (the last by " TEXT ) ").
std::u16string BuildCreateTableSql(const std::vector<std::u16string>& titles);

// " INSERT INTO DSO_DX ( " then the titles joined by " , ", " )  VALUES ( " (two blanks), each text
// between apostrophes joined by " , ", and " ) " at the end. Cells missing from row are written
// as empty texts.
std::u16string BuildInsertSql(const std::vector<std::u16string>& titles, const XlsRow& row);

enum class ExcelExportResult {
    Ok,         // "保存查询结果为Excel文件成功！"
    NoRecords,  // "列表中没有记录需要保存！": nothing written
    SaveFailed  // "Excel文件保存失败。": an existing workbook at the path is unchanged
};

// The operator's message for a result, UTF-8.
const char* ExcelExportMessage(ExcelExportResult result);

// Writes the title row and rows to path as the sheet DSO_DX. An existing workbook is replaced only
// once the new one has been written completely.
ExcelExportResult WriteExportWorkbook(const std::string& path, const std::vector<XlsRow>& rows);

// BuildExportRows and WriteExportWorkbook in one step.
ExcelExportResult ExportToExcel(const CFileData& data, const std::string& path);
