#include "report/SummaryWorkbooks.h"

#include "data/SafeFile.h"
#include "data/TextCodec.h"
#include "report/XlsWriter.h"

#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

// libxlsxwriter writes only to a named file: the workbook is built in a private temporary file and
// its bytes then replace the target like any other output.
std::optional<std::vector<unsigned char>> BuildXlsx(const std::vector<SummaryRow>& rows)
{
    std::error_code ec;
    std::string scratch = (std::filesystem::temp_directory_path(ec) / "orvek-summary-XXXXXX").string();
    const int fd = mkstemp(scratch.data());
    if (fd < 0)
        return std::nullopt;
    close(fd);

    lxw_workbook* book = workbook_new(scratch.c_str());
    lxw_worksheet* sheet = book ? workbook_add_worksheet(book, kSummarySheetName) : nullptr;
    std::optional<std::vector<unsigned char>> bytes;
    if (sheet) {
        lxw_format* heading = workbook_add_format(book);
        format_set_bold(heading);
        lxw_format* twoDecimals = workbook_add_format(book);
        format_set_num_format(twoDecimals, "0.00");
        for (std::size_t c = 0; c < kSummaryColumns; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), kSummaryHeadings[c], heading);
        lxw_row_t r = 1;
        for (const SummaryRow& row : rows) {
            const auto cells = SummaryCells(row);
            for (std::size_t c = 0; c < kSummaryColumns; ++c) {
                const std::string& text = cells[c];
                if (text.empty())
                    continue;
                const auto column = SummaryColumn(c);
                if (IsNumberColumn(column)) {
                    const bool whole = column == SummaryColumn::StepCm || column == SummaryColumn::Count;
                    worksheet_write_number(sheet, r, lxw_col_t(c), std::strtod(text.c_str(), nullptr),
                                           whole ? nullptr : twoDecimals);
                } else {
                    worksheet_write_string(sheet, r, lxw_col_t(c), text.c_str(), nullptr);
                }
            }
            ++r;
        }
        worksheet_set_column(sheet, 0, 0, 18, nullptr);
        worksheet_set_column(sheet, lxw_col_t(kSummaryColumns - 1), lxw_col_t(kSummaryColumns - 1), 24, nullptr);
    }
    if (book && workbook_close(book) == LXW_NO_ERROR && sheet) {
        const FileBytes read = ReadWholeFile(scratch);
        if (read.status == ReadStatus::Ok)
            bytes = read.bytes;
    }
    std::filesystem::remove(scratch, ec);
    return bytes;
}

}  // namespace

bool WriteSummaryXlsx(const std::string& path, const std::vector<SummaryRow>& rows)
{
    const auto bytes = BuildXlsx(rows);
    return bytes && ReplaceFileContents(path, *bytes);
}

bool WriteSummaryXls(const std::string& path, const std::vector<SummaryRow>& rows)
{
    std::vector<XlsRow> sheet;
    sheet.reserve(rows.size() + 1);
    XlsRow& headings = sheet.emplace_back();
    for (const char* heading : kSummaryHeadings)
        headings.push_back(Utf8ToUtf16(heading));
    for (const SummaryRow& row : rows) {
        XlsRow& cells = sheet.emplace_back();
        for (const std::string& text : SummaryCells(row))
            cells.push_back(Utf8ToUtf16(text));
    }
    return WriteXlsWorkbook(path, Utf8ToUtf16(kSummarySheetName), sheet) == XlsWriteResult::Ok;
}

bool WriteSummaryCsv(const std::string& path, const std::vector<SummaryRow>& rows)
{
    return ReplaceFileContents(path, SummaryCsvText(rows));
}
