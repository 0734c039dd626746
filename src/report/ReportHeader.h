#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <array>

class CFileData;
class GdiContext;

// The report values at the foot of a waveform page (three rows) and at the top of a data page
// (the first two rows), from the report block of the page's own file.
namespace reportheader {

inline constexpr int kColumns = 6;
// Notes break after this many characters, whatever their width.
inline constexpr int kNotesLineLength = 45;

// Texts of the first two rows, [row][column]: label, value, label, value, label, value. With no
// report (the page's file could not be read) the value cells are empty.
using RowTexts = std::array<std::array<QString, kColumns>, 2>;
RowTexts HeaderRowTexts(const CFileData* report);

// The lines the notes are printed in: L / 45 + 1 pieces of 45 characters, the last one holding
// what remains (empty when L is a multiple of 45).
QStringList WrapNotes(const QString& notes);

// Frame of the table on a page of W x V device units: (W/20, 3V/4 + 100, W - W/20, V - 100).
struct TableFrame {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Height() const { return bottom - top; }
    int Width() const { return right - left; }
};
TableFrame HeaderTableFrame(int pageWidth, int pageHeight);

// Where the table goes. The column lines and the cell texts are measured from origins of their
// own: on a printed page both are the frame's left edge, while the graph picture has always put
// its column lines 10 pixels left of its frame and its texts at a twentieth of the screen width.
struct HeaderTableGeometry {
    TableFrame frame;
    int gridLeft = 0;  // column k's line at gridLeft + frame width x k / 6
    int textLeft = 0;  // column j's text at textLeft + frame width x (j - 1) / 6, centred
};
// The table of a printed waveform page of W x V device units.
HeaderTableGeometry PrintedHeaderTable(int pageWidth, int pageHeight);

// The inside of the notes cell (third row, right of its label); the notes never leave it.
QRect NotesCell(const HeaderTableGeometry& table);

// Draws the table with the context's font. report null: labels only.
void DrawReportHeaderTable(GdiContext& dc, const HeaderTableGeometry& table, const CFileData* report);
void DrawReportHeaderTable(GdiContext& dc, int pageWidth, int pageHeight, const CFileData* report);

// Draws the first two rows into the header box of a data page, rows rowHeight high from top.
// The columns are width / 6 wide; texts are placed from textLeft and kept inside the cells
// whose lines are measured from gridLeft.
void DrawHeaderRows(GdiContext& dc, const RowTexts& texts, int textLeft, int gridLeft, int top, int width,
                    int rowHeight);

// Text at (x, y) clipped to clip: a long value stays in its cell.
void TextOutClipped(GdiContext& dc, int x, int y, const QString& text, const QRect& clip);

}  // namespace reportheader
