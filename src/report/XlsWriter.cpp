#include "report/XlsWriter.h"

#include "data/SafeFile.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>

namespace {

// Record types of the BIFF8 records written here.
enum : uint16_t {
    kRecEof = 0x000A,
    kRecCodePage = 0x0042,
    kRecWindow1 = 0x003D,
    kRecContinue = 0x003C,
    kRecFont = 0x0031,
    kRecBoundSheet = 0x0085,
    kRecXf = 0x00E0,
    kRecSst = 0x00FC,
    kRecLabelSst = 0x00FD,
    kRecExtSst = 0x00FF,
    kRecDimensions = 0x0200,
    kRecRow = 0x0208,
    kRecWindow2 = 0x023E,
    kRecStyle = 0x0293,
    kRecBof = 0x0809,
};

// Largest data part of one record; longer data continues in CONTINUE records.
constexpr std::size_t kMaxRecordData = 8224;
// The cell format every text cell uses: the 16th built-in format, "default cell format".
constexpr uint16_t kDefaultCellXf = 15;
// Excel writes the row records of 32 rows ahead of their cells.
constexpr std::size_t kRowBlock = 32;

using Bytes = std::vector<unsigned char>;

void U8(Bytes& b, unsigned v) { b.push_back(static_cast<unsigned char>(v & 0xFF)); }
void U16(Bytes& b, unsigned v)
{
    U8(b, v);
    U8(b, v >> 8);
}
void U32(Bytes& b, uint32_t v)
{
    U16(b, v & 0xFFFF);
    U16(b, v >> 16);
}
void PatchU32(Bytes& b, std::size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

void Record(Bytes& stream, uint16_t type, const Bytes& data)
{
    U16(stream, type);
    U16(stream, static_cast<unsigned>(data.size()));
    stream.insert(stream.end(), data.begin(), data.end());
}

// Texts whose characters all lie below U+0100 are stored one byte per character, the others as
// UTF-16LE; the flag byte after the length tells a reader which.
bool FitsInOneByte(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
}

void Chars(Bytes& b, std::u16string_view text, bool oneByte)
{
    for (char16_t c : text) {
        if (oneByte) U8(b, c);
        else U16(b, c);
    }
}

// A string with a one-byte length (sheet and font names).
void ShortString(Bytes& b, std::u16string_view text)
{
    const bool oneByte = FitsInOneByte(text);
    U8(b, static_cast<unsigned>(text.size()));
    U8(b, oneByte ? 0 : 1);
    Chars(b, text, oneByte);
}

Bytes Bof(uint16_t kind)
{
    Bytes b;
    U16(b, 0x0600);  // BIFF8
    U16(b, kind);    // 0x0005 workbook globals, 0x0010 worksheet
    U16(b, 0x0DBB);  // build and year of the application that wrote the file, as Excel 97 gives them
    U16(b, 0x07CC);
    U32(b, 0);       // file history flags
    U32(b, 0x0006);  // lowest BIFF version needed to read all records: BIFF8
    return b;
}

Bytes Window1()
{
    Bytes b;
    U16(b, 0x0168);  // window position and size in twips
    U16(b, 0x001E);
    U16(b, 0x3A98);
    U16(b, 0x2328);
    U16(b, 0x0038);  // horizontal and vertical scroll bars, sheet tabs
    U16(b, 0);       // active sheet
    U16(b, 0);       // first visible tab
    U16(b, 1);       // selected tabs
    U16(b, 0x0258);  // tab bar width ratio 600/1000
    return b;
}

Bytes Font()
{
    Bytes b;
    U16(b, 240);     // 12 points, in twentieths
    U16(b, 0);       // regular
    U16(b, 0x7FFF);  // window text colour
    U16(b, 400);     // normal weight
    U16(b, 0);       // no super- or subscript
    U8(b, 0);        // no underline
    U8(b, 0);        // family not given
    U8(b, 134);      // GB 2312 character set: the operators' sheets are Chinese
    U8(b, 0);
    ShortString(b, u"宋体");
    return b;
}

// Formats 0..14 are the built-in styles (Normal and the outline levels), 15 the default cell format.
Bytes Xf(int index)
{
    const bool style = index < 15;
    Bytes b;
    U16(b, 0);                        // font 0
    U16(b, 0);                        // number format "General"
    U16(b, style ? 0xFFF5 : 0x0001);  // locked; style formats have no parent, cells the Normal style
    U8(b, 0x20);                      // general horizontal alignment, bottom vertical alignment
    U8(b, 0);                         // no rotation
    U8(b, 0);                         // no indent
    // Attribute groups (bits 2..7): the outline-level styles define only their font, Normal
    // defines everything, and the cell format takes everything from Normal.
    U8(b, style && index > 0 ? 0xF4 : 0x00);
    U32(b, 0);                        // no borders
    U32(b, 0);
    U16(b, 0x20C0);                   // automatic pattern colours (64, 65), no fill
    return b;
}

Bytes NormalStyle()
{
    Bytes b;
    U16(b, 0x8000);  // built-in style, format 0
    U8(b, 0);        // "Normal"
    U8(b, 0xFF);     // no outline level
    return b;
}

Bytes Window2()
{
    Bytes b;
    // Grid lines, row and column headings, zero values, automatic grid colour, outline symbols,
    // sheet selected and shown.
    U16(b, 0x06B6);
    U16(b, 0);     // first visible row
    U16(b, 0);     // first visible column
    U32(b, 0x40);  // grid line colour: automatic
    U16(b, 0);     // zoom of page break preview: default
    U16(b, 0);     // zoom of normal view: default
    U32(b, 0);
    return b;
}

// The shared string table, written across SST and CONTINUE records. Alongside it the positions of
// every dsst-th string are collected for EXTSST, which Excel uses to find strings quickly.
class SharedStrings {
public:
    uint32_t Index(const std::u16string& text)
    {
        const auto [it, added] = m_index.emplace(text, static_cast<uint32_t>(m_strings.size()));
        if (added) m_strings.push_back(text);
        ++m_uses;
        return it->second;
    }

    void Write(Bytes& stream) const
    {
        const std::size_t unique = m_strings.size();
        const std::size_t perBucket = std::max<std::size_t>(8, (unique + 127) / 128);

        // Each record's data is collected first; positions inside the stream follow from the
        // record headers written before them.
        std::vector<Bytes> records(1);
        U32(records[0], static_cast<uint32_t>(m_uses));
        U32(records[0], static_cast<uint32_t>(unique));
        struct BucketStart {
            std::size_t record, offset;
        };
        std::vector<BucketStart> buckets;

        for (std::size_t k = 0; k < unique; ++k) {
            const std::u16string& s = m_strings[k];
            const bool oneByte = FitsInOneByte(s);
            const std::size_t charBytes = oneByte ? 1 : 2;
            // The length and flags of a string never part from its first character.
            if (records.back().size() + 3 + charBytes > kMaxRecordData) records.emplace_back();
            if (k % perBucket == 0) buckets.push_back({records.size() - 1, records.back().size()});
            U16(records.back(), static_cast<unsigned>(s.size()));
            U8(records.back(), oneByte ? 0 : 1);
            std::size_t done = 0;
            for (;;) {
                const std::size_t room = (kMaxRecordData - records.back().size()) / charBytes;
                const std::size_t n = std::min(room, s.size() - done);
                Chars(records.back(), std::u16string_view(s).substr(done, n), oneByte);
                done += n;
                if (done == s.size()) break;
                // A string split between records repeats its flags at the start of the next.
                records.emplace_back();
                U8(records.back(), oneByte ? 0 : 1);
            }
        }

        std::vector<std::size_t> recordStart;
        for (std::size_t r = 0; r < records.size(); ++r) {
            recordStart.push_back(stream.size());
            Record(stream, r == 0 ? kRecSst : kRecContinue, records[r]);
        }

        Bytes ext;
        U16(ext, static_cast<unsigned>(perBucket));
        for (const BucketStart& b : buckets) {
            U32(ext, static_cast<uint32_t>(recordStart[b.record] + 4 + b.offset));
            U16(ext, static_cast<unsigned>(4 + b.offset));
            U16(ext, 0);
        }
        Record(stream, kRecExtSst, ext);
    }

private:
    std::map<std::u16string, uint32_t> m_index;
    std::vector<std::u16string> m_strings;
    std::size_t m_uses = 0;
};

bool ValidSheetName(std::u16string_view name)
{
    if (name.empty() || name.size() > kXlsMaxSheetName) return false;
    return name.find_first_of(u"[]:*?/\\") == std::u16string_view::npos;
}

// The sheet substream; the cells' texts are entered into strings as they are met.
Bytes Worksheet(const std::vector<XlsRow>& rows, SharedStrings& strings)
{
    std::size_t columns = 0;
    for (const XlsRow& row : rows) columns = std::max(columns, row.size());

    Bytes sheet;
    Record(sheet, kRecBof, Bof(0x0010));
    Bytes dim;
    U32(dim, 0);                                   // first used row
    U32(dim, static_cast<uint32_t>(rows.size()));  // one past the last used row
    U16(dim, 0);
    U16(dim, static_cast<unsigned>(columns));
    U16(dim, 0);
    Record(sheet, kRecDimensions, dim);
    Record(sheet, kRecWindow2, Window2());

    for (std::size_t first = 0; first < rows.size(); first += kRowBlock) {
        const std::size_t last = std::min(rows.size(), first + kRowBlock);
        for (std::size_t r = first; r < last; ++r) {
            if (rows[r].empty()) continue;
            Bytes row;
            U16(row, static_cast<unsigned>(r));
            U16(row, 0);
            U16(row, static_cast<unsigned>(rows[r].size()));
            U16(row, 0x00FF);  // default height
            U16(row, 0);
            U16(row, 0);
            U16(row, 0x0100);  // height follows the font
            U16(row, kDefaultCellXf);
            Record(sheet, kRecRow, row);
        }
        for (std::size_t r = first; r < last; ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                // An empty text is an empty cell, as a spreadsheet shows it.
                if (rows[r][c].empty()) continue;
                Bytes cell;
                U16(cell, static_cast<unsigned>(r));
                U16(cell, static_cast<unsigned>(c));
                U16(cell, kDefaultCellXf);
                U32(cell, strings.Index(rows[r][c]));
                Record(sheet, kRecLabelSst, cell);
            }
        }
    }
    Record(sheet, kRecEof, {});
    return sheet;
}

void InitGsfOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

}  // namespace

