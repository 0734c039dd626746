#pragma once

// Fixed operator messages shared by the GUI and orvek-cli (UTF-8).
namespace msg {
inline constexpr const char* kCannotRead = "无法读取文件";
inline constexpr const char* kCannotCreate = "无法创建文件";
inline constexpr const char* kFileMissing = "文件不存在！";
inline constexpr const char* kNoFileChosen = "未有选择文件，请重试！";
inline constexpr const char* kInvalidFile = "当前文件无效";
inline constexpr const char* kSaved = "已保存！";
inline constexpr const char* kReportTooLong = "报告文字过长，无法保存";
inline constexpr const char* kReportNotEncodable = "报告文字含有无法保存的字符";
inline constexpr const char* kFileTruncated = "文件不完整，无法读取";
inline constexpr const char* kTooManySamples = "文件的采样点数超过2048，无法读取";
inline constexpr const char* kFileTooLarge = "文件过大，不是测量文件";
inline constexpr const char* kInvalidTestDate = "文件的检测日期无效";
}  // namespace msg
