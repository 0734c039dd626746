#pragma once

// Fixed operator messages shared by the GUI and orvek-cli (UTF-8).
namespace msg {
inline constexpr const char* kCannotRead = "无法读取文件";
inline constexpr const char* kCannotCreate = "无法创建文件";
inline constexpr const char* kFileMissing = "文件不存在！";
inline constexpr const char* kNoFileChosen = "未有选择文件，请重试！";
inline constexpr const char* kInvalidFile = "当前文件无效";
inline constexpr const char* kSaved = "已保存！";
inline constexpr const char* kNoRecordsToSave = "列表中没有记录需要保存！";
inline constexpr const char* kReportTooLong = "报告文字过长，无法保存";
inline constexpr const char* kReportNotEncodable = "报告文字含有无法保存的字符";
inline constexpr const char* kFileTruncated = "文件不完整，无法读取";
inline constexpr const char* kTooManySamples = "文件的采样点数超过2048，无法读取";
inline constexpr const char* kFileTooLarge = "文件过大，不是测量文件";
inline constexpr const char* kInvalidTestDate = "文件的检测日期无效";
inline constexpr const char* kEnterNumber = "请输入一个数字。";
inline constexpr const char* kEnterInteger = "请输入一个整数。";
inline constexpr const char* kEnterNumber1To200 = "请输入一个在 1 和 200 之间的数字。";
inline constexpr const char* kEnter0To160 = "请输入0-160之间数值！";
inline constexpr const char* kValueNotChanged = "数值未修改！";
inline constexpr const char* kTailInsertion = "尾部插点";
inline constexpr const char* kCorrectionRemovesAll = "修正后将没有采样点，未修改。";
inline constexpr const char* kCorrectionOverCapacity = "修正后采样点将超过2048个，未修改。";
inline constexpr const char* kTailOverCapacity = "插点后采样点将超过2048个，未修改。";
inline constexpr const char* kLessThanOneStep = "修正量不足一个步距，未修改。";
inline constexpr const char* kNoSamples = "文件中没有采样点，未修改。";
}  // namespace msg
