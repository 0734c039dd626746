#pragma once

// Command ids the graph view handles itself or hands on, and the two display modes, whose ids the
// main frame keeps as its mode. The frame's other command ids are in app/CommandIds.h.
namespace cmd {
inline constexpr int kTableMode = 32794;
inline constexpr int kGraphMode = 32795;
inline constexpr int kFileSave = 57603;
// "保存图片" and "导出数据": the view hands them on, as the exports live in the report layer.
inline constexpr int kSavePicture = 32815;
inline constexpr int kExportData = 32816;
// Context menu 130.
inline constexpr int kClearMarkers = 32818;
inline constexpr int kSmoothSettings = 32829;
// Edit / Undo (Ctrl+Z): the last marker command is taken back.
inline constexpr int kEditUndo = 57643;

// Command id that places marker kind k (32787.. for the joints, 32796 for the bottom); 0 for a
// kind out of range.
int MarkerCommandId(int kind);
// Marker kind placed by a command id; -1 for any other id.
int MarkerKindOfCommand(int commandId);
}  // namespace cmd
