#pragma once

#include "data/FileSlot.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The summary of results of a site: one row per measurement file with what the client's table
// asks for (pile number, design and measured cage length, deviation, conclusion) and the automatic
// interpretation as a second reader of every pile. The command line and the desktop window build
// the same rows and print the same cells.

struct SummarySettings {
    double cageTop = 0.0;     // depth of the cage top on the probe's scale (m)
    double tolerance = 0.10;  // how much shorter than designed a cage may be (m)
};

// Lengths are held in whole centimetres: that is what the files and the table show, and the
// conclusion must not flip on a float's last bit.
using Centimetres = std::optional<int64_t>;

struct SummaryRow {
    std::string path;  // as given, UTF-8
    std::string file;  // the file name
    bool loaded = false;
    std::string loadMessage;  // the load's message when it failed

    // What the file holds.
    std::string pileNo;
    std::string testDate;
    std::string engineeringName;  // the report block's, empty when none is saved
    int stepCm = 0;
    int count = 0;
    Centimetres startDepth;
    Centimetres designCageLength;
    Centimetres designPileLength;
    Centimetres detectedLength;  // the report block's, when saved and not 0
    Centimetres bottomMarker;
    std::vector<int64_t> joints;
    Centimetres suggestedBottom;
    std::optional<int> confidence;  // hundredths

    // What the settings make of it (ApplySummarySettings).
    Centimetres measuredLength;
    Centimetres deviation;
    std::string conclusion;
    std::string check;
};

inline constexpr const char* kConclusionMet = "满足设计要求";
inline constexpr const char* kConclusionNotMet = "不满足设计要求";
inline constexpr const char* kCheckUnmarked = "未标记";

// The row of a file loaded into slot (fields only; call ApplySummarySettings afterwards).
SummaryRow SummaryRowOf(const std::string& path, const FileSlot& slot);
// The row of a file that did not load.
SummaryRow UnreadableRow(const std::string& path, const std::string& message);
// Loads path into slot (a scratch slot, reused between files) and makes its row, settings applied.
SummaryRow SummariseFile(const std::string& path, FileSlot& slot, const SummarySettings& settings);

// Measured length, deviation, conclusion and check from the row's fields and the settings.
void ApplySummarySettings(SummaryRow& row, const SummarySettings& settings);

// Natural order of texts: runs of digits compare as numbers ("P2" before "P10").
bool NaturalLess(const std::string& a, const std::string& b);
// By pile number in natural order, then by file name.
void SortSummaryRows(std::vector<SummaryRow>& rows);

// The rows of many files, loaded on `jobs` threads; each worker holds one file at a time. done
// counts the finished files; a set cancel stops the workers early (the rows not reached stay
// empty and are dropped). The result is sorted.
std::vector<SummaryRow> SummariseFiles(const std::vector<std::string>& paths, const SummarySettings& settings, int jobs,
                                       std::atomic<std::size_t>* done = nullptr,
                                       const std::atomic<bool>* cancel = nullptr);

// The ".cdd" files of a folder (extension in any case), in file-name order; empty when it cannot be
// listed.
std::vector<std::string> CddFilesIn(const std::string& folder);

// The table's columns, in order.
enum class SummaryColumn {
    File,
    PileNo,
    TestDate,
    StepCm,
    Count,
    StartDepth,
    DesignCageLength,
    DesignPileLength,
    BottomMarker,
    Joints,
    MeasuredLength,
    Deviation,
    Conclusion,
    SuggestedBottom,
    Confidence,
    Check
};
inline constexpr std::size_t kSummaryColumns = 16;
// Machine names (the CSV header and the JSON keys) and the headings of the printed table.
extern const std::array<const char*, kSummaryColumns> kSummaryKeys;
extern const std::array<const char*, kSummaryColumns> kSummaryHeadings;
// Columns whose cells are single numbers (written as numbers where the format has them).
bool IsNumberColumn(SummaryColumn column);

// The cells of a row as the table shows them (UTF-8; empty for no value).
std::array<std::string, kSummaryColumns> SummaryCells(const SummaryRow& row);
// Centimetres as metres with two decimals.
std::string MetresText(int64_t cm);

// The CSV table: a byte-order mark (so that spreadsheets read the Chinese texts as UTF-8), the
// header line and one line per row, lines ended by CR LF.
std::string SummaryCsvText(const std::vector<SummaryRow>& rows);

// The rule the conclusion applies, for the printed table ("笼长 ≥ 设计笼长 − 0.10 m").
std::string SummaryRuleText(const SummarySettings& settings);
// The title of the printed table: the engineering name when every row has the same one, else
// folderName.
std::string SummaryTitle(const std::vector<SummaryRow>& rows, const std::string& folderName);