std::optional<std::vector<unsigned char>> BuildXlsWorkbookStream(std::u16string_view sheetName,
                                                                 const std::vector<XlsRow>& rows)
{
    if (!ValidSheetName(sheetName) || rows.size() > kXlsMaxRows) return std::nullopt;
    for (const XlsRow& row : rows) {
        if (row.size() > kXlsMaxColumns) return std::nullopt;
        for (const std::u16string& text : row)
            if (text.size() > kXlsMaxTextLength) return std::nullopt;
    }

    SharedStrings strings;
    const Bytes sheet = Worksheet(rows, strings);

    Bytes stream;
    Record(stream, kRecBof, Bof(0x0005));
    Bytes codePage;
    U16(codePage, 1200);  // texts are UTF-16
    Record(stream, kRecCodePage, codePage);
    Record(stream, kRecWindow1, Window1());
    // Font index 4 does not exist in BIFF; four fonts cover the indices the formats may name.
    for (int i = 0; i < 4; ++i) Record(stream, kRecFont, Font());
    for (int i = 0; i < 16; ++i) Record(stream, kRecXf, Xf(i));
    Record(stream, kRecStyle, NormalStyle());
    Bytes boundSheet;
    U32(boundSheet, 0);  // position of the sheet's BOF, known once the globals are complete
    U8(boundSheet, 0);   // visible
    U8(boundSheet, 0);   // worksheet
    ShortString(boundSheet, sheetName);
    const std::size_t sheetPositionAt = stream.size() + 4;
    Record(stream, kRecBoundSheet, boundSheet);
    strings.Write(stream);
    Record(stream, kRecEof, {});

    PatchU32(stream, sheetPositionAt, static_cast<uint32_t>(stream.size()));
    stream.insert(stream.end(), sheet.begin(), sheet.end());
    return stream;
}

