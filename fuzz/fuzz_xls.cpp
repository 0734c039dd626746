// Rows of any shape and texts of any length and script through the .xls writer, read back with
// libfreexl, an independent reader: a workbook the format can hold is written and holds the same
// cells under the same sheet name; anything else is refused without creating a file.
#include "FuzzSupport.h"

#include "data/TextCodec.h"
#include "report/XlsWriter.h"

#include <freexl.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Texts are well-formed UTF-16, as everything the program exports is; the reader cannot hand out a
// lone surrogate. libfreexl 1.0.6 reads a shared string that spans more than two records short
// (and may read past its buffer doing so), so texts read back are kept to one record's worth of
// characters; longer ones, up to the format's limit, were checked with another reader by hand.
constexpr std::size_t kReadableBytes = 8000;

// A cell as the export fills them (a depth, a field value or gradient), or any text at all; now and
// then a long run of one character, or one just past the longest text a cell may hold.
std::u16string CellText(FuzzedDataProvider& fdp)
{
    char buf[64];
    switch (fdp.ConsumeIntegralInRange(0, 9)) {
    case 0:
        std::snprintf(buf, sizeof buf, "%.2f", fdp.ConsumeFloatingPointInRange(-10.0, 200.0));
        return fuzz::Widen(buf);
    case 1:
        return fuzz::Widen(std::to_string(fdp.ConsumeIntegral<int32_t>()));
    case 2: {
        const char16_t c = fdp.ConsumeIntegralInRange<char16_t>(1, 0xD7FF);
        const std::size_t readable = c < 0x100 ? kReadableBytes : kReadableBytes / 2;
        return std::u16string(fdp.ConsumeBool() ? kXlsMaxTextLength + fdp.ConsumeIntegralInRange(1, 2)
                                                : fdp.ConsumeIntegralInRange<std::size_t>(readable - 2, readable),
                              c);
    }
    default:
        return fuzz::AnyText(fdp, fdp.ConsumeBool() ? 12 : 600, false);
    }
}

// Rows in one of three shapes: a small table, a few wide rows, or many narrow ones (the last at the
// sheet's row limit now and then, which is slow to read back).
std::vector<XlsRow> AnyRows(FuzzedDataProvider& fdp)
{
    std::size_t rowCount = fdp.ConsumeIntegralInRange<std::size_t>(0, 40);
    std::size_t columns = 8;
    switch (fdp.ConsumeIntegralInRange(0, 7)) {
    case 0:
        rowCount = fdp.ConsumeIntegralInRange<std::size_t>(0, 4);
        columns = kXlsMaxColumns + 2;
        break;
    case 1:
        rowCount = fdp.ConsumeBool() ? fdp.ConsumeIntegralInRange<std::size_t>(0, 3000)
                                     : fdp.ConsumeIntegralInRange<std::size_t>(kXlsMaxRows - 1, kXlsMaxRows + 2);
        columns = 2;
        break;
    default:
        break;
    }
    std::vector<XlsRow> rows(rowCount);
    for (XlsRow& row : rows) {
        row.resize(fdp.ConsumeIntegralInRange<std::size_t>(0, columns));
        for (std::u16string& text : row) {
            if (fdp.remaining_bytes() == 0) {
                break;
            }
            text = CellText(fdp);
        }
    }
    return rows;
}

bool Storable(std::u16string_view name, const std::vector<XlsRow>& rows)
{
    if (name.empty() || name.size() > kXlsMaxSheetName || name.find_first_of(u"[]:*?/\\") != name.npos ||
        rows.size() > kXlsMaxRows) {
        return false;
    }
    for (const XlsRow& row : rows) {
        if (row.size() > kXlsMaxColumns) {
            return false;
        }
        for (const std::u16string& text : row) {
            if (text.size() > kXlsMaxTextLength) {
                return false;
            }
        }
    }
    return true;
}

// The reader hands texts out as C strings, so a text reads back up to its first NUL.
std::string AsRead(const std::u16string& text) { return Utf16ToUtf8(text.substr(0, text.find(u'\0'))); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const std::u16string name = fdp.ConsumeBool() ? u"DSO_DX" : fuzz::AnyText(fdp, kXlsMaxSheetName + 2, false);
    const std::vector<XlsRow> rows = AnyRows(fdp);
    const std::string path = fuzz::TempPath("book.xls");
    std::error_code ec;
    std::filesystem::remove(path, ec);

    const XlsWriteResult result = WriteXlsWorkbook(path, name, rows);
    if (!Storable(name, rows)) {
        FUZZ_REQUIRE(result == XlsWriteResult::InvalidContent);
        FUZZ_REQUIRE(!std::filesystem::exists(path, ec));
        return 0;
    }
    FUZZ_REQUIRE(result == XlsWriteResult::Ok);

    const void* book = nullptr;
    FUZZ_REQUIRE(freexl_open(path.c_str(), &book) == FREEXL_OK);
    unsigned biff = 0, sheets = 0, rowCount = 0;
    unsigned short columnCount = 0;
    const char* sheetName = nullptr;
    FUZZ_REQUIRE(freexl_get_info(book, FREEXL_BIFF_VERSION, &biff) == FREEXL_OK && biff == FREEXL_BIFF_VER_8);
    FUZZ_REQUIRE(freexl_get_info(book, FREEXL_BIFF_SHEET_COUNT, &sheets) == FREEXL_OK && sheets == 1);
    FUZZ_REQUIRE(freexl_get_worksheet_name(book, 0, &sheetName) == FREEXL_OK && sheetName != nullptr);
    FUZZ_REQUIRE(sheetName == AsRead(name));
    FUZZ_REQUIRE(freexl_select_active_worksheet(book, 0) == FREEXL_OK);
    FUZZ_REQUIRE(freexl_worksheet_dimensions(book, &rowCount, &columnCount) == FREEXL_OK);
    std::size_t widest = 0;
    for (const XlsRow& row : rows) {
        widest = std::max(widest, row.size());
    }
    FUZZ_REQUIRE(rowCount == rows.size() && columnCount == widest);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < widest; ++c) {
            FreeXL_CellValue cell{};
            FUZZ_REQUIRE(freexl_get_cell_value(book, unsigned(r), static_cast<unsigned short>(c), &cell) == FREEXL_OK);
            const std::u16string want = c < rows[r].size() ? rows[r][c] : std::u16string();
            if (want.empty()) {
                FUZZ_REQUIRE(cell.type == FREEXL_CELL_NULL);
            } else {
                FUZZ_REQUIRE(cell.type == FREEXL_CELL_SST_TEXT && cell.value.text_value == AsRead(want));
            }
        }
    }
    freexl_close(book);
    return 0;
}
