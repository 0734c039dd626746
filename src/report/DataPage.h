#pragma once

#include "analysis/BandLayout.h"
#include "data/SampleRecord.h"

#include <QFont>
#include <QString>

class CFileData;
class GdiContext;

// A data page: a header box with the report values, then the samples of one file as 21 columns in
// 7 groups of (depth, Z, Z gradient), 24 rows to a group, 168 samples to a page. Samples are
// listed from the last stored one (the shallowest) downwards in depth, read down each group.
namespace datapage {

// Rows of a column group, and rows of the header box above the table.
inline constexpr int kRowsPerGroup = 24;
inline constexpr int kHeaderRows = 2;

inline constexpr int kSamplesPerPage = 168;
inline constexpr int kGroups = 7;
inline constexpr int kColumns = 21;
// Data pages of the fullest file: every sample a file can hold is printed.
inline constexpr int kMaxPages = (kMaxSamples + kSamplesPerPage - 1) / kSamplesPerPage;

// Which samples a page shows: page k (2..kMaxPages) of the overflow pages, or the first page.
struct PageSamples {
    int base = 0;   // samples already shown on the earlier pages
    int count = 0;  // samples on this page, 0..168
    int rows = 0;   // R: data rows of each group, ceil(count / 7)
};
PageSamples SamplesOnPage(int sampleCount, bool overflow, int k, int rowsPerGroup);

// Sample shown in data row r (1..R) of group g (0..6); negative past sample 0.
inline int SampleIndex(int sampleCount, int rows, int group, int base, int row)
{
    return sampleCount - rows * group - base - row;
}

// The three cells of sample j in data row r. A depth below 0.01 marks a record without a depth
// and prints as "-" in all three cells, except in the first row of a page, which always shows
// its depth; positions past sample 0 print "-".
struct Cells {
    QString depth;
    QString z;
    QString gradient;
};
Cells CellTexts(const CFileData& data, int j, int row);

// Everything a page needs besides its file.
struct PageGeometry {
    PanelRect rect;        // the page rectangle (W/20, V/10, W - W/20, V - 100)
    int pageWidth = 0;     // W, from which the header box's inner lines are measured
    int dpiY = 0;          // LOGPIXELSY of the page's device: chooses the fonts
    int rowsPerGroup = kRowsPerGroup;
    int headerRows = kHeaderRows;
};

// Draws the data page of file (nullptr: the page has no file and only the fonts are made) with
// the header values of report (nullptr: labels only). Returns R, the data rows drawn.
int DrawDataPage(GdiContext& dc, const PageGeometry& page, const CFileData* file, const CFileData* report,
                 bool overflow, int k);

// The numbers and fonts of one data table. A printed data page and a data-table picture draw the
// same table, each with the spacing and fonts it has always had.
struct TableLayout {
    PanelRect rect;          // header box and table span rect.left .. rect.right; the box starts at rect.top
    int headerGridLeft = 0;  // the header box's inner lines at headerGridLeft + width x k / 6
    int headerTextLeft = 0;  // its cell texts from headerTextLeft + width x (j - 1) / 6, centred
    int rowHeight = 0;
    int headerRows = kHeaderRows;  // rows of the header box the table starts below
    int tableGap = 20;       // between the header box and the table frame
    QString titleMeasure;    // the column titles are centred by the extent of this text
    int cellDy = 10;         // a value's top below the line above its row
    QFont headerFont;        // header box and column titles
    QFont depthFont;
    QFont valueFont;         // Z and gradient cells
};

// The layout of a printed data page.
TableLayout PrintedLayout(const PageGeometry& page);

// Draws the header box and the table of the given samples of file. Returns R.
int DrawDataTable(GdiContext& dc, const TableLayout& layout, const CFileData& file, const CFileData* report,
                  const PageSamples& samples);

}  // namespace datapage