std::optional<std::vector<unsigned char>> PackXlsCompoundFile(const std::vector<unsigned char>& workbookStream)
{
    InitGsfOnce();
    GsfOutput* sink = gsf_output_memory_new();
    GsfOutfile* ole = gsf_outfile_msole_new(sink);
    if (ole == nullptr) {
        g_object_unref(sink);
        return std::nullopt;
    }
    // The class of an Excel 97-2003 workbook, so shells and viewers recognise the file.
    static const guint8 kExcelClassId[16] = {0x20, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole), kExcelClassId);

    bool ok = false;
    GsfOutput* child = gsf_outfile_new_child(ole, "Workbook", FALSE);
    if (child != nullptr) {
        ok = workbookStream.empty() ||
             gsf_output_write(child, workbookStream.size(), workbookStream.data());
        ok = gsf_output_close(child) && ok;
        g_object_unref(child);
    }
    ok = gsf_output_close(GSF_OUTPUT(ole)) && ok;
    g_object_unref(ole);

    std::optional<std::vector<unsigned char>> bytes;
    if (ok) {
        const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink));
        const gsf_off_t size = gsf_output_size(sink);
        if (data != nullptr && size > 0) bytes.emplace(data, data + size);
    }
    g_object_unref(sink);
    return bytes;
}

XlsWriteResult WriteXlsWorkbook(const std::string& path, std::u16string_view sheetName,
                                const std::vector<XlsRow>& rows)
{
    const auto stream = BuildXlsWorkbookStream(sheetName, rows);
    if (!stream) return XlsWriteResult::InvalidContent;
    const auto file = PackXlsCompoundFile(*stream);
    if (!file) return XlsWriteResult::CannotCreate;
    return ReplaceFileContents(path, *file) ? XlsWriteResult::Ok : XlsWriteResult::CannotCreate;
}
