#include "report/DataPage.h"

#include "analysis/Scales.h"
#include "data/CFileData.h"
#include "report/PageFonts.h"
#include "report/ReportHeader.h"
#include "view/GdiContext.h"

#include <algorithm>
#include <array>

namespace datapage {

namespace {

const std::array<QString, 7> kColumnTitles = {
    QStringLiteral("深度"),  QStringLiteral("Z分量"), QStringLiteral("Z梯度"), QStringLiteral("X分量"),
    QStringLiteral("X梯度"), QStringLiteral("Y分量"), QStringLiteral("Y梯度")};

const QString kNoValue = QStringLiteral("-");

void Line(GdiContext& dc, int x1, int y1, int x2, int y2)
{
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
}

}  // namespace

PageSamples SamplesOnPage(int sampleCount, bool overflow, int k, int rowsPerGroup)
{
    PageSamples s;
    s.base = overflow ? kSamplesPerPage * std::max(k - 1, 0) : 0;
    const int perPage = kGroups * std::max(rowsPerGroup, 0);
    // A file that shrank since the pages were counted has nothing left for a later page.
    s.count = std::clamp(sampleCount - s.base, 0, perPage);
    s.rows = (s.count + kGroups - 1) / kGroups;
    return s;
}

Cells CellTexts(const CFileData& data, int j, int row)
{
    Cells c{kNoValue, kNoValue, kNoValue};
    if (j < 0 || j >= RawEntries(data))
        return c;
    const SampleRecord& s = data.m_raw[std::size_t(j)];
    const double depth = s.depth;
    if (!(depth >= 0.01 || row == 1))
        return c;
    c.depth = QString::asprintf("%0.2f", depth);
    c.z = QString::number(s.z);
    // Without a step there is no gradient to show; a "0" would read as a measured value.
    if (data.m_nStep != 0)
        c.gradient = QString::number(static_cast<int64_t>(s.dz) * 100 / data.m_nStep);
    return c;
}

TableLayout PrintedLayout(const PageGeometry& page)
{
    TableLayout layout;
    layout.rect = page.rect;
    layout.headerGridLeft = page.pageWidth / 20;
    layout.headerTextLeft = page.pageWidth / 20;
    layout.headerFont = pagefont::DataFontA(page.dpiY);
    layout.depthFont = pagefont::DataFontB(page.dpiY);
    layout.valueFont = layout.headerFont;
    layout.rowHeight = 2 * pagefont::SongTiCellHeight(layout.headerFont);
    layout.headerRows = page.headerRows;
    layout.tableGap = 20;
    layout.titleMeasure = QStringLiteral("某分量");
    layout.cellDy = 10;
    return layout;
}

int DrawDataPage(GdiContext& dc, const PageGeometry& page, const CFileData* file, const CFileData* report,
                 bool overflow, int k)
{
    if (!file)
        return 0;
    return DrawDataTable(dc, PrintedLayout(page), *file, report,
                         SamplesOnPage(RawEntries(*file), overflow, k, page.rowsPerGroup));
}

int DrawDataTable(GdiContext& dc, const TableLayout& layout, const CFileData& file, const CFileData* report,
                  const PageSamples& samples)
{
    const QFont previous = dc.SelectFont(layout.headerFont);
    dc.SetTextColor(Qt::black);

    const int rowH = layout.rowHeight;
    const QSize label = dc.GetTextExtent(layout.titleMeasure);
    const int N = RawEntries(file);
    const int R = samples.rows;

    const PanelRect& rc = layout.rect;
    const int Wr = rc.right - rc.left;

    // Header box: the first two rows of the report header table.
    dc.Rectangle(rc.left, rc.top, rc.right, rc.top + 2 * rowH);
    Line(dc, layout.headerGridLeft, rc.top + rowH, rc.right, rc.top + rowH);
    for (int i = 1; i < reportheader::kColumns; ++i) {
        const int x = layout.headerGridLeft + Wr * i / reportheader::kColumns;
        Line(dc, x, rc.top, x, rc.top + 2 * rowH);
    }
    dc.FlushLines();
    reportheader::DrawHeaderRows(dc, reportheader::HeaderRowTexts(report), layout.headerTextLeft,
                                 layout.headerGridLeft, rc.top, Wr, rowH);

    // Table frame and title row.
    const int tt = rc.top + layout.headerRows * rowH + layout.tableGap;
    const int tb = tt + (R + 1) * rowH;
    dc.Rectangle(rc.left, tt, rc.right, tb);
    const int cw = Wr / kColumns;
    const int gw = Wr / kGroups;
    const int ccw = gw / 3;
    for (int m = 0; m < kColumns; ++m) {
        if (m < kColumns - 1)
            Line(dc, rc.left + (m + 1) * cw, tt, rc.left + (m + 1) * cw, tb);
        dc.TextOut(rc.left + (Wr / 18 - label.width()) / 2 + m * cw, tt + (rowH - label.height()) / 2,
                   kColumnTitles[std::size_t(m % 3)]);
    }
    Line(dc, rc.left, tt + rowH, rc.right, tt + rowH);

    for (int r = 1; r <= R; ++r) {
        const int y = tt + r * rowH + layout.cellDy;
        for (int g = 0; g < kGroups; ++g) {
            const Cells cells = CellTexts(file, SampleIndex(N, R, g, samples.base, r), r);
            const int x = rc.left + 10 + g * gw;
            dc.SelectFont(layout.depthFont);
            dc.TextOut(x, y, cells.depth);
            dc.SelectFont(layout.valueFont);
            dc.TextOut(x + ccw, y, cells.z);
            dc.TextOut(x + 2 * ccw, y, cells.gradient);
        }
        if (r != R)
            Line(dc, rc.left, tt + (r + 1) * rowH, rc.right, tt + (r + 1) * rowH);
    }
    dc.FlushLines();
    dc.SelectFont(previous);
    return R;
}

}  // namespace datapage
