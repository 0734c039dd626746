#pragma once

#include "data/CFileData.h"

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
