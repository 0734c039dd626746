#pragma once

#include <QFont>

// Fonts of the printed pages. Point sizes are converted at 96 dpi whatever the printer's
// resolution, so a page asks for a larger point size on a fine printer to get readable text: the
// choice between the two sizes is made by the printer's vertical resolution.
namespace pagefont {

// Printers finer than this get the larger fonts.
inline constexpr int kFineResolution = 360;

// Text of the waveform page, the report header table and the depth axis: 60.0 or 38.0 points.
QFont PageFont(int dpiY);
// Page title: 20 points on paper at the device's resolution.
QFont TitleFont(int dpiY);
// Data page font A (header box, titles, value cells): 46.0 or 30.0 points.
QFont DataFontA(int dpiY);
// Data page font B (depth cells): a cell height of 74 or 38 device units, weight 600.
QFont DataFontB(int dpiY);
// A "宋体" font whose cell (ascent plus descent) is cellHeight pixels high, as a font requested by
// a positive height is.
QFont CellHeightFont(int cellHeight, int weight);

// The text cell height (tmHeight) of a "宋体" font: its em, as 宋体 has neither internal nor
// external leading. The pages were laid out with these metrics; the substitute faces have taller
// cells, with which 24 table rows would no longer fit on the page.
int SongTiCellHeight(const QFont& font);

}  // namespace pagefont
