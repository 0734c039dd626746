#include "report/ExcelExport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

std::u16string Ascii(const char* text)
{
    std::u16string out;
    for (; *text != '\0'; ++text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text)));
    return out;
}

std::u16string DepthText(float depth)
{
    // Wide enough for the largest float in "%0.2f" (39 digits and the decimals).
    char buf[64];
    std::snprintf(buf, sizeof buf, "%0.2f", static_cast<double>(depth));
    return Ascii(buf);
}

std::u16string IntText(int64_t value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
    return Ascii(buf);
}

int32_t GradientOf(int32_t dz, int32_t step)
{
    // A corrupt file can hold a step of 0; its gradient is shown as 0, as the graph draws it.
    if (step == 0) return 0;
    // In 64 bits: a difference of a few million nT times 100 would overflow 32.
    const int64_t g = static_cast<int64_t>(dz) * 100 / step;
    return static_cast<int32_t>(std::clamp<int64_t>(g, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

const std::vector<std::u16string>& ExcelColumnTitles()
{
    static const std::vector<std::u16string> titles = {u"深度", u"垂直分量", u"垂直梯度"};
    return titles;
}

std::vector<XlsRow> BuildExportRows(const CFileData& data)
{
    const std::size_t n = std::min<std::size_t>(data.m_nCount, data.m_raw.size());
    std::vector<XlsRow> rows;
    rows.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const SampleRecord& s = data.m_raw[n - 1 - i];
        rows.push_back({DepthText(s.depth), IntText(s.z), IntText(GradientOf(s.dz, data.m_nStep))});
    }
    return rows;
}

std::u16string BuildCreateTableSql(const std::vector<std::u16string>& titles)
{
    std::u16string sql = u" CREATE TABLE DSO_DX ( ";
    for (std::size_t j = 0; j < titles.size(); ++j) {
        sql += titles[j];
        sql += j + 1 < titles.size() ? u" TEXT , " : u" TEXT ) ";
    }
    return sql;
}

std::u16string BuildInsertSql(const std::vector<std::u16string>& titles, const XlsRow& row)
{
    std::u16string sql = u" INSERT INTO DSO_DX ( ";
    for (std::size_t j = 0; j < titles.size(); ++j) {
        sql += titles[j];
        sql += j + 1 < titles.size() ? u" , " : u" )  VALUES ( ";
    }
    for (std::size_t j = 0; j < titles.size(); ++j) {
        sql += u"'";
        if (j < row.size()) sql += row[j];
        sql += j + 1 < titles.size() ? u"' , " : u"' ) ";
    }
    return sql;
}

const char* ExcelExportMessage(ExcelExportResult result)
{
    switch (result) {
    case ExcelExportResult::Ok: return msg::kExcelSaved;
    case ExcelExportResult::NoRecords: return msg::kNoRecordsToSave;
    case ExcelExportResult::SaveFailed: break;
    }
    return msg::kExcelSaveFailed;
}

ExcelExportResult WriteExportWorkbook(const std::string& path, const std::vector<XlsRow>& rows)
{
    if (rows.empty()) return ExcelExportResult::NoRecords;
    std::vector<XlsRow> sheet;
    sheet.reserve(rows.size() + 1);
    sheet.push_back(ExcelColumnTitles());
    sheet.insert(sheet.end(), rows.begin(), rows.end());
    return WriteXlsWorkbook(path, kExcelTableName, sheet) == XlsWriteResult::Ok ? ExcelExportResult::Ok
                                                                               : ExcelExportResult::SaveFailed;
}

ExcelExportResult ExportToExcel(const CFileData& data, const std::string& path)
{
    return WriteExportWorkbook(path, BuildExportRows(data));
}
