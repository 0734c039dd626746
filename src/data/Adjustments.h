#pragma once

#include "data/CFileData.h"
#include "data/FileSlot.h"
#include "data/MeasurementFile.h"

#include <string>

// The two hidden corrections of a data set: the start depth correction (cut samples at the deep end
// or add copies of the shallowest one) and the tail insertion (five copies of the shallowest).

enum class StartDepthCheck {
    Ok,
    NotANumber,       // "请输入一个数字。"
    OutsideDialogRange,  // "请输入一个在 1 和 200 之间的数字。"
    Outside0To160,    // "请输入0-160之间数值！"
    NotChanged,       // "数值未修改！"
    LessThanOneStep,  // the dialog stays open without a message
    WouldRemoveAll,   // the correction would leave no sample
    OverCapacity,     // the correction would pass 2048 samples
    NoSamples         // nothing to copy from
};

struct StartDepthPlan {
    StartDepthCheck check = StartDepthCheck::NotANumber;
    float value = 0.0f;  // the entered start depth
    int steps = 0;       // samples to remove (shallower) or add (deeper)
    bool deeper = false;
};

inline constexpr float kStartDepthDialogMin = 1.0f;
inline constexpr float kStartDepthDialogMax = 200.0f;

// Checks the text typed into the start depth dialog against the data set, as the dialog does
// before anything changes.
StartDepthPlan PlanStartDepthCorrection(const CFileData& data, std::u16string_view text);

// Applies a plan whose check is Ok: moves or extends the raw table, sets the count and start depth.
void ApplyStartDepthCorrection(CFileData& data, const StartDepthPlan& plan);

// Appends five copies of the shallowest sample. Returns false (and changes nothing) when the data
// set has no sample or the copies would pass the capacity.
bool InsertTail(CFileData& data);
inline constexpr int kTailCopies = 5;

// The operator's message for a check that is not Ok (UTF-8); empty for a silent refusal.
const char* StartDepthCheckMessage(StartDepthCheck check);

// A correction made on slot (loaded from path) and written into path with the data rewrite, as
// the graph view and the command line make it. Refused (corrected false, slot and file untouched)
// with the operator's message, which is empty for a silent refusal.
struct CorrectionResult {
    bool corrected = false;
    const char* refusal = "";
    WriteResult write = WriteResult::Ok;  // the rewrite of a correction that was made
};

// The start depth correction of plan, which must have passed its checks.
CorrectionResult CorrectStartDepthInFile(FileSlot& slot, const std::string& path, const StartDepthPlan& plan);

// The tail insertion; refused when the primary data set has no sample or no room for the copies.
CorrectionResult InsertTailInFile(FileSlot& slot, const std::string& path);
