#include "report/ReportHeader.h"

#include "data/CFileData.h"
#include "report/ReportFields.h"
#include "view/GdiContext.h"
#include "view/TextU16.h"

#include <QPainter>

namespace reportheader {

namespace {

// The labels are exactly four characters; their cells are sized by a text of that length.
const QString kMeasureText = QStringLiteral("打印测试");

QString Length(float metres)
{
    return QString::asprintf("%0.2f", static_cast<double>(metres)) + QStringLiteral(" m");
}

// Inside of a cell whose grid lines are at the given coordinates.
QRect CellInside(int x0, int y0, int x1, int y1)
{
    return QRect(QPoint(x0 + 1, y0 + 1), QPoint(x1 - 1, y1 - 1));
}

}  // namespace

RowTexts HeaderRowTexts(const CFileData* report)
{
    RowTexts t;
    t[0] = {QStringLiteral("桩孔编号"), {}, QStringLiteral("起点深度"), {}, QStringLiteral("检测日期"), {}};
    t[1] = {QStringLiteral("设计桩长"), {}, QStringLiteral("设计笼长"), {}, QStringLiteral("检测长度"), {}};
    if (!report)
        return t;
    // A file without a saved report still shows whose pile it is and when it was measured.
    t[0][1] = FromU16(ReportPileNo(*report));
    t[0][3] = Length(report->m_fReportStartDepth);
    t[0][5] = FromU16(ReportDate(*report));
    t[1][1] = Length(report->m_fDesignPileLength);
    t[1][3] = Length(report->m_fDesignCageLength);
    t[1][5] = Length(report->m_fDetectedLength);
    return t;
}

QStringList WrapNotes(const QString& notes)
{
    QStringList lines;
    const qsizetype length = notes.size();
    for (qsizetype i = 0; i <= length / kNotesLineLength; ++i) {
        const qsizetype start = i * kNotesLineLength;
        const qsizetype end = length - start > kNotesLineLength ? start + kNotesLineLength : length;
        lines.append(notes.mid(start, end - start));
    }
    return lines;
}

TableFrame HeaderTableFrame(int pageWidth, int pageHeight)
{
    TableFrame f;
    f.left = pageWidth / 20;
    f.right = pageWidth - pageWidth / 20;
    f.top = 3 * pageHeight / 4 + 100;
    f.bottom = pageHeight - 100;
    return f;
}

HeaderTableGeometry PrintedHeaderTable(int pageWidth, int pageHeight)
{
    HeaderTableGeometry table;
    table.frame = HeaderTableFrame(pageWidth, pageHeight);
    table.gridLeft = table.frame.left;
    table.textLeft = table.frame.left;
    return table;
}

QRect NotesCell(const HeaderTableGeometry& table)
{
    const TableFrame& frame = table.frame;
    const int x = table.gridLeft + frame.Width() * 1 / kColumns;
    return CellInside(x, frame.top + frame.Height() / 2, frame.right, frame.bottom);
}

void TextOutClipped(GdiContext& dc, int x, int y, const QString& text, const QRect& clip)
{
    if (text.isEmpty())
        return;
    dc.FlushLines();
    QPainter& painter = dc.Painter();
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    dc.TextOut(x, y, text);
    painter.restore();
}

void DrawHeaderRows(GdiContext& dc, const RowTexts& texts, int textLeft, int gridLeft, int top, int width,
                    int rowHeight)
{
    const QSize measure = dc.GetTextExtent(kMeasureText);
    const int dx = (width / kColumns - measure.width()) / 2;
    const int dy = (rowHeight - measure.height()) / 2;
    for (int row = 0; row < 2; ++row) {
        const int y = top + dy + row * rowHeight;
        const int cellTop = top + row * rowHeight;
        for (int j = 1; j <= kColumns; ++j) {
            const int x = textLeft + width * (j - 1) / kColumns + dx;
            const QString& text = texts[std::size_t(row)][std::size_t(j - 1)];
            if (j % 2 == 1) {
                dc.TextOut(x, y, text);
            } else {
                const int cellLeft = gridLeft + width * (j - 1) / kColumns;
                const int cellRight = gridLeft + width * j / kColumns;
                TextOutClipped(dc, x, y, text, CellInside(cellLeft, cellTop, cellRight, cellTop + rowHeight));
            }
        }
    }
}

void DrawReportHeaderTable(GdiContext& dc, int pageWidth, int pageHeight, const CFileData* report)
{
    DrawReportHeaderTable(dc, PrintedHeaderTable(pageWidth, pageHeight), report);
}

void DrawReportHeaderTable(GdiContext& dc, const HeaderTableGeometry& table, const CFileData* report)
{
    const TableFrame& f = table.frame;
    const int H = f.Height();
    const int Wt = f.Width();

    dc.SelectPen(gdi::SolidPen(1, Qt::black));
    dc.Rectangle(f.left, f.top, f.right, f.bottom);
    for (const int y : {f.top + H / 4, f.top + H / 2}) {
        dc.MoveTo(f.left, y);
        dc.LineTo(f.right, y);
    }
    // Only the label column of the notes row is divided off; the notes take the rest of the row.
    for (int k = 1; k < kColumns; ++k) {
        const int x = table.gridLeft + Wt * k / kColumns;
        dc.MoveTo(x, f.top);
        dc.LineTo(x, k == 1 ? f.bottom : f.top + H / 2);
    }
    dc.FlushLines();

    DrawHeaderRows(dc, HeaderRowTexts(report), table.textLeft, table.gridLeft, f.top, Wt, H / 4);

    const QSize measure = dc.GetTextExtent(kMeasureText);
    const int dx = (Wt / kColumns - measure.width()) / 2;
    const int y3 = f.top + (H / 4 - measure.height()) / 2 + H / 2;
    dc.TextOut(table.textLeft + dx, y3, QStringLiteral("其他说明"));
    if (!report)
        return;
    const QString notes = FromU16(report->m_strNotes);
    const int lineHeight = dc.GetTextExtent(notes).height();
    const int x = table.textLeft + Wt / kColumns + dx;
    const QRect clip = NotesCell(table);
    const QStringList lines = WrapNotes(notes);
    for (int i = 0; i < lines.size(); ++i)
        TextOutClipped(dc, x, y3 + i * lineHeight, lines[i], clip);
}

}  // namespace reportheader
