#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An Excel 97-2003 workbook (BIFF8 records in an OLE2 compound file) with one worksheet whose
// cells are all texts. Texts are stored as UTF-16 in the shared string table, so Chinese column
// names and any other text survive in every spreadsheet program that reads ".xls".

using XlsRow = std::vector<std::u16string>;

// Limits of the format: rows and columns of a BIFF8 sheet, characters of one cell and of a sheet
// name. Content beyond them is refused, never cut.
inline constexpr std::size_t kXlsMaxRows = 65536;
inline constexpr std::size_t kXlsMaxColumns = 256;
inline constexpr std::size_t kXlsMaxTextLength = 32767;
inline constexpr std::size_t kXlsMaxSheetName = 31;

// The Workbook stream: workbook globals (fonts, the built-in formats, the sheet entry, the shared
// strings) followed by the sheet with one text cell per non-empty text of rows, row r and column c
// of the sheet taken from rows[r][c]. std::nullopt when the content does not fit the format or the
// sheet name is not one Excel accepts.
std::optional<std::vector<unsigned char>> BuildXlsWorkbookStream(std::u16string_view sheetName,
                                                                 const std::vector<XlsRow>& rows);

// The compound file holding workbookStream as its "Workbook" stream; std::nullopt when the
// container could not be built.
std::optional<std::vector<unsigned char>> PackXlsCompoundFile(const std::vector<unsigned char>& workbookStream);

enum class XlsWriteResult {
    Ok,
    InvalidContent,  // the rows or the sheet name do not fit the format; nothing was written
    CannotCreate     // the file could not be written; an existing file at path is unchanged
};

// Writes the workbook to path through a temporary file in the same folder, renamed over the old
// file only once the new one is complete.
XlsWriteResult WriteXlsWorkbook(const std::string& path, std::u16string_view sheetName,
                                const std::vector<XlsRow>& rows);
