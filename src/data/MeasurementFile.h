#pragma once

#include "data/FileSlot.h"
#include "data/TestDate.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The loads and the writers of ".cdd" files: read in MeasurementLoad.cpp, written in
// MeasurementWrite.cpp.

// Byte layout of a ".cdd" measurement file.
namespace cdd {
inline constexpr std::size_t kMarkerCount = 0;
inline constexpr std::size_t kMarkerTable = 4;
inline constexpr std::size_t kReportFlag = 48;
inline constexpr std::size_t kDetectedLength = 52;
inline constexpr std::size_t kReportStartDepth = 56;
inline constexpr std::size_t kDesignCageLength = 60;
inline constexpr std::size_t kDesignPileLength = 64;
inline constexpr std::size_t kReportTexts = 68;
inline constexpr std::size_t kReportEnd = 512;
inline constexpr std::size_t kAcqHeader = 512;
inline constexpr std::size_t kStartDepth = 520;
inline constexpr std::size_t kStep = 524;
inline constexpr std::size_t kCount = 528;
inline constexpr std::size_t kAcqTexts = 532;
inline constexpr std::size_t kSamples = 1024;
inline constexpr std::size_t kSampleSize = 16;
inline constexpr std::size_t kSeparatorSize = 16;
inline constexpr int32_t kStampedMarkerCount = 11;
inline constexpr std::size_t kMaxReportTextBytes = 255;

// Start of the secondary acquisition header for N primary samples.
inline constexpr std::size_t SecondaryOffset(uint32_t n) { return kSamples + kSampleSize * (std::size_t(n) + 1); }
}  // namespace cdd

enum class LoadResult {
    Ok,             // the primary data set was read
    CannotOpen,     // the file cannot be opened; the slot is unchanged
    Empty,          // header load of an empty file ("当前文件无效")
    Truncated,      // the file ends before the data it announces; the slot is unchanged
    TooManySamples, // N above the capacity of a data set; the slot is unchanged
    TooLarge        // far larger than any measurement file; not read
};

// The program's own message for a failed load, UTF-8 (empty for Ok and CannotOpen, which the
// callers report in their own words).
const char* LoadResultMessage(LoadResult result);

// The loads from a path set slot.sourcePath to that path when they succeed and clear it when they
// fail; the loads from bytes clear it.

// Full load: marker table, report block, primary data set with depth repair, differences and
// smoothing, then the secondary data set. Throws InvalidTestDateError for a bad primary date
// (fields read before the date keep their new values, the samples their old ones). A secondary
// data set that cannot be read leaves the secondary as it was; the primary stays loaded.
LoadResult FullLoad(FileSlot& slot, const std::string& path);

// The same loads over bytes already in memory (what the loads above do after reading the file).
LoadResult FullLoadFromBytes(FileSlot& slot, const std::vector<unsigned char>& bytes);
LoadResult HeaderLoadFromBytes(FileSlot& slot, const std::vector<unsigned char>& bytes);

// Header load: marker table, report block and primary acquisition header only.
LoadResult HeaderLoad(FileSlot& slot, const std::string& path);

enum class WriteResult {
    Ok,
    CannotRead,     // "无法读取文件": the file cannot be opened for reading and writing
    CannotCreate,   // "无法创建文件": the new content could not be written; the file is unchanged
    TextTooLong,    // a report text does not fit before offset 512; the file is unchanged
    NotEncodable,   // a report text holds characters code page 936 cannot encode; unchanged
    InvalidFile,    // "当前文件无效": not a measurement file, or not the file the data came from
    NotWholeNumber  // "请输入一个整数。": a Z cell does not hold a whole number; unchanged
};

// Save-as copy: the current file with marker count 11 and the given 11 depths, written to target
// (which may be the current file itself). The current file must be a measurement file.
WriteResult SaveAsCopy(const std::string& currentPath, const std::string& targetPath,
                       const std::array<float, kMarkerSlots>& markerDepths);

// Z write-back of the table display: zCells[k] is the text of the k-th Z cell counted down the
// column groups (group g, row r gives k = g * R + r), which holds sample N - 1 - k. Cells past the
// last sample are ignored; missing cells leave their sample as it is in the file. Refused
// (InvalidFile) unless the file is a measurement file of sampleCount samples, and
// (NotWholeNumber) when a cell of a sample holds anything but a whole number.
WriteResult ZWriteBack(const std::string& path, uint32_t sampleCount, const std::vector<std::u16string>& zCells);

// Data rewrite: the primary start depth, count and samples and the whole secondary data set of
// slot written into path. Refused (InvalidFile) unless slot was loaded from that very file.
WriteResult DataRewrite(const std::string& path, const FileSlot& slot);

// The ten texts of the print settings dialog, in the order the report block stores its values.
struct ReportTexts {
    std::u16string detectedLength;
    std::u16string startDepth;
    std::u16string designCageLength;
    std::u16string designPileLength;
    std::u16string pileNo;
    std::u16string engineeringName;
    std::u16string notes;
    std::u16string date;
    std::u16string project;
    std::u16string site;
};

// Report save: flag 1, the four lengths parsed as decimal numbers (0 when not a number), the six
// texts in code page 936; a text that reads as the file's saved report text or, for the pile number,
// project and site, as the acquisition header's decoded text, keeps those bytes. Refuses texts that
// do not fit rather than overwrite the acquisition header, and files whose header does not load.
WriteResult ReportSave(const std::string& path, const ReportTexts& texts);

// The program's own message for a failed write, UTF-8.
const char* WriteResultMessage(WriteResult result);
