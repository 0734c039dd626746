#include "report/SummaryPages.h"

#include "data/SafeFile.h"
#include "report/PrintJob.h"
#include "view/GdiContext.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <numeric>

namespace {

// Relative widths of the columns; the file name and the check text get the most room.
constexpr std::array<int, kSummaryColumns> kWeights = {14, 7, 11, 4, 5, 6, 6, 6, 6, 14, 6, 5, 10, 6, 5, 21};

constexpr int kHeadingLines = 2;

QFont TableFont(int dpiY, double points, bool bold = false)
{
    gdi::RegisterFontSubstitutes();
    QFont font(QString::fromUtf16(gdi::kFaceSongTi));
    font.setPixelSize(std::max(1, int(points * dpiY / 72.0 + 0.5)));
    font.setBold(bold);
    return font;
}

struct PageFrame {
    int margin;
    int width;  // of the printable part
    int rowHeight;
    int headingHeight;
    int tableTop;
    int footerTop;
};

PageFrame FrameOf(int pageWidth, int pageHeight, int dpiY)
{
    PageFrame f{};
    f.margin = dpiY * 12 / 25;  // about 12 mm
    f.width = pageWidth - 2 * f.margin;
    const QFontMetrics cell(TableFont(dpiY, 8.0));
    f.rowHeight = cell.height() * 8 / 5;
    f.headingHeight = cell.height() * kHeadingLines + f.rowHeight - cell.height();
    const QFontMetrics title(TableFont(dpiY, 16.0, true));
    f.tableTop = f.margin + title.height() * 3 / 2 + f.rowHeight;
    f.footerTop = pageHeight - f.margin - f.rowHeight;
    return f;
}

std::array<int, kSummaryColumns + 1> ColumnEdges(const PageFrame& f)
{
    const int total = std::accumulate(kWeights.begin(), kWeights.end(), 0);
    std::array<int, kSummaryColumns + 1> edges{};
    int sum = 0;
    for (std::size_t c = 0; c <= kSummaryColumns; ++c) {
        edges[c] = f.margin + int(qint64(f.width) * sum / total);
        if (c < kSummaryColumns)
            sum += kWeights[c];
    }
    return edges;
}

int RowsPerPage(const PageFrame& f)
{
    return std::max(1, (f.footerTop - f.rowHeight / 2 - f.tableTop - f.headingHeight) / f.rowHeight);
}

void CellText(QPainter& painter, const QRect& cell, const QString& text, Qt::Alignment align)
{
    const int pad = cell.height() / 6;
    const QRect inner = cell.adjusted(pad, 0, -pad, 0);
    painter.drawText(inner, int(align | Qt::AlignVCenter),
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, inner.width()));
}

}  // namespace

int SummaryRowsPerPage(int pageHeight, int dpiY)
{
    return RowsPerPage(FrameOf(pageHeight * 3 / 2, pageHeight, dpiY));
}

int SummaryPageCount(const SummaryDocument& doc, const QPagedPaintDevice& device)
{
    const int perPage = SummaryRowsPerPage(device.height(), device.logicalDpiY());
    const int rows = doc.rows ? int(doc.rows->size()) : 0;
    return std::max(1, (rows + perPage - 1) / perPage);
}

void PaintSummaryPage(const SummaryDocument& doc, QPainter& painter, int page, int pageCount)
{
    const QPaintDevice* device = painter.device();
    const int dpiY = device->logicalDpiY();
    const PageFrame f = FrameOf(device->width(), device->height(), dpiY);
    const auto edges = ColumnEdges(f);
    const int perPage = RowsPerPage(f);
    const int right = f.margin + f.width;
    painter.save();
    painter.setPen(QPen(Qt::black, std::max(1, dpiY / 150)));

    painter.setFont(TableFont(dpiY, 16.0, true));
    painter.drawText(QRect(f.margin, f.margin, f.width, painter.fontMetrics().height()), Qt::AlignCenter, doc.title);
    painter.setFont(TableFont(dpiY, 9.0));
    const QRect info(f.margin, f.tableTop - f.rowHeight * 6 / 5, f.width, f.rowHeight);
    painter.drawText(info, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("判定：") + doc.rule);
    painter.drawText(info, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("打印日期：") + doc.printDate);

    // The heading on every page, so each sheet can be read on its own.
    painter.setFont(TableFont(dpiY, 8.0, true));
    const QRect headingBox(f.margin, f.tableTop, f.width, f.headingHeight);
    painter.fillRect(headingBox, QColor(230, 230, 230));
    for (std::size_t c = 0; c < kSummaryColumns; ++c) {
        const QRect cell(edges[c], f.tableTop, edges[c + 1] - edges[c], f.headingHeight);
        painter.drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextWordWrap,
                         QString::fromUtf8(kSummaryHeadings[c]));
    }

    painter.setFont(TableFont(dpiY, 8.0));
    const std::vector<SummaryRow> none;
    const std::vector<SummaryRow>& rows = doc.rows ? *doc.rows : none;
    const std::size_t first = std::size_t(page - 1) * std::size_t(perPage);
    const std::size_t last = std::min(rows.size(), first + std::size_t(perPage));
    int y = f.tableTop + f.headingHeight;
    for (std::size_t r = first; r < last; ++r, y += f.rowHeight) {
        const auto cells = SummaryCells(rows[r]);
        for (std::size_t c = 0; c < kSummaryColumns; ++c) {
            const QRect cell(edges[c], y, edges[c + 1] - edges[c], f.rowHeight);
            const bool number = IsNumberColumn(SummaryColumn(c));
            const bool flagged =
                (c == std::size_t(SummaryColumn::Check) && !cells[c].empty()) || cells[c] == kConclusionNotMet;
            painter.setPen(flagged ? QColor(192, 0, 0) : QColor(Qt::black));
            CellText(painter, cell, QString::fromUtf8(cells[c]), number ? Qt::AlignRight : Qt::AlignLeft);
        }
    }
    painter.setPen(QPen(Qt::black, std::max(1, dpiY / 150)));
    for (int line = f.tableTop + f.headingHeight; line <= y; line += f.rowHeight)
        painter.drawLine(f.margin, line, right, line);
    painter.drawLine(f.margin, f.tableTop, right, f.tableTop);
    for (int edge : edges)
        painter.drawLine(edge, f.tableTop, edge, y);

    painter.setFont(TableFont(dpiY, 9.0));
    painter.drawText(QRect(f.margin, f.footerTop, f.width, f.rowHeight), Qt::AlignCenter,
                     QStringLiteral("第 %1 页 共 %2 页").arg(page).arg(pageCount));
    painter.restore();
}

bool PaintSummaryPages(const SummaryDocument& doc, QPagedPaintDevice& device)
{
    const int pages = SummaryPageCount(doc, device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            device.newPage();
        PaintSummaryPage(doc, painter, page, pages);
    }
    return painter.end();
}

bool WriteSummaryPdf(const QString& path, const SummaryDocument& doc)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        PrintJob::PreparePdfWriter(writer);
        writer.setCreator(QStringLiteral("Orvek"));
        writer.setTitle(doc.title);
        if (!PaintSummaryPages(doc, writer))
            return false;
    }
    const QByteArray& bytes = buffer.data();
    return ReplaceFileContents(QFile::encodeName(path).toStdString(),
                               std::string_view(bytes.constData(), std::size_t(bytes.size())));
}
