#pragma once

#include "view/ViewCommands.h"

// Command ids of the menu, toolbar and accelerator resources. The numbers are the ones the rest of
// the program (and the operators' muscle memory for F7/F8) rely on. The ids the graph view handles
// (File / Save, the two modes, the exports it hands on) are the view's, in view/ViewCommands.h.
namespace cmd {
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kMruFirst = 57616;  // 57616..57619, one per recent file
inline constexpr int kMruLast = 57619;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kNextPane = 57680;
inline constexpr int kPrevPane = 57681;

inline constexpr int kToggleX = 32776;
inline constexpr int kToggleY = 32778;
inline constexpr int kToggleZ = 32780;
inline constexpr int kGraphModeKey = 32819;   // F7
inline constexpr int kTableModeKey = 59410;   // F8
inline constexpr int kStoreMessage = 32825;   // no menu, button or key
inline constexpr int kToolPreview = 32826;
inline constexpr int kToolPrintSetup = 32827;
// Log exports of the file on display (LAS 2.0 and CSV), in the File menu only.
inline constexpr int kExportLas = 33130;
inline constexpr int kExportCsv = 33131;
// The summary of results of the folder on display, in a window of its own.
inline constexpr int kSiteSummary = 33132;
// The automatic interpretation (menu 查看 and the toolbar) and accepting its suggestion.
inline constexpr int kAutoInterpret = 32960;
inline constexpr int kAcceptSuggestion = 32961;

// System-wide hot keys of the hidden correction tools.
inline constexpr int kHotKeyStartDepth = 0x5000;  // Ctrl+Meta+I
inline constexpr int kHotKeyTail = 0x5001;        // Ctrl+Meta+E
}  // namespace cmd
